// A fixture for driving the shell through the scripted window layer with stand-in tasks.
#pragma once

#include "app/shell_stand_ins.h"

#include "platform/portable/scripted_ui.h"

#include <gtest/gtest.h>

namespace oxlo::app_test {

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::scripted::resetScript();
        resetStandIns();
    }

    // Every scripted step must have been consumed: a loop that stopped early fails here.
    void TearDown() override { EXPECT_EQ(platform::scripted::pendingSteps(), 0); }
};

// The usual end of a run: Quit in the main window, GoodBye in the farewell window.
void queueQuitAndGoodBye();

// runOxlo() over the queued script; every queued step must have been consumed.
int runScript();

} // namespace oxlo::app_test
