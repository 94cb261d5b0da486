// What the scripted dialogs showed, for expectations on message boxes.
#pragma once

#include "platform/portable/scripted_ui.h"

#include <string>
#include <utility>
#include <vector>

namespace oxlo::testing {

// The texts of every message box shown since the script was reset, in order.
std::vector<std::string> shownMessageTexts();
// The same, each followed by " [FLAGS]", its style word in decimal, where the box's kind counts.
std::vector<std::string> shownMessagesWithFlags();
// True when a message box with exactly this text was shown.
bool messageShown(const std::string& text);
// The text of the last box shown, or "<no message>": for the trace of a failed expectation.
std::string lastMessageText();

// Boxes as (text, style word), to compare whole with the boxes expected.
using Shown = std::vector<std::pair<std::string, int>>;
// The boxes of `messages`, by default every box shown since the script was reset, each checked
// to carry `title`.
Shown textsAndFlags(const std::string& title,
                    const std::vector<platform::scripted::MessageRecord>& messages =
                        platform::scripted::shownMessages());

} // namespace oxlo::testing
