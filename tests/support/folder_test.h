// Tests that work in a folder of their own.
#pragma once

#include "platform/services.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace oxlo::testing {

// A fresh test folder named after the running test, "Suite-Test".
inline std::string freshFolderForThisTest()
{
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "-" + test->name();
    std::replace(name.begin(), name.end(), '/', '-'); // parameterised names
    return freshTestFolder(name);
}

// folder_ is fresh for every test. The current folder is given back afterwards, since a build
// leaves the mapset folder current (and a current folder cannot be removed on Windows).
class FolderTest : public ::testing::Test {
protected:
    void SetUp() override { folder_ = freshFolderForThisTest(); }
    void TearDown() override { platform::setCurrentDirectory(startFolder_); }

    const std::string startFolder_ = platform::getCurrentDirectory();
    std::string folder_;
};

} // namespace oxlo::testing
