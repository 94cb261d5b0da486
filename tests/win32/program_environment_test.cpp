// The running program's folder and environment variables as the Win32 implementation reads them.
#include "platform/services.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace platform = oxlo::platform;

namespace {

TEST(ProgramEnvironment, ProgramFolderHoldsThisProgram) {
    const std::string folder = platform::programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_GT(platform::fileSize(folder + "win32_system_tests.exe"), 0);
    EXPECT_EQ(platform::fileSize(folder.substr(0, folder.size() - 1)), platform::kIsFolder);
}

TEST(ProgramEnvironment, VariablesAreReadWholeAndMissingOnesAreEmpty) {
    const struct {
        const char* set;  // the name as set
        const char* read; // the name as read: letter case does not matter
        std::string value;
    } cases[] = {
        {"OXLO_TEST_JAVA_HOME", "oxlo_test_java_home", "C:\\Program Files\\Java\\jre"},
        {"OXLO_TEST_LONG", "OXLO_TEST_LONG", std::string(5000, 'p') + ";C:\\Java\\bin"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.set);
        ASSERT_TRUE(::SetEnvironmentVariableA(c.set, c.value.c_str()));
        EXPECT_EQ(platform::environmentVariable(c.read), c.value);
        ASSERT_TRUE(::SetEnvironmentVariableA(c.set, nullptr));
        EXPECT_EQ(platform::environmentVariable(c.read), "");
    }
}

} // namespace
