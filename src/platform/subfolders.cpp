// The subfolders of a folder, over the raw folder primitives.
#include "platform/services.h"
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

int deleteFolderTree(const std::string& folder)
{
    if (folder.empty()) return 0;
    const std::string withSlash = folder.back() == '\\' ? folder : folder + "\\";
    for (const raw::Entry& entry : raw::listFolder(withSlash, "*")) {
        if (entry.folder)
            deleteFolderTree(withSlash + entry.name);
        else
            deleteFile(withSlash + entry.name);
    }
    return raw::removeFolder(withSlash) ? 1 : 0;
}

} // namespace oxlo::platform
