// The family IDs of mkgmap's address index: found in each record of a real index, and nothing
// for a file that is no such index or is cut short.
#include "mapfile/mdx_file.h"

#include "platform/host_files.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace oxlo::testing {
namespace {

std::vector<std::pair<std::int64_t, int>> pairs(const std::vector<mapfile::HeldWord>& words)
{
    std::vector<std::pair<std::int64_t, int>> result;
    for (const auto& word : words) result.emplace_back(word.position, word.value);
    return result;
}

TEST(MdxFile, FamilyIdsAreReadFromEachRecordOfARealIndexOnly)
{
    const std::string real =
        readWholeFile(std::filesystem::path(OXLO_TEST_DATA) / "alpen.mdx").value_or("");
    ASSERT_EQ(real.size(), 38u); // made by mkgmap: two maps of family 6001
    std::string shortRecords = real;
    shortRecords[6] = 6; // records too short to hold a family ID
    const struct {
        const char* situation;
        std::string bytes;
        bool read;
    } cases[] = {{"real index", real, true},
                 {"cut short", real.substr(0, 37), false},
                 {"another signature", "MIDX" + real.substr(4), false},
                 {"short records", shortRecords, false},
                 {"header only", real.substr(0, 14), false}};
    const std::string folder = freshTestFolder("MdxFile");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        const std::string path = folder + "\\Alpen.mdx";
        writeHostBytes(path, c.bytes);
        const auto ids = mapfile::readMdxFamilyIds(path);
        ASSERT_EQ(ids.has_value(), c.read);
        using Records = std::vector<std::pair<std::int64_t, int>>;
        if (c.read) {
            EXPECT_EQ(pairs(*ids), (Records{{20, 6001}, {32, 6001}}));
        }
    }
}

} // namespace
} // namespace oxlo::testing
