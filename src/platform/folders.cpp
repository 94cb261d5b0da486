// File sizes and the clean-up of a folder's files, over the raw folder primitives.
#include "platform/services.h"
#include "platform/system_primitives.h"

namespace oxlo::platform {
namespace {

std::string withTrailingBackslash(const std::string& folder)
{
    return folder.back() == '\\' ? folder : folder + "\\";
}

} // namespace

std::int64_t fileSize(const std::string& path)
{
    if (path.empty())
        return kNoSuchPath;
    if ((path.size() == 2 || path.size() == 3) && path[1] == ':') {
        // A drive name: "C:" or "C:\".
        if (path.size() == 3 && path[2] != '\\' && path[2] != '/')
            return kNoSuchPath;
        return raw::driveExists(path.substr(0, 2) + "\\") ? kIsFolder : kNoSuchPath;
    }
    std::string lookup = path;
    if (lookup.back() == '\\')
        lookup.pop_back();
    raw::Entry entry;
    if (lookup.empty() || !raw::findEntry(lookup, &entry))
        return kNoSuchPath;
    return entry.folder ? kIsFolder : entry.size;
}

int deleteDirectory(const std::string& folder, const std::string& pattern)
{
    if (folder.empty())
        return 0;
    const std::string withSlash = withTrailingBackslash(folder);
    const std::vector<raw::Entry> matches =
        raw::listFolder(withSlash, pattern.empty() ? "*.*" : pattern);
    if (matches.empty())
        return 0;
    for (const raw::Entry& entry : matches) {
        // Read-only files are not made writable first, so they stay; subfolders are not entered.
        if (!entry.folder && !entry.readOnly)
            deleteFile(withSlash + entry.name);
    }
    return raw::removeFolder(withSlash) ? 1 : 0;
}

int removeEmptyFolder(const std::string& folder)
{
    return !folder.empty() && raw::removeFolder(withTrailingBackslash(folder)) ? 1 : 0;
}

int recycleFileList(const std::vector<std::string>& paths)
{
    std::vector<std::string> recyclable;
    raw::Entry entry;
    for (const std::string& path : paths)
        if (raw::findEntry(path, &entry) && !entry.folder && !entry.readOnly)
            recyclable.push_back(path);
    if (!recyclable.empty())
        raw::recycleRaw(recyclable);
    for (const std::string& path : paths)
        if (raw::findEntry(path, &entry))
            return 0;
    return 1;
}

int recycleFiles(const std::string& folder, const std::vector<std::string>& patterns)
{
    if (folder.empty())
        return 1;
    // Read-only files stay, as deleteDirectory leaves them.
    const auto matching = [&] {
        std::vector<std::string> paths;
        for (const std::string& pattern : patterns)
            for (const raw::Entry& entry : raw::listFolder(withTrailingBackslash(folder), pattern))
                if (!entry.folder && !entry.readOnly)
                    paths.push_back(withTrailingBackslash(folder) + entry.name);
        return paths;
    };
    const std::vector<std::string> paths = matching();
    if (paths.empty())
        return 1;
    raw::recycleRaw(paths);
    for (const std::string& pattern : patterns)
        if (!listFiles(folder, pattern).empty())
            return 0;
    raw::removeFolder(withTrailingBackslash(folder));
    return 1;
}

std::vector<std::string> listFiles(const std::string& folder, const std::string& pattern,
                                   bool* listed)
{
    std::vector<std::string> names;
    if (listed)
        *listed = true;
    if (folder.empty())
        return names;
    const std::string withSlash = withTrailingBackslash(folder);
    for (const raw::Entry& entry : raw::listFolder(withSlash, pattern, listed))
        if (!entry.folder)
            names.push_back(entry.name);
    return names;
}

} // namespace oxlo::platform
