// The ANSI code page of services.h on the portable side: Windows-1252, as a Western Windows has
// it (the five bytes it leaves undefined read as the control characters of the same number, as
// Windows reads them).
#include "platform/portable/case_fold.h"
#include "platform/services.h"

#include <algorithm>
#include <iterator>

namespace oxlo::platform {

namespace {

// The characters of the bytes 0x80 to 0x9F.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t characterOf(unsigned char byte)
{
    return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : byte;
}

void appendUtf8(std::string& text, char32_t c)
{
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | c >> 6);
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | c >> 12);
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string ansiFromText(const std::string& text, bool* exact)
{
    *exact = true;
    std::string bytes;
    for (const char32_t c : charactersOf(text)) {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            bytes += static_cast<char>(c);
            continue;
        }
        const auto* found = std::find(std::begin(kHighControls), std::end(kHighControls), c);
        if (found == std::end(kHighControls)) {
            *exact = false;
            bytes += '?';
        } else {
            bytes += static_cast<char>(0x80 + (found - std::begin(kHighControls)));
        }
    }
    return bytes;
}

std::string textFromAnsi(const std::string& bytes)
{
    std::string text;
    for (const char byte : bytes)
        appendUtf8(text, characterOf(static_cast<unsigned char>(byte)));
    return text;
}

std::string textForAnsiPrograms(const std::string& text, bool* exact)
{
    ansiFromText(text, exact);
    return text;
}

std::string textFromAnsiPrograms(const std::string& bytes)
{
    return bytes;
}

} // namespace oxlo::platform
