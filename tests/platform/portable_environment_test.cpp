// What the portable platform shows a program of the running program's surroundings: its folder
// and environment as the tests set them, and the Windows paths it hands to a host program.
#include "host_files.h"
#include "platform/portable/portable_environment.h"
#include "platform/portable/portable_files.h"
#include "platform/services.h"

#include <gtest/gtest.h>

#include <vector>

namespace oxlo::platform {
namespace {

using oxlo::testing::freshTestFolder;
using oxlo::testing::standInProgram;
using Lines = std::vector<std::string>;

class PortableEnvironment : public ::testing::Test {
protected:
    void TearDown() override
    {
        clearEnvironment();
        setProgramFolder("C:\\Oxlo");
    }
};

TEST_F(PortableEnvironment, ProgramFolderEndsInABackslash)
{
    EXPECT_EQ(programFolder(), "C:\\Oxlo\\") << "the folder before any test sets one";
    for (const std::string& folder : {std::string("D:\\Tools"), std::string("D:\\Tools\\")}) {
        SCOPED_TRACE(folder);
        setProgramFolder(folder);
        EXPECT_EQ(programFolder(), "D:\\Tools\\");
    }
}

TEST_F(PortableEnvironment, VariablesIgnoreLetterCaseAndEmptyRemoves)
{
    EXPECT_EQ(environmentVariable("JAVA_HOME"), "") << "the environment starts empty";
    setEnvironmentVariable("Java_Home", "C:\\Java");
    setEnvironmentVariable("PATH", "C:\\Windows;C:\\Java\\bin");
    EXPECT_EQ(environmentVariable("JAVA_HOME"), "C:\\Java");
    EXPECT_EQ(environmentVariable("path"), "C:\\Windows;C:\\Java\\bin");
    setEnvironmentVariable("JAVA_HOME", "");
    EXPECT_EQ(environmentVariable("Java_Home"), "");
    EXPECT_EQ(environmentVariable("PATH"), "C:\\Windows;C:\\Java\\bin") << "others stay";
    clearEnvironment();
    EXPECT_EQ(environmentVariable("PATH"), "");
}

// A host program gets host paths where a Windows program would get Windows paths with a drive;
// relative paths, other options and plain words pass as written.
TEST_F(PortableEnvironment, HostProgramsGetHostPathsForWindowsPaths)
{
    const std::string folder = freshTestFolder("host paths");
    const std::string host = oxlo::testing::hostPath(folder).string();
    const ProgramHandle program = runProgram(
        standInProgram("print_lines"),
        "args \"" + folder + "\\My Alps\" --output-dir=\"" + folder + "\" \"-o=" + folder +
            "/a.img\" \"name=" + folder + "\" -jar x.jar -e \"Alps.mp\" maps\\a.img --family-id=6001",
        "", kRunKeepHandle | kRunPipeOutput);
    ASSERT_NE(program, 0);
    Lines lines;
    while (programRunning(program) == 1)
        lines.push_back(readProgramOutput(program));
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    EXPECT_EQ(lines, (Lines{"<" + host + "/My Alps>", "<--output-dir=" + host + ">",
                            "<-o=" + host + "/a.img>", "<name=" + folder + ">", "<-jar>",
                            "<x.jar>", "<-e>", "<Alps.mp>", "<maps\\a.img>",
                            "<--family-id=6001>"}));
}

} // namespace
} // namespace oxlo::platform
