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

namespace {

// Small letters, one backslash where several stand (a share's leading pair kept), none at the end.
std::string comparablePath(const std::string& path) {
    std::string result;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const bool repeated = path[i] == '\\' && i > 1 && path[i - 1] == '\\';
        if (!repeated) result += static_cast<char>(std::tolower(static_cast<unsigned char>(path[i])));
    }
    while (result.size() > 3 && result.back() == '\\') result.pop_back();
    return result;
}

} // namespace

bool samePath(const std::string& a, const std::string& b) {
    return comparablePath(a) == comparablePath(b);
}

std::optional<std::string> pathMovedTo(const std::string& path, const std::string& oldFolder,
                                       const std::string& newFolder) {
    if (samePath(path, oldFolder)) return newFolder;
    const std::size_t slash = path.rfind('\\');
    // The parent with its backslash, so that a file of a drive root ("Q:\A.TDB") has "Q:\".
    if (slash == std::string::npos || !samePath(path.substr(0, slash + 1), oldFolder)) return {};
    const bool joined = !newFolder.empty() && newFolder.back() == '\\';
    return newFolder + path.substr(joined ? slash + 1 : slash);
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
