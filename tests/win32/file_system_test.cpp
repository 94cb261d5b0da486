// The file-system services that map onto single Win32 calls, on the real file system.
#include "platform/services.h"
#include "win32/scratch_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace platform = oxlo::platform;
using oxlo::win32test::fileContent;
using oxlo::win32test::scratchFolder;
using oxlo::win32test::writeScratchFile;

namespace {

bool isFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(Win32FileSystem, CurrentDirectoryEndsInOneBackslash) {
    const std::string before = platform::getCurrentDirectory();
    const std::string folder = scratchFolder("current");
    ASSERT_EQ(platform::setCurrentDirectory(folder), 1);
    EXPECT_EQ(platform::getCurrentDirectory(), folder);
    ASSERT_EQ(platform::setCurrentDirectory("C:\\"), 1);
    EXPECT_EQ(platform::getCurrentDirectory(), "C:\\") << "a root keeps its single backslash";
    EXPECT_EQ(platform::setCurrentDirectory(folder + "nowhere"), 0);
    EXPECT_EQ(platform::getCurrentDirectory(), "C:\\") << "a failed change leaves it";
    platform::setCurrentDirectory(before);
}

TEST(Win32FileSystem, CreateDirectoryTrimsAndCreatesOnlyTheLastLevel) {
    const std::string folder = scratchFolder("create");
    struct Case {
        std::string asked;
        std::string made;
    };
    const Case trimmed[] = {
        {folder + "plain", folder + "plain"},
        {folder + "slash\\", folder + "slash"},
        {folder + "mixed \\/ /", folder + "mixed"},
    };
    for (const Case& c : trimmed) {
        SCOPED_TRACE(c.asked);
        EXPECT_EQ(platform::createDirectory(c.asked), 1);
        EXPECT_TRUE(isFolder(c.made));
    }
    EXPECT_EQ(platform::createDirectory(folder + "plain\\"), 0) << "an existing folder fails";
    EXPECT_EQ(platform::createDirectory(folder + "no\\parent"), 0);
    EXPECT_FALSE(isFolder(folder + "no"));
    EXPECT_EQ(platform::createDirectory(" \\/"), 0);
}

TEST(Win32FileSystem, CopyReplacesRenameRefusesDeleteReports) {
    const std::string folder = scratchFolder("copy");
    writeScratchFile(folder + "source.txt", "new");
    writeScratchFile(folder + "target.txt", "old and longer");
    EXPECT_EQ(platform::copyFile(folder + "source.txt", folder + "target.txt"), 1);
    EXPECT_EQ(fileContent(folder + "target.txt"), "new");
    EXPECT_EQ(platform::copyFile(folder + "absent.txt", folder + "other.txt"), 0);
    EXPECT_EQ(fileContent(folder + "other.txt"), "<missing>");

    writeScratchFile(folder + "taken.txt", "keep me");
    EXPECT_EQ(platform::renameFile(folder + "source.txt", folder + "taken.txt"), 0);
    EXPECT_EQ(fileContent(folder + "taken.txt"), "keep me");
    EXPECT_EQ(fileContent(folder + "source.txt"), "new");
    EXPECT_EQ(platform::renameFile(folder + "source.txt", folder + "moved.txt"), 1);
    EXPECT_EQ(fileContent(folder + "moved.txt"), "new");
    EXPECT_EQ(fileContent(folder + "source.txt"), "<missing>");

    EXPECT_EQ(platform::deleteFile(folder + "moved.txt"), 1);
    EXPECT_EQ(fileContent(folder + "moved.txt"), "<missing>");
    EXPECT_EQ(platform::deleteFile(folder + "moved.txt"), 0);
}

} // namespace
