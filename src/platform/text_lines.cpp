#include "platform/text_lines.h"

namespace oxlo::platform {

LineSpan firstLine(std::string_view text)
{
    // Byte by byte with one comparison for all but the few low bytes: every line of every text
    // read passes here.
    std::size_t end = 0;
    for (; end < text.size(); ++end) {
        const auto byte = static_cast<unsigned char>(text[end]);
        if (byte <= '\r' && (byte == '\r' || byte == '\n' || byte == '\0')) {
            break;
        }
    }
    if (end == text.size()) {
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
