// Patches that must stay inside a map file, and the name stored in a .TDB header, on the real
// mkgmap index of tests/data and on built headers.
#include "mapfile/map_file.h"

#include "platform/host_files.h"
#include "support/folder_test.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace oxlo::testing {
namespace {

namespace fs = std::filesystem;
using mapfile::readStoredName;
using mapfile::writeStoredName;
using mapfile::writeValueAtOffset;

class TdbName : public FolderTest {
protected:
    std::string copyOfData(const std::string& name)
    {
        const std::string path = folder_ + "\\" + name;
        fs::copy_file(fs::path(OXLO_TEST_DATA) / name, hostPath(path));
        return path;
    }

    std::string file(const std::string& name, const std::string& bytes)
    {
        const std::string path = folder_ + "\\" + name;
        writeHostBytes(path, bytes);
        return path;
    }
};

TEST_F(TdbName, TheStoredNameOfARealIndexEndsAtItsNul)
{
    EXPECT_EQ(readStoredName(copyOfData("alpen.tdb")), "Alpen");
    EXPECT_EQ(readStoredName(copyOfData("village.tdb")), "Village");
}

// A .TDB header head: type, block length, product code, family ID, version; the name follows.
std::string headerHead(unsigned char blockLength)
{
    return std::string("P") + static_cast<char>(blockLength) + std::string("\x00\x98\x00\x71\x17\x64\x00", 7);
}

TEST_F(TdbName, ANameWithoutItsNulInsideTheHeaderBlockAndFileIsNoName)
{
    const std::string nul(1, '\0');
    struct Case {
        const char* what;
        std::string bytes;
        std::string name;
    };
    const Case cases[] = {
        {"NUL at the block's last byte", headerHead(11) + "Alps" + nul + "tail", "Alps"},
        {"NUL one past the block", headerHead(10) + "Alps" + nul + "tail", ""},
        {"file ends inside the name", headerHead(40) + "Alp", ""},
        {"header shorter than the name's place", headerHead(40).substr(0, 6), ""},
        {"empty name", headerHead(40) + nul + "x", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(readStoredName(file("case.tdb", c.bytes)), c.name);
    }
    EXPECT_EQ(readStoredName(folder_ + "\\none.tdb"), "");
    EXPECT_FALSE(hostExists(folder_ + "\\none.tdb"));
}

TEST_F(TdbName, AShorterNameIsPaddedWithBlanksAndEveryOtherByteStays)
{
    const std::string path = copyOfData("alpen.tdb");
    const std::string before = readHostBytes(path);

    EXPECT_EQ(writeStoredName(path, "Alps"), 1);

    std::string expected = before;
    expected.replace(9, 5, "Alps ");
    EXPECT_EQ(readHostBytes(path), expected) << "only the five name bytes change";
    EXPECT_EQ(readStoredName(path), "Alps ");
    EXPECT_EQ(mapfile::readWordAtOffset(path, 16), "100")
        << "the product version after the NUL reads as before";
}

TEST_F(TdbName, ALongerNameOrANulInsideItWritesNothing)
{
    const std::string path = copyOfData("alpen.tdb");
    const std::string before = readHostBytes(path);
    for (const std::string& name : {std::string("Alpenx"), std::string("Al\0p", 4)}) {
        SCOPED_TRACE(name.size());
        EXPECT_EQ(writeStoredName(path, name), 0);
        EXPECT_EQ(readHostBytes(path), before);
    }
}

TEST_F(TdbName, PatchesReportWhetherEveryByteReachedTheFile)
{
    const std::string original = "0123456789";
    struct Case {
        const char* what;
        std::int64_t offset;
        const char* kind;
        const char* text;
        int result;
    };
    const Case cases[] = {
        {"word inside", 9, "Word", "", 1},
        {"word past the end", 10, "Word", "", 0},
        {"text reaching the last byte", 7, "Text", "abcd", 1},
        {"text past the end", 8, "Text", "abcd", 0},
        {"byte at offset 0", 0, "Byte", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = file("patch.bin", original);
        EXPECT_EQ(writeValueAtOffset(path, c.offset, 'z', 0x7A7A, c.text, c.kind), c.result);
        if (c.result == 0) EXPECT_EQ(readHostBytes(path), original) << "nothing written, not grown";
    }
    EXPECT_EQ(writeValueAtOffset(folder_ + "\\none.bin", 1, 0, 0, "", "Byte"), 0);
    EXPECT_FALSE(hostExists(folder_ + "\\none.bin"));

    const std::string readOnly = file("locked.tdb", original);
    setHostReadOnly(readOnly, true);
    EXPECT_EQ(writeValueAtOffset(readOnly, 1, 'z', 0, "", "Byte"), 0);
    EXPECT_EQ(writeStoredName(copyOfData("village.tdb"), "Vill"), 1);
    setHostReadOnly(readOnly, false);
    EXPECT_EQ(readHostBytes(readOnly), original);
}

} // namespace
} // namespace oxlo::testing
