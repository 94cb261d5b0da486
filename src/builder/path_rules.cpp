#include "builder/path_rules.h"

#include "platform/services.h"

namespace oxlo::builder {

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

} // namespace oxlo::builder
