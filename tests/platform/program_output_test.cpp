#include "host_files.h"
#include "platform/services.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace oxlo::platform {
namespace {

using oxlo::testing::freshTestFolder;
using oxlo::testing::standInProgram;
using oxlo::testing::writeHostBytes;
using Lines = std::vector<std::string>;

constexpr int kPipedAndKept = kRunKeepHandle | kRunPipeOutput;

ProgramHandle runPrintLines(const std::string& parameters, const std::string& folder = "")
{
    return runProgram(standInProgram("print_lines"), parameters, folder, kPipedAndKept);
}

// The callers' pattern: read lines while the program runs or output waits.
Lines collectWhileRunning(ProgramHandle program)
{
    Lines lines;
    while (programRunning(program) == 1 && lines.size() < 100000)
        lines.push_back(readProgramOutput(program));
    return lines;
}

// Whether the program is done within a generous bound (it ends at once by itself).
bool endsSoon(ProgramHandle program)
{
    for (int i = 0; i < 1000; ++i) {
        if (programRunning(program) == 0)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// A program may still be running when its last line has been read; the pattern then reads one
// more, empty text at the end of the pipe. Those trailing empty texts are dropped here.
Lines withoutTrailingEmpty(Lines lines)
{
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

TEST(ProgramOutput, SplitsLinesAtEveryKindOfEnd)
{
    const struct {
        const char* mode;
        Lines expected;
    } cases[] = {
        {"crlf", {"a", "b", ""}},
        {"endings", {"A", "B", "C", "D"}},
        {"noend", {"a", "b"}},
        {"mixed", {"a", "b"}},
        {"split", {"a", "b", ""}},
        {"silent", {""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("print_lines ") + c.mode);
        const ProgramHandle program = runPrintLines(c.mode);
        ASSERT_NE(program, 0);
        Lines lines;
        for (std::size_t i = 0; i < c.expected.size(); ++i)
            lines.push_back(readProgramOutput(program));
        EXPECT_EQ(lines, c.expected);
        EXPECT_EQ(readProgramOutput(program), "") << "after the end of the pipe";
        EXPECT_TRUE(endsSoon(program)) << "programRunning stays 1 after all output was read";
    }
}

TEST(ProgramOutput, RunningStaysOneUntilTheLastLineIsRead)
{
    const ProgramHandle program = runPrintLines("mixed");
    ASSERT_NE(program, 0);
    // Let the program end with its output unread: the output keeps it "running".
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(programRunning(program), 1);
    EXPECT_EQ(readProgramOutput(program), "a");
    EXPECT_EQ(programRunning(program), 1) << "\"b\" is held";
    EXPECT_EQ(readProgramOutput(program), "b");
    EXPECT_TRUE(endsSoon(program));
    EXPECT_EQ(programRunning(program), 0) << "a released program stays ended";
    EXPECT_EQ(readProgramOutput(program), "");
}

TEST(ProgramOutput, ReadsMoreThan64KiBCompletelyAndInOrder)
{
    const ProgramHandle program = runPrintLines("big");
    ASSERT_NE(program, 0);
    const Lines lines = withoutTrailingEmpty(collectWhileRunning(program));
    ASSERT_EQ(lines.size(), 4000u);
    for (int i = 0; i < 4000; ++i) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "line %05d %s", i + 1,
                      std::string(27, 'x').c_str());
        if (lines[static_cast<std::size_t>(i)] != expected) {
            ADD_FAILURE() << "line " << i + 1 << " is \"" << lines[static_cast<std::size_t>(i)]
                          << "\"";
            break;
        }
    }
    EXPECT_EQ(programRunning(program), 0);
}

TEST(ProgramOutput, AnOverLongLineComesInPiecesOf64KiB)
{
    const ProgramHandle program = runPrintLines("longline");
    ASSERT_NE(program, 0);
    const Lines lines = withoutTrailingEmpty(collectWhileRunning(program));
    // A line without end never makes the held text grow past 64 KiB.
    const Lines expected = {std::string(65536, 'x'), std::string(65536, 'x'),
                            std::string(65536, 'x'), std::string(200000 - 3 * 65536, 'x'),
                            std::string(65535, 'y'), "end"};
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(lines[i] == expected[i]) << "piece " << i << " has " << lines[i].size()
                                             << " bytes: " << lines[i].substr(0, 20) << "...";
}

TEST(ProgramOutput, AProgramThatEndsBeforeAnythingIsRead)
{
    const ProgramHandle program = runPrintLines("silent");
    ASSERT_NE(program, 0);
    EXPECT_TRUE(endsSoon(program));
    EXPECT_EQ(collectWhileRunning(program), Lines{});
}

TEST(ProgramOutput, TheExitCodeIsKnownFromTheEndUntilTheRelease)
{
    for (const int status : {0, 1, 3, 255}) {
        SCOPED_TRACE(status);
        const ProgramHandle program = runPrintLines("exit " + std::to_string(status));
        ASSERT_NE(program, 0);
        EXPECT_EQ(withoutTrailingEmpty(collectWhileRunning(program)), Lines{"a"});
        ASSERT_TRUE(endsSoon(program));
        EXPECT_EQ(programExitCode(program), status) << "after programRunning let it go";
        releaseProgram(program);
        EXPECT_EQ(programExitCode(program), kNoExitCode);
    }
    // Ended, with all its output read, but not yet let go.
    const ProgramHandle program = runPrintLines("exit 2");
    ASSERT_NE(program, 0);
    while (programOutputWaiting(program) != kOutputEnded)
        if (programOutputWaiting(program) == kOutputLineWaiting) readProgramOutput(program);
    EXPECT_EQ(programExitCode(program), 2);
    releaseProgram(program);
    EXPECT_EQ(programExitCode(0), kNoExitCode);
}

TEST(ProgramOutput, ProgramThatCannotStartGivesZero)
{
    const std::string folder = freshTestFolder("unstartable");
    EXPECT_EQ(runProgram(folder + "\\missing.exe", "", "", kPipedAndKept), 0);
    EXPECT_EQ(runProgram(standInProgram("print_lines"), "crlf", folder + "\\no folder",
                         kPipedAndKept),
              0)
        << "a working folder that does not exist";
    EXPECT_EQ(programRunning(0), 0);
    EXPECT_EQ(readProgramOutput(0), "");
}

TEST(ProgramOutput, QuotesTheProgramAndPassesTheParametersAsWritten)
{
    const std::string folder = freshTestFolder("program with blanks");
    const std::string copy = folder + "\\print lines.exe";
    ASSERT_EQ(copyFile(standInProgram("print_lines"), copy), 1);
    for (const std::string& program : {copy, "\"" + copy + "\""}) {
        SCOPED_TRACE("program " + program);
        const ProgramHandle handle =
            runProgram(program, "args \"two words\" plain \"\" -e \"Alps.mp\"", "", kPipedAndKept);
        ASSERT_NE(handle, 0);
        EXPECT_EQ(withoutTrailingEmpty(collectWhileRunning(handle)),
                  (Lines{"<two words>", "<plain>", "<>", "<-e>", "<Alps.mp>"}));
    }
}

TEST(ProgramOutput, StandardErrorJoinsThePipeOnlyWhenAsked)
{
    const struct {
        int options;
        Lines expected;
    } cases[] = {
        {kPipedAndKept | kRunPipeErrors, {"out 1", "err 1", "out 2", "err 2"}},
        {kPipedAndKept, {"out 1", "out 2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("options " + std::to_string(c.options));
        const ProgramHandle program =
            runProgram(standInProgram("print_lines"), "both", "", c.options);
        ASSERT_NE(program, 0);
        EXPECT_EQ(withoutTrailingEmpty(collectWhileRunning(program)), c.expected);
    }
}

TEST(ProgramOutput, RunsInTheWorkingFolderOrTheCurrentOne)
{
    const std::string folder = freshTestFolder("working folder");
    writeHostBytes(folder + "\\in.txt", "from the folder\r\n");
    const ProgramHandle given = runPrintLines("cat in.txt", folder);
    ASSERT_NE(given, 0);
    EXPECT_EQ(withoutTrailingEmpty(collectWhileRunning(given)), Lines{"from the folder"});

    const std::string before = getCurrentDirectory();
    ASSERT_EQ(setCurrentDirectory(folder), 1);
    const ProgramHandle current = runPrintLines("cat in.txt");
    setCurrentDirectory(before);
    ASSERT_NE(current, 0);
    EXPECT_EQ(withoutTrailingEmpty(collectWhileRunning(current)), Lines{"from the folder"});
}

TEST(ProgramOutput, OutputWaitingSaysWhenAReadWouldNotBlock)
{
    const ProgramHandle program = runPrintLines("split");
    ASSERT_NE(program, 0);
    Lines lines;
    int waiting = 0;
    for (int i = 0; i < 1000 && waiting != kOutputEnded; ++i) {
        waiting = programOutputWaiting(program);
        if (waiting == kOutputLineWaiting)
            lines.push_back(readProgramOutput(program));
        else if (waiting == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(lines, (Lines{"a", "b"})) << "the end of the output is no line of its own";
    EXPECT_EQ(waiting, kOutputEnded);
    EXPECT_EQ(programOutputWaiting(program), kOutputEnded);
    releaseProgram(program);
}

} // namespace
} // namespace oxlo::platform
