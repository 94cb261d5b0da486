// The check that a scripted step is refused with a ScriptError that says why.
#pragma once

#include "platform/portable/scripted_ui.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace oxlo::platform {

// Runs `action`, which must throw a ScriptError whose message holds `expected`.
template <typename Action>
void expectScriptError(Action action, const std::string& expected)
{
    try {
        action();
        ADD_FAILURE() << "no ScriptError; expected one mentioning \"" << expected << "\"";
    } catch (const scripted::ScriptError& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr(expected));
    }
}

} // namespace oxlo::platform
