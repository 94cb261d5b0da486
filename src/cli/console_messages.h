// The window program's message boxes as console lines: while a MessageGate lives, every message
// goes to standard error as "oxlo: TEXT" and questions are answered from the command's options,
// except that deleting a bundle for good is always refused.
#pragma once

#include "cli/cli.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace oxlo::cli {

class MessageGate {
public:
    // `yes`: a question is answered Yes; otherwise it is answered No, written as
    // "oxlo: QUESTION (answer with --yes)" and the command counts as refused.
    MessageGate(const Streams& streams, bool yes);
    ~MessageGate();
    MessageGate(const MessageGate&) = delete;
    MessageGate& operator=(const MessageGate&) = delete;

    // The question `text` gets `answer` (kAnswerYes or kAnswerNo) whatever --yes says.
    void answer(const std::string& text, int answer) { fixed_[text] = answer; }
    // Every question that `matches` gets `answer`, whatever --yes says.
    void answerEach(std::function<bool(const std::string&)> matches, int answer) {
        matching_.emplace_back(std::move(matches), answer);
    }
    // A question with Yes, No and Cancel gets `answer` without a line, whatever --yes says.
    void answerYesNoCancel(int answer) { yesNoCancel_ = answer; }
    // Questions get No and no line at all: the scan of a command that changes nothing.
    void quietNo(bool quiet) { quietNo_ = quiet; }
    // A warning was shown (other than the list's own that it is not whole) or a question was
    // refused.
    bool failed() const { return failed_; }

private:
    int route(const std::string& text, int flags);

    const Streams& streams_;
    bool yes_;
    bool quietNo_ = false;
    bool failed_ = false;
    std::map<std::string, int> fixed_;
    std::vector<std::pair<std::function<bool(const std::string&)>, int>> matching_;
    std::optional<int> yesNoCancel_;
};

} // namespace oxlo::cli
