// The family and product IDs stamped into a TYP file: exactly those four bytes of a real TYP
// compiled by mkgmap change, and a file that is no TYP or too short for them stays as it is.
#include "mapfile/typ_file.h"

#include "platform/host_files.h"
#include "support/file_bytes.h"
#include "support/folder_test.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace oxlo::testing {
namespace {

namespace fs = std::filesystem;
using mapfile::stampTypIds;
using mapfile::TypStamp;

std::string dataBytes(const std::string& name)
{
    return readWholeFile(fs::path(OXLO_TEST_DATA) / name).value_or("");
}

class TypFile : public FolderTest {
protected:
    std::string file(const std::string& name, const std::string& bytes)
    {
        const std::string path = folder_ + "\\" + name;
        writeHostBytes(path, bytes);
        return path;
    }
};

TEST_F(TypFile, ARealTypGetsBothIdsAndNothingElseChanges)
{
    const std::string original = dataBytes("village.typ");
    ASSERT_GT(original.size(), 0x33u) << "tests/data/village.typ is missing";
    // As compiled from tests/data/src/village-typ.txt: family ID 1234, product ID 7.
    ASSERT_EQ(original.substr(0x2F, 4), std::string("\xD2\x04\x07\x00", 4));
    const std::string path = file("village.typ", original);

    ASSERT_EQ(stampTypIds(path, 6001, 1), TypStamp::Stamped);
    const std::string stamped = readHostBytes(path);
    ASSERT_EQ(stamped.size(), original.size());
    std::string expected = original;
    expected.replace(0x2F, 4, std::string("\x71\x17\x01\x00", 4));
    EXPECT_EQ(stamped, expected);
    for (std::size_t i = 0; i < original.size(); ++i)
        if (stamped[i] != original[i] && (i < 0x2F || i > 0x32))
            ADD_FAILURE() << "byte " << i << " changed";
}

TEST_F(TypFile, FilesThatAreNoTypOrTooShortStayAsTheyAre)
{
    const std::string real = dataBytes("village.typ");
    ASSERT_GT(real.size(), 0x33u);
    std::string otherSignature = real;
    otherSignature.replace(2, 10, "GARMIN TRE");
    std::string shortHeader = real; // a header that ends before the product ID
    shortHeader[0] = 0x32;
    shortHeader[1] = 0x00;
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"cut before the product ID", real.substr(0, 0x32)},
        {"empty", ""},
        {"a map", otherSignature},
        {"header without the fields", shortHeader},
        {"text", "[_id]\r\nFID=1234\r\n" + std::string(80, ';')},
        {"signature one byte late", std::string(1, '\0') + real.substr(0, 0x40)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = file("case.typ", c.bytes);
        EXPECT_EQ(stampTypIds(path, 6001, 1), TypStamp::NotATyp);
        EXPECT_EQ(readHostBytes(path), c.bytes);
    }
}

TEST_F(TypFile, AFileThatCannotBeSeenOrWrittenFailsUnchanged)
{
    EXPECT_EQ(stampTypIds(folder_ + "\\missing.typ", 6001, 1), TypStamp::Failed);
    EXPECT_FALSE(hostExists(folder_ + "\\missing.typ")) << "a missing file is not created";

    const std::string real = dataBytes("village.typ");
    const std::string path = file("locked.typ", real);
    setHostReadOnly(path, true);
    EXPECT_EQ(stampTypIds(path, 6001, 1), TypStamp::Failed);
    setHostReadOnly(path, false);
    EXPECT_EQ(readHostBytes(path), real);
}

} // namespace
} // namespace oxlo::testing
