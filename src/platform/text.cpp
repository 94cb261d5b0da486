// The text helpers: every number the program reads from text or forms into text passes here, and
// the one conversion of UTF-8 text into the UTF-16 form of files.
#include "platform/services.h"

#include <algorithm>
#include <cstdint>

namespace oxlo::platform {

namespace {

// The sign and the digits that numberFromText and wholeNumberFromText read, digit by digit
// through `addDigit`.
template <typename AddDigit>
bool readSignedDigits(const std::string& text, AddDigit addDigit)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        addDigit(static_cast<unsigned>(text[i] - '0'));
    return negative;
}

} // namespace

std::int32_t numberFromText(const std::string& text)
{
    // Unsigned arithmetic wraps modulo 2^32 without undefined behaviour.
    std::uint32_t value = 0;
    const bool negative =
        readSignedDigits(text, [&](unsigned digit) { value = value * 10u + digit; });
    if (negative)
        value = 0u - value;
    return static_cast<std::int32_t>(value);
}

std::int64_t wholeNumberFromText(const std::string& text)
{
    constexpr std::int64_t kLimit = std::int64_t{1} << 40;
    std::int64_t value = 0;
    const bool negative = readSignedDigits(
        text, [&](unsigned digit) { value = std::min(kLimit, value * 10 + digit); });
    return negative ? -value : value;
}

std::string textFromNumber(std::int32_t number)
{
    // Work on the magnitude as unsigned so that INT32_MIN has one.
    std::uint32_t magnitude = number < 0 ? 0u - static_cast<std::uint32_t>(number)
                                         : static_cast<std::uint32_t>(number);
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10u));
        magnitude /= 10u;
    } while (magnitude != 0);
    if (number < 0)
        digits.insert(digits.begin(), '-');
    return digits;
}

std::string getFilePart(const std::string& path)
{
    std::size_t start = !path.empty() && path[0] == '"' ? 1 : 0;
    const std::size_t slash = path.find_last_of("/\\");
    if (slash != std::string::npos && slash >= start)
        start = slash + 1;
    const std::size_t quote = path.find('"', start);
    return path.substr(start, quote == std::string::npos ? std::string::npos : quote - start);
}

namespace {

// The code point of the UTF-8 sequence at text[i], moving i past it; U+FFFD and one byte on for a
// byte that begins no sequence (a stray or cut-short one, an overlong form, beyond U+10FFFF).
char32_t nextCodePoint(const std::string& text, std::size_t& i)
{
    const auto byte = [&text](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3
                             : lead < 0xF5 ? 4 : 0;
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    char32_t point = length == 1 ? lead : lead & (0x7Fu >> length);
    bool whole = length != 0 && i + length <= text.size();
    for (std::size_t k = 1; whole && k < length; ++k) {
        whole = (byte(i + k) & 0xC0) == 0x80;
        point = point << 6 | (byte(i + k) & 0x3Fu);
    }
    if (!whole || point < kLeast[length] || point > 0x10FFFF) {
        ++i;
        return 0xFFFD;
    }
    i += length;
    return point;
}

void appendUnit(std::string& bytes, char32_t unit)
{
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
}

} // namespace

std::string utf16LittleEndian(const std::string& utf8)
{
    std::string bytes;
    bytes.reserve(utf8.size() * 2);
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t point = nextCodePoint(utf8, i);
        if (point < 0x10000) {
            appendUnit(bytes, point);
        } else {
            appendUnit(bytes, 0xD800 + ((point - 0x10000) >> 10));
            appendUnit(bytes, 0xDC00 + ((point - 0x10000) & 0x3FF));
        }
    }
    return bytes;
}

namespace {

// Writes the UTF-8 form of `point` at `out`; gives the place after it.
char* putUtf8(char* out, char32_t point)
{
    if (point < 0x80) {
        *out++ = static_cast<char>(point);
        return out;
    }
    const int more = point < 0x800 ? 1 : point < 0x10000 ? 2 : 3;
    constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
    *out++ = static_cast<char>(kLead[more] | (point >> (6 * more)));
    for (int k = more - 1; k >= 0; --k)
        *out++ = static_cast<char>(0x80 | ((point >> (6 * k)) & 0x3F));
    return out;
}

} // namespace

std::string textFromUtf16LittleEndian(std::string_view bytes, bool* exact)
{
    *exact = bytes.size() % 2 == 0;
    const auto unit = [&bytes](std::size_t at) -> char32_t {
        return static_cast<unsigned char>(bytes[2 * at]) |
               static_cast<unsigned char>(bytes[2 * at + 1]) << 8;
    };
    const std::size_t units = bytes.size() / 2;
    // A unit gives at most three bytes (a pair, two units, gives four): the text is sized once and
    // cut to what was written, as every registry text read passes through here.
    std::string text(units * 3, '\0');
    char* const first = text.data();
    char* out = first;
    for (std::size_t i = 0; i < units; ++i) {
        char32_t point = unit(i);
        const bool high = point >= 0xD800 && point < 0xDC00;
        const bool low = point >= 0xDC00 && point < 0xE000;
        if (high && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) < 0xE000) {
            point = 0x10000 + ((point - 0xD800) << 10) + (unit(++i) - 0xDC00);
        } else if (high || low) {
            point = 0xFFFD;
            *exact = false;
        }
        out = putUtf8(out, point);
    }
    text.resize(static_cast<std::size_t>(out - first));
    return text;
}

} // namespace oxlo::platform
