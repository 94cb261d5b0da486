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
std::filesystem::path hostPath(const std::string& windowsPath);

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
