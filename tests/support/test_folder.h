// Files and programs for tests that meet the real system services of their target: the portable
// platform on a fresh host folder natively, the Windows file system under Wine.
//
// Linking oxlo_test_support also resets the scripted window layer and dialogs
// (scripted::resetScript) before every test.
#pragma once

#include <filesystem>
#include <string>

namespace oxlo::testing {

// A new, empty folder for the test, as a Windows path without a trailing backslash (for example
// "C:\oxlo-tests\<name>" natively). Any earlier content of that name is removed first.
std::string freshTestFolder(const std::string& name);

// Where a Windows path lives on the host, to check files on disk without the services under test.
// Paths are UTF-8 on both sides, as Oxlo's own.
std::filesystem::path hostPath(const std::string& windowsPath);
// The UTF-8 text of a host path (or file name).
inline std::string textOfPath(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Keeps the program under test from writing an existing file while it lives, as a file that
// another program holds open, or a read-only one, would. Natively the file is made read-only (the
// portable files refuse to write it); on Windows it is held open without sharing writes, since
// Wine lets root write into read-only files.
class WriteBlock {
public:
    explicit WriteBlock(const std::string& windowsPath);
    ~WriteBlock();
    WriteBlock(const WriteBlock&) = delete;
    WriteBlock& operator=(const WriteBlock&) = delete;

private:
    std::string path_;
    void* handle_ = nullptr;
};

// Other spellings of an existing path on drive C: that name the same file, where the target's
// file system has them: its 8.3 short name, and the path through drive L:, made a second letter
// for drive C: (natively a link in the host root, on Windows DefineDosDevice). Empty when the
// file system gives none.
std::string shortPathOf(const std::string& path);
std::string throughSecondDrive(const std::string& path);
// The host folder where files moved to the Recycle Bin arrive: natively "Trash" beside the
// portable platform's drives; under Wine the XDG trash of $XDG_DATA_HOME, which the test
// must set (Wine moves recycled files there).
std::filesystem::path trashFolder();
// Empties that trash, so that a recycled file keeps its name there (Wine renames one whose name
// the trash already knows).
void emptyTrash();

// The Windows path of a stand-in program built from tests/standins, for example "print_lines".
std::string standInProgram(const std::string& name);

} // namespace oxlo::testing
