// The mapset index reader: mkgmap's index of tests/data, and block layouts cut short, read as the
// install reads them (what was read) and as the bundle export does (whole files only).
#include "mapfile/tdb_index.h"

#include "platform/host_files.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace oxlo::testing {
namespace {

using mapfile::CutShortTdb;
using Numbers = std::vector<std::uint32_t>;

std::string block(char type, const std::string& bytes)
{
    return std::string{type, static_cast<char>(bytes.size() & 0xFF),
                       static_cast<char>(bytes.size() >> 8)} + bytes;
}

std::optional<Numbers> mapsOf(const std::optional<mapfile::TdbIndex>& index)
{
    if (!index) return std::nullopt;
    return index->mapNumbers;
}

TEST(TdbIndex, ReadsTheHeaderAndTheDetailMapsUpToABlockCutShortOrRefusesThen)
{
    const std::string folder = freshTestFolder("TdbIndex");
    const std::string real = folder + "\\village.tdb";
    std::filesystem::copy_file(std::filesystem::path(OXLO_TEST_DATA) / "village.tdb",
                               hostPath(real));
    for (const CutShortTdb mode : {CutShortTdb::keepWhatWasRead, CutShortTdb::refuse}) {
        const auto village = mapfile::readTdbIndex(real, mode);
        ASSERT_TRUE(village);
        EXPECT_EQ(village->familyId, 6001);
        EXPECT_EQ(village->seriesName, "Village");
        EXPECT_EQ(village->familyName, "Village");
        EXPECT_EQ(village->mapNumbers, Numbers{63240021});
    }

    const std::string header =
        block('\x50', std::string("\x07\x00\x71\x17\x00\x00S\0\x01\x00" "F\0", 12));
    const std::string two = header + block('\x4C', std::string("\x01\x00\x00\x00", 4)) +
                            block('\x42', "") +
                            block('\x4C', std::string("\xFF\xFF\xFF\xFF\x00", 5));
    const Numbers both{1, 0xFFFFFFFF};
    const struct {
        const char* what;
        std::string bytes;
        std::optional<Numbers> kept;    // CutShortTdb::keepWhatWasRead
        std::optional<Numbers> refused; // CutShortTdb::refuse
    } cases[] = {
        {"two detail maps among other blocks", two, both, both},
        {"a block past the end", two + std::string("\x4C\x09\x00\x01\x02", 5), both,
         std::nullopt},
        {"a block head cut short", two + "\x4C\x01", both, std::nullopt},
        {"a detail block too short for a number", header + block('\x4C', "\x01\x02"), Numbers{},
         Numbers{}},
        {"no header block", block('\x4C', std::string("\x01\x00\x00\x00", 4)), std::nullopt,
         std::nullopt},
        {"empty", "", std::nullopt, std::nullopt},
        {"the header past the end", header.substr(0, header.size() - 1), std::nullopt,
         std::nullopt},
        {"a series name without its NUL",
         block('\x50', std::string("\x07\x00\x71\x17\x00\x00S", 7)), std::nullopt,
         std::nullopt},
    };
    writeHostBytes(folder + "\\two.tdb", two);
    const auto read = mapfile::readTdbIndex(folder + "\\two.tdb", CutShortTdb::refuse);
    ASSERT_TRUE(read);
    EXPECT_EQ(std::make_tuple(read->productId, read->familyId, read->seriesName, read->familyName),
              std::make_tuple(7, 6001, "S", "F"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = folder + "\\case.tdb";
        writeHostBytes(path, c.bytes);
        EXPECT_EQ(mapsOf(mapfile::readTdbIndex(path, CutShortTdb::keepWhatWasRead)), c.kept);
        EXPECT_EQ(mapsOf(mapfile::readTdbIndex(path, CutShortTdb::refuse)), c.refused);
    }
    for (const CutShortTdb mode : {CutShortTdb::keepWhatWasRead, CutShortTdb::refuse})
        EXPECT_EQ(mapfile::readTdbIndex(folder + "\\missing.tdb", mode), std::nullopt);
}

} // namespace
} // namespace oxlo::testing
