#include "platform/text_lines.h"

namespace oxlo::platform {

LineSpan firstLine(std::string_view text)
{
    const std::size_t end = text.find_first_of(std::string_view("\r\n\0", 3));
    if (end == std::string_view::npos) {
        return LineSpan{text.size(), 0};
    }
    const bool crLf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    return LineSpan{end, crLf ? 2u : 1u};
}

std::string_view TextLines::next()
{
    const LineSpan line = firstLine(text_.substr(position_));
    const std::string_view text = text_.substr(position_, line.length);
    position_ += line.length + line.endLength;
    return text;
}

} // namespace oxlo::platform
