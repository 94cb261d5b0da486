// Every test starts with a scripted window layer and dialogs that know nothing, whatever the test
// before it left behind in the same process.
#include "platform/portable/scripted_ui.h"
#include "support/test_host.h"

#include <gtest/gtest.h>

namespace oxlo::testing {
namespace {

class ScriptReset : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { platform::scripted::resetScript(); }
};

// Linked as object code, so this registration runs in every test program.
const bool registered = [] {
    prepareTestHost();
    ::testing::UnitTest::GetInstance()->listeners().Append(new ScriptReset);
    return true;
}();

} // namespace
} // namespace oxlo::testing
