#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>

namespace oxlo::fuzz {

void fail(const std::string& property)
{
    std::fprintf(stderr, "\n*** property broken: %s\n", property.c_str());
    std::abort();
}

std::string printable(std::string_view bytes)
{
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            text += c;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    return text;
}

} // namespace oxlo::fuzz
