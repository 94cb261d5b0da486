// The raw process primitives with a real Win32 stand-in program: the pipe carries exactly the
// program's bytes, reports its end once the program is gone, and keeps what it still holds.
#include "platform/system_primitives.h"
#include "win32/scratch_folder.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace raw = oxlo::platform::raw;
using oxlo::win32test::scratchFolder;
using oxlo::win32test::standIn;
using oxlo::win32test::writeScratchFile;

namespace {

struct ProgramOwner {
    raw::Process process;
    ~ProgramOwner() { raw::releaseRaw(process); }
};

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

// Everything the program writes, read until the pipe ends.
std::string readToEnd(raw::Process process) {
    std::string all;
    char buffer[1000];
    while (std::size_t got = raw::readPipeRaw(process, buffer, sizeof buffer)) all.append(buffer, got);
    return all;
}

// The program has no other way to show it has ended; 30 s is far beyond any stand-in's run.
bool waitForEnd(raw::Process process) {
    for (int i = 0; i < 3000 && !raw::processEndedRaw(process); ++i) ::Sleep(10);
    return raw::processEndedRaw(process);
}

TEST(RawProcesses, PipeCarriesExactBytesAndEndsWithTheProgram) {
    struct Case {
        const char* mode;
        std::string bytes;
    };
    const Case cases[] = {
        {"crlf", "a\r\nb\r\n"},
        {"endings", "A\rB\nC\r\nD"},
        {"silent", ""},
        {"split", "a\r\nb\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        ProgramOwner program{raw::startRaw(quoted(standIn("print_lines")) + " " + c.mode, "")};
        ASSERT_NE(program.process, 0);
        EXPECT_EQ(readToEnd(program.process), c.bytes);
        EXPECT_TRUE(waitForEnd(program.process));
        EXPECT_EQ(raw::pipeWaitingRaw(program.process), 0u);
    }
}

TEST(RawProcesses, MoreOutputThanThePipeHolds) {
    ProgramOwner program{raw::startRaw(quoted(standIn("print_lines")) + " big", "")};
    ASSERT_NE(program.process, 0);
    const std::string all = readToEnd(program.process);
    ASSERT_EQ(all.size(), 160000u);
    EXPECT_EQ(all.substr(0, 10), "line 00001");
    EXPECT_EQ(all.substr(all.size() - 40, 10), "line 04000");
}

TEST(RawProcesses, OutputWaitsInThePipeAfterTheProgramEnded) {
    ProgramOwner program{raw::startRaw(quoted(standIn("print_lines")) + " crlf", "")};
    ASSERT_NE(program.process, 0);
    ASSERT_TRUE(waitForEnd(program.process));
    EXPECT_EQ(raw::pipeWaitingRaw(program.process), 6u);
    char buffer[4] = {};
    EXPECT_EQ(raw::readPipeRaw(program.process, buffer, 2), 2u);
    EXPECT_EQ(std::string(buffer, 2), "a\r");
    EXPECT_EQ(raw::pipeWaitingRaw(program.process), 4u);
    EXPECT_EQ(readToEnd(program.process), "\nb\r\n");
}

TEST(RawProcesses, WorkingFolderAndArgumentsReachTheProgram) {
    const std::string folder = scratchFolder("working");
    writeScratchFile(folder + "input.txt", "from the working folder");
    {
        ProgramOwner program{raw::startRaw(quoted(standIn("print_lines")) + " cat input.txt", folder)};
        ASSERT_NE(program.process, 0);
        EXPECT_EQ(readToEnd(program.process), "from the working folder");
    }
    ProgramOwner program{
        raw::startRaw(quoted(standIn("print_lines")) + " args one \"two words\"", "")};
    ASSERT_NE(program.process, 0);
    EXPECT_EQ(readToEnd(program.process), "<one>\r\n<two words>\r\n");
}

TEST(RawProcesses, MissingProgramOrFolderGivesNoProcess) {
    const std::string folder = scratchFolder("missing");
    EXPECT_EQ(raw::startRaw(quoted(folder + "nothing.exe"), ""), 0);
    EXPECT_EQ(raw::startRaw(quoted(standIn("print_lines")) + " crlf", folder + "nowhere\\"), 0);
}

} // namespace
