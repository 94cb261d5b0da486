#include "support/shown_messages.h"

#include "platform/portable/scripted_ui.h"

#include <algorithm>

namespace oxlo::testing {

std::vector<std::string> shownMessageTexts()
{
    std::vector<std::string> texts;
    for (const auto& message : platform::scripted::shownMessages()) texts.push_back(message.text);
    return texts;
}

std::vector<std::string> shownMessagesWithFlags()
{
    std::vector<std::string> texts;
    for (const auto& message : platform::scripted::shownMessages())
        texts.push_back(message.text + " [" + std::to_string(message.flags) + "]");
    return texts;
}

bool messageShown(const std::string& text)
{
    const auto texts = shownMessageTexts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

} // namespace oxlo::testing
