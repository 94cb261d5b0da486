// The subfolders of a folder, over the raw folder primitives.
#include "platform/shell_folders.h"
#include "platform/system_primitives.h"

namespace oxlo::platform {

std::vector<std::string> listFolders(const std::string& folder, const std::string& pattern)
{
    std::vector<std::string> names;
    if (folder.empty()) return names;
    const std::string withSlash = folder.back() == '\\' ? folder : folder + "\\";
    for (const raw::Entry& entry : raw::listFolder(withSlash, pattern))
        if (entry.folder) names.push_back(entry.name);
    return names;
}

} // namespace oxlo::platform
