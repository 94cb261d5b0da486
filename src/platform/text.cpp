// The text helpers: every number the program reads from text or forms into text passes here.
#include "platform/services.h"

#include <cstdint>

namespace oxlo::platform {

std::int32_t numberFromText(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    // Unsigned arithmetic wraps modulo 2^32 without undefined behaviour.
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    if (negative)
        value = 0u - value;
    return static_cast<std::int32_t>(value);
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

} // namespace oxlo::platform
