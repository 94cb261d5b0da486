// Lines of text as the program reads them: ended by CR, LF, CR LF or NUL. readLine splits a file
// with these, and text held in memory is read with TextLines.
#pragma once

#include <cstddef>
#include <string_view>

namespace oxlo::platform {

// The first line of `text`: its length, and the length of its end (2 for CR LF, 1 for the others,
// 0 when `text` holds no end). A CR that is the last byte counts 1, though an LF following it
// outside `text` would belong to the same end.
struct LineSpan {
    std::size_t length = 0;
    std::size_t endLength = 0;
};
LineSpan firstLine(std::string_view text);

// Reads `text` line by line as readLine reads a file holding it.
class TextLines {
public:
    explicit TextLines(std::string_view text) : text_(text) {}
    bool atEnd() const { return position_ == text_.size(); }
    // The next line without its end; at the end of the text the empty line.
    std::string_view next();

private:
    std::string_view text_;
    std::size_t position_ = 0;
};

} // namespace oxlo::platform
