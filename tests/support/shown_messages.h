// What the scripted dialogs showed, for expectations on message boxes.
#pragma once

#include <string>
#include <vector>

namespace oxlo::testing {

// The texts of every message box shown since the script was reset, in order.
std::vector<std::string> shownMessageTexts();
// The same, each followed by " [FLAGS]", its style word in decimal, where the box's kind counts.
std::vector<std::string> shownMessagesWithFlags();
// True when a message box with exactly this text was shown.
bool messageShown(const std::string& text);

} // namespace oxlo::testing
