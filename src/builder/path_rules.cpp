#include "builder/path_rules.h"

#include "platform/services.h"

#include <algorithm>
#include <cctype>

namespace oxlo::builder {

namespace {

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Small letters, one backslash where several stand (a share's leading pair kept), none at the end.
std::string comparable(const std::string& path) {
    std::string result;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const bool repeated = path[i] == '\\' && i > 1 && path[i - 1] == '\\';
        if (!repeated) result += lower(path[i]);
    }
    while (result.size() > 3 && result.back() == '\\') result.pop_back();
    return result;
}

} // namespace

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return lower(x) == lower(y); });
}

bool isFullFolderPath(const std::string& folder) {
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (folder.size() >= 3 && letter(folder[0]) && folder[1] == ':' && folder[2] == '\\')
        return true;
    if (!folder.starts_with("\\\\")) return false;
    // A server name, a backslash and a share name, each at least one character.
    const std::size_t afterServer = folder.find('\\', 2);
    return afterServer != std::string::npos && afterServer > 2 &&
           afterServer + 1 < folder.size() && folder[afterServer + 1] != '\\';
}

std::string fileStem(const std::string& path) {
    const std::string name = platform::getFilePart(path);
    return name.substr(0, name.rfind('.'));
}

bool samePath(const std::string& a, const std::string& b) { return comparable(a) == comparable(b); }

} // namespace oxlo::builder
