#include "host_files.h"
#include "support/folder_test.h"
#include "platform/services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

namespace oxlo::platform {
namespace {

using oxlo::testing::freshFolderForThisTest;
using oxlo::testing::hostExists;
using oxlo::testing::readHostBytes;
using oxlo::testing::setHostReadOnly;
using oxlo::testing::writeHostBytes;

class FileSystem : public ::testing::Test {
protected:
    void SetUp() override { folder = freshFolderForThisTest(); }
    std::string path(const std::string& name) const { return folder + "\\" + name; }
    std::string folder;
};

TEST_F(FileSystem, FileSizeOfFilesFoldersAndDrives)
{
    writeHostBytes(path("empty.txt"), "");
    writeHostBytes(path("ten.bin"), "0123456789");
    const struct {
        std::string path;
        std::int64_t expected;
    } cases[] = {
        {"", kNoSuchPath},
        {path("missing.txt"), kNoSuchPath},
        {path("missing\\deeper.txt"), kNoSuchPath},
        {path("empty.txt"), 0},
        {path("ten.bin"), 10},
        {path("TEN.BIN"), 10},
        {folder, kIsFolder},
        {folder + "\\", kIsFolder},
        {"C:", kIsFolder},
        {"C:\\", kIsFolder},
        {"Q:", kNoSuchPath},
        {"Q:\\", kNoSuchPath},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("path \"" + c.path + "\"");
        EXPECT_EQ(fileSize(c.path), c.expected);
    }
}

TEST_F(FileSystem, CreateDirectoryMakesOneLevelAfterTrimming)
{
    EXPECT_EQ(createDirectory(path("Oxlo")), 1);
    EXPECT_EQ(fileSize(path("Oxlo")), kIsFolder);
    EXPECT_EQ(createDirectory(path("Oxlo")), 0) << "an existing folder counts as failure";
    EXPECT_EQ(createDirectory(path("Trimmed\\ / ")), 1);
    EXPECT_EQ(fileSize(path("Trimmed")), kIsFolder);
    EXPECT_EQ(createDirectory(path("Missing\\Child")), 0);
    EXPECT_EQ(fileSize(path("Missing")), kNoSuchPath) << "no parent is created";
    EXPECT_EQ(createDirectory(" \\/"), 0);
}

// One deleteDirectory call on a folder laid out as `files` (a trailing "\" marks a subfolder,
// a leading "!" a read-only file).
struct CleanUpCase {
    const char* title;
    std::vector<std::string> entries;
    std::string pattern;
    int expected;
    std::vector<std::string> remaining; // the entries left; empty when the folder is gone
};

TEST_F(FileSystem, DeleteDirectoryRemovesMatchesAndThenTheEmptiedFolder)
{
    const CleanUpCase cases[] = {
        {"only the index", {"X.TDB"}, "*.tdb", 1, {}},
        {"index and notes", {"X.TDB", "notes.txt"}, "*.tdb", 0, {"notes.txt"}},
        {"no index at all", {"notes.txt"}, "*.tdb", 0, {"notes.txt"}},
        {"read-only index", {"!x.tdb"}, "*.tdb", 0, {"x.tdb"}},
        {"subfolder stays", {"a.img", "sub\\"}, "", 0, {"sub"}},
        {"empty pattern takes all", {"a.img", "b", "c.mp"}, "", 1, {}},
        {"question mark", {"a1.img", "a22.img"}, "a?.IMG", 0, {"a22.img"}},
        {"empty folder, nothing matches", {}, "*.*", 0, {""}},
    };
    int number = 0;
    for (const CleanUpCase& c : cases) {
        SCOPED_TRACE(c.title);
        const std::string target = path("case" + std::to_string(++number));
        ASSERT_EQ(createDirectory(target), 1);
        for (std::string entry : c.entries) {
            const bool readOnly = entry[0] == '!';
            if (readOnly)
                entry.erase(0, 1);
            if (entry.back() == '\\') {
                ASSERT_EQ(createDirectory(target + "\\" + entry), 1);
                continue;
            }
            writeHostBytes(target + "\\" + entry, "x");
            if (readOnly)
                setHostReadOnly(target + "\\" + entry, true);
        }
        EXPECT_EQ(deleteDirectory(target, c.pattern), c.expected);
        if (c.remaining.empty()) {
            EXPECT_FALSE(hostExists(target)) << "the folder should be gone";
            continue;
        }
        EXPECT_TRUE(hostExists(target)) << "the folder should stay";
        for (const std::string& entry : c.remaining) {
            if (entry.empty())
                continue;
            EXPECT_TRUE(hostExists(target + "\\" + entry)) << entry << " should stay";
            if (fileSize(target + "\\" + entry) >= 0)
                setHostReadOnly(target + "\\" + entry, false);
        }
        for (std::string entry : c.entries) {
            if (entry[0] == '!')
                entry.erase(0, 1);
            if (entry.back() == '\\')
                entry.pop_back();
            const bool kept = std::find(c.remaining.begin(), c.remaining.end(), entry) !=
                              c.remaining.end();
            EXPECT_EQ(hostExists(target + "\\" + entry), kept) << entry;
        }
    }
    EXPECT_EQ(deleteDirectory("", "*.*"), 0);
}

TEST_F(FileSystem, DeleteDirectoryAcceptsATrailingBackslash)
{
    ASSERT_EQ(createDirectory(path("Set")), 1);
    writeHostBytes(path("Set\\a.mdx"), "1");
    EXPECT_EQ(deleteDirectory(path("Set\\"), "*.MDX"), 1);
    EXPECT_FALSE(hostExists(path("Set")));
}

TEST_F(FileSystem, CopyRenameAndDelete)
{
    writeHostBytes(path("a.img"), "map");
    writeHostBytes(path("b.img"), "older");
    EXPECT_EQ(copyFile(path("a.img"), path("b.img")), 1) << "an existing target is replaced";
    EXPECT_EQ(readHostBytes(path("b.img")), "map");
    EXPECT_EQ(copyFile(path("none.img"), path("c.img")), 0);
    EXPECT_FALSE(hostExists(path("c.img")));

    writeHostBytes(path("b.img"), "other");
    EXPECT_EQ(renameFile(path("a.img"), path("b.img")), 0) << "the new path exists";
    EXPECT_EQ(readHostBytes(path("a.img")), "map");
    EXPECT_EQ(readHostBytes(path("b.img")), "other");
    EXPECT_EQ(renameFile(path("a.img"), path("c.img")), 1);
    EXPECT_FALSE(hostExists(path("a.img")));
    EXPECT_EQ(readHostBytes(path("c.img")), "map");

    EXPECT_EQ(deleteFile(path("c.img")), 1);
    EXPECT_FALSE(hostExists(path("c.img")));
    EXPECT_EQ(deleteFile(path("c.img")), 0);

    setHostReadOnly(path("b.img"), true);
    EXPECT_EQ(deleteFile(path("b.img")), 0) << "a read-only file stays";
    EXPECT_TRUE(hostExists(path("b.img")));
    setHostReadOnly(path("b.img"), false);
}

// Every spelling of a file that the target's file system knows names that one file: a copy onto
// it fails and leaves it whole, and a copy from it makes another file whole.
TEST_F(FileSystem, SameFileByIdentityWhateverTheSpelling)
{
    ASSERT_EQ(createDirectory(path("Mapset folder with a long name")), 1);
    const std::string map = path("Mapset folder with a long name\\12345678 long map name.img");
    writeHostBytes(map, "map");
    writeHostBytes(path("other.img"), "other");
    const struct {
        const char* what;
        std::string spelling;
        bool same;
    } cases[] = {
        {"itself", map, true},
        {"dot and dot-dot", path("Mapset folder with a long name\\..\\Mapset folder with a long "
                                 "name\\.\\12345678 long map name.img"), true},
        {"letter case", path("MAPSET FOLDER WITH A LONG NAME\\12345678 Long Map Name.IMG"), true},
        {"8.3 short name", oxlo::testing::shortPathOf(map), true},
        {"second drive letter", oxlo::testing::throughSecondDrive(map), true},
        {"another file", path("other.img"), false},
        {"no file", path("none.img"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.what) + ": " + c.spelling);
        if (c.spelling.empty()) {
            std::cout << "no " << c.what << " on this file system\n";
            continue;
        }
        EXPECT_EQ(sameFile(map, c.spelling), c.same);
        EXPECT_EQ(sameFile(c.spelling, map), c.same);
        if (!c.same) continue;
        EXPECT_EQ(copyFile(c.spelling, map), 0) << "never onto itself";
        EXPECT_EQ(readHostBytes(map), "map");
        EXPECT_EQ(copyFile(c.spelling, path("copy.img")), 1);
        EXPECT_EQ(readHostBytes(path("copy.img")), "map");
    }
    EXPECT_TRUE(sameFile(path("Mapset folder with a long name"), path("mapset folder with a long name\\")));
    EXPECT_EQ(listFiles(folder, "~oxlo*").size(), 0u) << "no scratch file stays";
}

TEST_F(FileSystem, TrailingDotsAndBlanksOfTheLastNameAreDropped)
{
    ASSERT_EQ(createFile(0, path("Alps. ")), 1);
    writeString(0, "x");
    closeFile(0);
    EXPECT_EQ(readHostBytes(path("Alps")), "x");
    EXPECT_EQ(fileSize(path("Alps.")), 1);
    EXPECT_EQ(fileSize(path("Alps ")), 1);
}

TEST_F(FileSystem, CurrentDirectoryIsUsedForRelativePaths)
{
    const std::string before = getCurrentDirectory();
    ASSERT_FALSE(before.empty());
    EXPECT_EQ(before.back(), '\\');
    ASSERT_EQ(setCurrentDirectory(folder), 1);
    EXPECT_EQ(getCurrentDirectory(), folder + "\\");
    ASSERT_EQ(createFile(0, "relative.txt"), 1);
    writeString(0, "here");
    closeFile(0);
    EXPECT_EQ(readHostBytes(path("relative.txt")), "here");
    EXPECT_EQ(setCurrentDirectory(path("missing")), 0);
    EXPECT_EQ(getCurrentDirectory(), folder + "\\") << "a failed change keeps the folder";
    EXPECT_EQ(setCurrentDirectory(before), 1);
}

TEST_F(FileSystem, ListFilesGivesTheMatchingFilesOnly)
{
    writeHostBytes(path("Alps.IMG"), "m");
    writeHostBytes(path("63240001.img"), "m");
    writeHostBytes(path("Alps.tdb"), "i");
    writeHostBytes(path("a.imgx"), "x");
    ASSERT_EQ(createDirectory(path("sub.img")), 1);
    std::vector<std::string> images = listFiles(folder, "*.img");
    std::sort(images.begin(), images.end());
    EXPECT_EQ(images, (std::vector<std::string>{"63240001.img", "Alps.IMG"}));
    EXPECT_EQ(listFiles(folder + "\\", "*.TDB"), std::vector<std::string>{"Alps.tdb"});
    EXPECT_TRUE(listFiles(path("missing"), "*.*").empty());
    EXPECT_TRUE(listFiles("", "*.*").empty());
}

// Folder and file names in Cyrillic, Polish and Japanese (ソ and 表 end in the byte 0x5C in
// Shift-JIS, the backslash) are made, listed, found in another letter case, copied, renamed and
// deleted under exactly their names.
TEST_F(FileSystem, NamesInAnyScriptKeepEveryCharacter)
{
    for (const std::string name : {"Карты", "Łódź", "ソ表"}) {
        SCOPED_TRACE(name);
        const std::string sub = path(name);
        ASSERT_EQ(createDirectory(sub), 1);
        ASSERT_TRUE(hostExists(sub)) << "the folder has its name on the disk";
        writeHostBytes(sub + "\\Österreich.img", "map");
        EXPECT_EQ(listFiles(sub, "ÖSTERREICH*.IMG"), std::vector<std::string>{"Österreich.img"});
        EXPECT_EQ(fileSize(sub + "\\ÖSTERREICH.IMG"), 3);
        EXPECT_EQ(copyFile(sub + "\\österreich.img", sub + "\\" + name + ".img"), 1);
        EXPECT_EQ(readHostBytes(sub + "\\" + name + ".img"), "map");
        EXPECT_EQ(renameFile(sub + "\\" + name + ".img", sub + "\\Ελλάδα.img"), 1);
        std::vector<std::string> files = listFiles(sub, "*.img");
        std::sort(files.begin(), files.end());
        EXPECT_EQ(files, (std::vector<std::string>{"Österreich.img", "Ελλάδα.img"}));
        EXPECT_EQ(deleteFile(sub + "\\ελλάδα.IMG"), 1);
        EXPECT_EQ(deleteDirectory(sub, "*.img"), 1);
        EXPECT_FALSE(hostExists(sub));
    }
}

} // namespace
} // namespace oxlo::platform
