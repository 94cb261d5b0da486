#include "catalogue/mapset_names.h"

#include <array>
#include <cctype>
#include <string_view>

namespace oxlo::catalogue {

namespace {

// Windows takes the part before the first dot, blanks after it ignored, for the device name.
bool isDeviceName(const std::string& name) {
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    constexpr std::array<std::string_view, 4> plain = {"CON", "PRN", "AUX", "NUL"};
    for (const std::string_view device : plain)
        if (stem == device) return true;
    const bool numbered = stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT"));
    return numbered && stem[3] >= '1' && stem[3] <= '9';
}

} // namespace

bool isUsableFolderName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    constexpr std::string_view forbidden = "\\/<>:\"|?*";
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || forbidden.find(c) != std::string_view::npos) return false;
    }
    const char last = name.back();
    return last != '.' && last != ' ' && !isDeviceName(name);
}

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

} // namespace oxlo::catalogue
