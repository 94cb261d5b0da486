// Text of any bytes read line by line as the program reads text files (TextLines, which readLine
// shares its line ends with). Input: the text.
//
// Lines come without their ends, the ends being CR, LF, CR LF and NUL. So each call takes at
// least one byte while the text is not at its end, and the lines joined with the ends they
// replaced (a CR followed by LF being one end) give back the text.
#include "fuzz_support.h"

#include "platform/text_lines.h"

#include <string>
#include <string_view>

namespace {

using oxlo::fuzz::printable;
using oxlo::fuzz::require;

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n' || c == '\0';
}

// The length of the line end at `position` of `text`, 0 when none starts there.
std::size_t lineEndAt(std::string_view text, std::size_t position)
{
    if (position >= text.size() || !isLineEnd(text[position]))
        return 0;
    return text[position] == '\r' && position + 1 < text.size() && text[position + 1] == '\n' ? 2
                                                                                              : 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    oxlo::platform::TextLines lines(text);
    std::size_t position = 0; // where the next line must start in the text
    std::size_t calls = 0;
    while (!lines.atEnd()) {
        require(++calls <= text.size(),
                [&] { return "more than one line per byte: " + printable(text); });
        const std::string_view line = lines.next();
        require(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos, [&] {
            return "line " + std::to_string(calls) + " holds a line end: " + printable(line);
        });
        require(text.compare(position, line.size(), line) == 0, [&] {
            return "line " + std::to_string(calls) + " '" + printable(line) +
                   "' is not the text at " + std::to_string(position) + " of " + printable(text);
        });
        position += line.size();
        const std::size_t end = lineEndAt(text, position);
        require(end != 0 || position == text.size(), [&] {
            return "line " + std::to_string(calls) + " ended before a line end, at " +
                   std::to_string(position) + " of " + printable(text);
        });
        position += end;
    }
    require(position == text.size(), [&] {
        return "the lines end at " + std::to_string(position) + " of " + printable(text);
    });
    return 0;
}
