// The subfolders of a folder, over the raw folder primitives.
#include "platform/services.h"
#include "platform/shell_folders.h"
#include "platform/system_primitives.h"

namespace oxlo::platform {

std::vector<std::string> listFolders(const std::string& folder, const std::string& pattern,
                                     bool* listed)
{
    std::vector<std::string> names;
    if (listed) *listed = true;
    if (folder.empty()) return names;
    const std::string withSlash = folder.back() == '\\' ? folder : folder + "\\";
    for (const raw::Entry& entry : raw::listFolder(withSlash, pattern, listed))
        if (entry.folder) names.push_back(entry.name);
    return names;
}

namespace {

std::string withoutTrailingBackslashes(std::string path)
{
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

} // namespace

bool isLink(const std::string& path)
{
    const std::string lookup = withoutTrailingBackslashes(path);
    raw::Entry entry;
    return !lookup.empty() && raw::findEntry(lookup, &entry) && entry.link;
}

int deleteFolderTree(const std::string& folder)
{
    const std::string bare = withoutTrailingBackslashes(folder);
    if (bare.empty()) return 0;
    // What cannot be looked at might be a link: it is not entered.
    raw::Entry self;
    if (!raw::findEntry(bare, &self)) return 0;
    if (self.link) return raw::removeLink(bare) ? 1 : 0;
    const std::string withSlash = bare + "\\";
    for (const raw::Entry& entry : raw::listFolder(withSlash, "*")) {
        if (entry.link)
            raw::removeLink(withSlash + entry.name);
        else if (entry.folder)
            deleteFolderTree(withSlash + entry.name);
        else
            deleteFile(withSlash + entry.name);
    }
    return raw::removeFolder(withSlash) ? 1 : 0;
}

} // namespace oxlo::platform
