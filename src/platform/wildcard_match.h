// The "*" and "?" match of file names that both implementations of the seam share, over
// characters of any width and their own test of two characters for sameness.
#pragma once

#include <string>

namespace oxlo::platform {

// True when `pattern` ("*" any run, "?" any one character) matches the whole `name`; "*.*" and
// "*" match every name, as on Windows.
template <typename Char, typename Same>
bool wildcardMatches(const std::basic_string<Char>& name, const std::basic_string<Char>& pattern,
                     Same same)
{
    const auto star = static_cast<Char>('*');
    const auto any = static_cast<Char>('?');
    if (pattern == std::basic_string<Char>{star, static_cast<Char>('.'), star} ||
        pattern == std::basic_string<Char>{star})
        return true;
    // Greedy match with one back-tracking point: the last "*" seen.
    std::size_t n = 0, p = 0, starAt = std::basic_string<Char>::npos, nameAtStar = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == any || same(pattern[p], name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == star) {
            starAt = p++;
            nameAtStar = n;
        } else if (starAt != std::basic_string<Char>::npos) {
            p = starAt + 1;
            n = ++nameAtStar;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == star)
        ++p;
    return p == pattern.size();
}

} // namespace oxlo::platform
