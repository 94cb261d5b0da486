#include "cli/console_messages.h"

#include "catalogue/bundle_removal.h"
#include "catalogue/installed_mapsets.h"
#include "platform/console.h"
#include "platform/services.h"

namespace oxlo::cli {

namespace {
bool isYesNoCancel(int flags) { return (flags & 0x0f) == 0x03; } // MB_YESNOCANCEL
bool isQuestion(int flags) { return (flags & 0x0f) == 0x04 || isYesNoCancel(flags); } // MB_YESNO
bool isWarning(int flags) { return (flags & 0xf0) == platform::kMessageWarning; }

// The boxes write CR for a line break; a console wants LF.
std::string consoleLines(std::string text) {
    for (std::size_t at = 0; (at = text.find('\r', at)) != std::string::npos;) {
        if (at + 1 < text.size() && text[at + 1] == '\n') text.erase(at, 1);
        else text[at++] = '\n';
    }
    return text;
}
} // namespace

MessageGate::MessageGate(const Streams& streams, bool yes) : streams_(streams), yes_(yes) {
    platform::routeMessages(
        [this](const std::string&, const std::string& text, int flags) { return route(text, flags); });
}

MessageGate::~MessageGate() { platform::routeMessages({}); }

int MessageGate::route(const std::string& text, int flags) {
    if (!isQuestion(flags)) {
        // The rescan after a command may warn that the list is not whole: that tells of the
        // list, not of what the command did.
        if (isWarning(flags) && text != catalogue::kListNotWholeText) failed_ = true;
        streams_.err("oxlo: " + consoleLines(text) + "\n");
        return platform::kAnswerOk;
    }
    // The console never deletes a bundle for good: it stops with the question instead.
    if (catalogue::asksToDeleteForGood(text)) {
        failed_ = true;
        streams_.err("oxlo: " + text + "\n");
        return platform::kAnswerNo;
    }
    if (const auto fixed = fixed_.find(text); fixed != fixed_.end()) return fixed->second;
    for (const auto& [matches, answer] : matching_)
        if (matches(text)) return answer;
    if (isYesNoCancel(flags) && yesNoCancel_) return *yesNoCancel_;
    if (quietNo_) return platform::kAnswerNo;
    if (yes_) return platform::kAnswerYes;
    failed_ = true;
    streams_.err("oxlo: " + consoleLines(text) + " (answer with --yes)\n");
    // Cancel, not No, is what stops a question of three answers.
    return isYesNoCancel(flags) ? platform::kAnswerCancel : platform::kAnswerNo;
}

} // namespace oxlo::cli
