#include "support/shown_messages.h"

#include <gtest/gtest.h>

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

std::string lastMessageText()
{
    const auto messages = platform::scripted::shownMessages();
    return messages.empty() ? "<no message>" : messages.back().text;
}

Shown textsAndFlags(const std::string& title,
                    const std::vector<platform::scripted::MessageRecord>& messages)
{
    Shown shown;
    for (const auto& message : messages) {
        EXPECT_EQ(message.title, title) << message.text;
        shown.emplace_back(message.text, message.flags);
    }
    return shown;
}

} // namespace oxlo::testing
