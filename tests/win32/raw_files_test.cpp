// The raw file and folder primitives on the real Windows file system: share modes, 64-bit sizes
// and positions, entry flags and name matching.
#include "platform/system_primitives.h"
#include "win32/scratch_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

namespace raw = oxlo::platform::raw;
using oxlo::win32test::fileContent;
using oxlo::win32test::scratchFolder;
using oxlo::win32test::writeScratchFile;

namespace {

struct FileCloser {
    raw::File file;
    ~FileCloser() { raw::closeRaw(file); }
};

std::vector<std::string> sortedNames(const std::vector<raw::Entry>& entries) {
    std::vector<std::string> names;
    for (const auto& entry : entries) names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(RawFiles, ReadWriteAlwaysCreatesAndNeverTruncates) {
    const std::string folder = scratchFolder("readwrite");
    FileCloser created{raw::openRaw(folder + "new.bin", raw::OpenMode::ReadWriteAlways)};
    ASSERT_NE(created.file, raw::kNoFile);
    EXPECT_EQ(fileContent(folder + "new.bin"), "");

    writeScratchFile(folder + "ten.bin", "0123456789");
    {
        FileCloser opened{raw::openRaw(folder + "ten.bin", raw::OpenMode::ReadWriteAlways)};
        ASSERT_NE(opened.file, raw::kNoFile);
        ASSERT_TRUE(raw::seekRaw(opened.file, 2));
        ASSERT_TRUE(raw::writeRaw(opened.file, "abc", 3));
        EXPECT_EQ(raw::tellRaw(opened.file), 5);
    }
    EXPECT_EQ(fileContent(folder + "ten.bin"), "01abc56789");
}

TEST(RawFiles, ShareModesLetReadersInAndKeepWritersOut) {
    const std::string path = writeScratchFile(scratchFolder("share") + "shared.bin", "data");
    for (raw::OpenMode holder : {raw::OpenMode::ReadWriteAlways, raw::OpenMode::WriteTruncate}) {
        SCOPED_TRACE(holder == raw::OpenMode::ReadWriteAlways ? "held read-write" : "held for writing");
        FileCloser held{raw::openRaw(path, holder)};
        ASSERT_NE(held.file, raw::kNoFile);
        FileCloser reader{raw::openRaw(path, raw::OpenMode::ReadExisting)};
        EXPECT_NE(reader.file, raw::kNoFile) << "a reader must be let in";
        FileCloser writer{raw::openRaw(path, raw::OpenMode::ReadWriteAlways)};
        EXPECT_EQ(writer.file, raw::kNoFile) << "a second writer must be kept out";
    }
}

TEST(RawFiles, ReadOnlyFileIsReadButNeverWritten) {
    const std::string path = writeScratchFile(scratchFolder("readonly") + "fixed.bin", "data");
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    for (raw::OpenMode mode : {raw::OpenMode::ReadWriteAlways, raw::OpenMode::WriteTruncate}) {
        SCOPED_TRACE(mode == raw::OpenMode::ReadWriteAlways ? "read-write" : "for writing");
        FileCloser writer{raw::openRaw(path, mode)};
        EXPECT_EQ(writer.file, raw::kNoFile);
    }
    {
        FileCloser reader{raw::openRaw(path, raw::OpenMode::ReadExisting)};
        EXPECT_NE(reader.file, raw::kNoFile);
    }
    EXPECT_EQ(fileContent(path), "data");
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(RawFiles, WriteTruncateEmptiesAndReadExistingNeedsTheFile) {
    const std::string folder = scratchFolder("truncate");
    const std::string path = writeScratchFile(folder + "old.txt", "old content");
    {
        FileCloser file{raw::openRaw(path, raw::OpenMode::WriteTruncate)};
        ASSERT_NE(file.file, raw::kNoFile);
        ASSERT_TRUE(raw::writeRaw(file.file, "new", 3));
    }
    EXPECT_EQ(fileContent(path), "new");

    // A hidden file refuses CREATE_ALWAYS; it is still emptied.
    const std::string hidden = writeScratchFile(folder + "hidden.txt", "secret");
    ASSERT_TRUE(::SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
    { FileCloser file{raw::openRaw(hidden, raw::OpenMode::WriteTruncate)}; EXPECT_NE(file.file, raw::kNoFile); }
    EXPECT_EQ(fileContent(hidden), "");

    EXPECT_EQ(raw::openRaw(folder + "missing.txt", raw::OpenMode::ReadExisting), raw::kNoFile);
    EXPECT_EQ(fileContent(folder + "missing.txt"), "<missing>") << "reading must not create";
    FileCloser reader{raw::openRaw(path, raw::OpenMode::ReadExisting)};
    char buffer[8] = {};
    EXPECT_EQ(raw::readRaw(reader.file, buffer, sizeof buffer), 3u);
    EXPECT_EQ(std::string(buffer, 3), "new");
    EXPECT_EQ(raw::readRaw(reader.file, buffer, sizeof buffer), 0u) << "at the end";
    EXPECT_FALSE(raw::writeRaw(reader.file, "x", 1)) << "opened for reading only";
}

TEST(RawFiles, PositionsAndSizesBeyondFourGigabytes) {
    const std::string path = scratchFolder("large") + "sparse.bin";
    constexpr std::int64_t kFar = (std::int64_t{5} << 30) + 7; // past 32 bits
    {
        FileCloser file{raw::openRaw(path, raw::OpenMode::WriteTruncate)};
        ASSERT_NE(file.file, raw::kNoFile);
        // Sparse where the file system allows, so the test stays small on disk.
        DWORD ignored = 0;
        ::DeviceIoControl(reinterpret_cast<HANDLE>(file.file), FSCTL_SET_SPARSE, nullptr, 0,
                          nullptr, 0, &ignored, nullptr);
        ASSERT_TRUE(raw::seekRaw(file.file, kFar));
        EXPECT_EQ(raw::tellRaw(file.file), kFar);
        ASSERT_TRUE(raw::writeRaw(file.file, "Z", 1));
    }
    raw::Entry entry;
    ASSERT_TRUE(raw::findEntry(path, &entry));
    EXPECT_EQ(entry.size, kFar + 1);
    FileCloser file{raw::openRaw(path, raw::OpenMode::ReadExisting)};
    ASSERT_TRUE(raw::seekRaw(file.file, kFar));
    char byte = 0;
    EXPECT_EQ(raw::readRaw(file.file, &byte, 1), 1u);
    EXPECT_EQ(byte, 'Z');
}

TEST(RawFiles, FindEntryReportsKindFlagsAndSize) {
    const std::string folder = scratchFolder("entries");
    writeScratchFile(folder + "plain.txt", "12345");
    const std::string locked = writeScratchFile(folder + "locked.txt", "1");
    ASSERT_TRUE(::SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(::CreateDirectoryA((folder + "sub").c_str(), nullptr));

    raw::Entry entry;
    entry.name = "sentinel";
    ASSERT_TRUE(raw::findEntry(folder + "plain.txt", &entry));
    EXPECT_EQ(entry.name, "plain.txt");
    EXPECT_FALSE(entry.folder);
    EXPECT_FALSE(entry.readOnly);
    EXPECT_EQ(entry.size, 5);

    ASSERT_TRUE(raw::findEntry(folder + "locked.txt", &entry));
    EXPECT_TRUE(entry.readOnly);
    ASSERT_TRUE(raw::findEntry(folder + "sub", &entry));
    EXPECT_TRUE(entry.folder);

    entry.name = "sentinel";
    EXPECT_FALSE(raw::findEntry(folder + "absent.txt", &entry));
    EXPECT_FALSE(raw::findEntry(folder + "*.txt", &entry)) << "a pattern is not a path";
    EXPECT_FALSE(raw::findEntry("", &entry));
    EXPECT_EQ(entry.name, "sentinel") << "a failed lookup must leave the entry alone";
}

TEST(RawFiles, ListFolderMatchesLongNamesIgnoringCase) {
    const std::string folder = scratchFolder("listing");
    for (const char* name : {"a.img", "B.IMG", "c.imgx", "d.tdb", "noext"})
        writeScratchFile(folder + name, "x");
    ASSERT_TRUE(::CreateDirectoryA((folder + "maps.img").c_str(), nullptr));

    struct Case {
        const char* pattern;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"*.img", {"B.IMG", "a.img", "maps.img"}}, // never "c.imgx" through its short name
        {"*.TDB", {"d.tdb"}},
        {"?.img", {"B.IMG", "a.img"}},
        {"*.*", {"B.IMG", "a.img", "c.imgx", "d.tdb", "maps.img", "noext"}},
        {"", {"B.IMG", "a.img", "c.imgx", "d.tdb", "maps.img", "noext"}},
        {"*.mp", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("pattern \"") + c.pattern + "\"");
        EXPECT_EQ(sortedNames(raw::listFolder(folder, c.pattern)), c.names);
    }
    for (const auto& entry : raw::listFolder(folder, "*.img"))
        EXPECT_EQ(entry.folder, entry.name == "maps.img") << entry.name;
    EXPECT_TRUE(raw::listFolder(folder + "nowhere\\", "*.*").empty());
}

TEST(RawFiles, DrivesAndFolderRemoval) {
    EXPECT_TRUE(raw::driveExists("C:\\"));
    const DWORD drives = ::GetLogicalDrives();
    for (char letter = 'Y'; letter >= 'D'; --letter) {
        if (drives & (1u << (letter - 'A'))) continue;
        EXPECT_FALSE(raw::driveExists(std::string(1, letter) + ":\\")) << letter;
        break;
    }

    const std::string folder = scratchFolder("removal");
    ASSERT_TRUE(::CreateDirectoryA((folder + "full").c_str(), nullptr));
    writeScratchFile(folder + "full\\file.txt", "x");
    EXPECT_FALSE(raw::removeFolder(folder + "full")) << "only an empty folder goes";
    EXPECT_EQ(fileContent(folder + "full\\file.txt"), "x");
    ASSERT_TRUE(::CreateDirectoryA((folder + "empty").c_str(), nullptr));
    EXPECT_TRUE(raw::removeFolder(folder + "empty"));
    EXPECT_FALSE(raw::findEntry(folder + "empty", nullptr));
}

} // namespace
