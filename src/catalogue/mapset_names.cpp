#include "catalogue/mapset_names.h"

#include "platform/services.h"

#include <array>
#include <string_view>

namespace oxlo::catalogue {

namespace {

// Windows takes the part before the first dot, blanks after it ignored, for the device name.
bool isDeviceName(const std::string& name) {
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    constexpr std::array<std::string_view, 4> plain = {"CON", "PRN", "AUX", "NUL"};
    for (const std::string_view device : plain)
        if (platform::sameTextIgnoringCase(stem, std::string(device))) return true;
    const bool numbered = stem.size() == 4 && (platform::sameTextIgnoringCase(stem.substr(0, 3), "COM") ||
                                               platform::sameTextIgnoringCase(stem.substr(0, 3), "LPT"));
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

// One backslash where several stand (a share's leading pair kept), none at the end.
std::string comparablePath(const std::string& path) {
    std::string result;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const bool repeated = path[i] == '\\' && i > 1 && path[i - 1] == '\\';
        if (!repeated) result += path[i];
    }
    while (result.size() > 3 && result.back() == '\\') result.pop_back();
    return result;
}

} // namespace

bool samePath(const std::string& a, const std::string& b) {
    return platform::sameTextIgnoringCase(comparablePath(a), comparablePath(b));
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
    return platform::sameTextIgnoringCase(a, b);
}

} // namespace oxlo::catalogue
