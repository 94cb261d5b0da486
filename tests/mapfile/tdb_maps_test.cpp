// The detail maps a .TDB lists: mkgmap's index of tests/data, and block layouts cut short.
#include "mapfile/tdb_maps.h"

#include "platform/host_files.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace oxlo::testing {
namespace {

using Numbers = std::vector<std::uint32_t>;

TEST(TdbMaps, ReadsTheNumbersOfTheDetailMapBlocksOnly)
{
    const std::string folder = freshTestFolder("TdbMaps");
    const std::string real = folder + "\\village.tdb";
    std::filesystem::copy_file(std::filesystem::path(OXLO_TEST_DATA) / "village.tdb",
                               hostPath(real));
    EXPECT_EQ(mapfile::readTdbMapNumbers(real), Numbers{63240021});

    const std::string two = std::string("\x50\x01\x00X", 4) +
                            std::string("\x4C\x04\x00\x01\x00\x00\x00", 7) +
                            std::string("\x42\x00\x00", 3) +
                            std::string("\x4C\x05\x00\xFF\xFF\xFF\xFF\x00", 8);
    const struct {
        const char* what;
        std::string bytes;
        std::optional<Numbers> numbers;
    } cases[] = {
        {"two detail maps among other blocks", two, Numbers{1, 0xFFFFFFFF}},
        {"empty", "", Numbers{}},
        {"a block past the end", two + std::string("\x4C\x09\x00\x01\x02", 5), std::nullopt},
        {"a header cut short", two + "\x4C", std::nullopt},
        {"a detail block too short for a number", std::string("\x4C\x02\x00\x01\x02", 5),
         Numbers{}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder + "\\case.tdb";
        writeHostBytes(path, c.bytes);
        EXPECT_EQ(mapfile::readTdbMapNumbers(path), c.numbers);
    }
    EXPECT_EQ(mapfile::readTdbMapNumbers(folder + "\\missing.tdb"), std::nullopt);
}

} // namespace
} // namespace oxlo::testing
