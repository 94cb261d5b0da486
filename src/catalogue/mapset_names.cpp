#include "catalogue/mapset_names.h"

#include "catalogue/name_rules.h"
#include "platform/services.h"

namespace oxlo::catalogue {

bool samePath(const std::string& a, const std::string& b) {
    return platform::sameTextIgnoringCase(storedFolder(a), storedFolder(b));
}

std::optional<std::string> pathMovedTo(const std::string& path, const std::string& oldFolder,
                                       const std::string& newFolder) {
    if (samePath(path, oldFolder)) return storedFolder(newFolder);
    const std::size_t slash = path.rfind('\\');
    // The parent with its backslash, so that a file of a drive root ("Q:\A.TDB") has "Q:\".
    if (slash == std::string::npos || !samePath(path.substr(0, slash + 1), oldFolder)) return {};
    return joinPath(newFolder, path.substr(slash + 1));
}

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    return platform::sameTextIgnoringCase(a, b);
}

} // namespace oxlo::catalogue
