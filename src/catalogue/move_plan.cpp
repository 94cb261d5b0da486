#include "catalogue/move_plan.h"

#include "catalogue/catalogue_registry.h"
#include "catalogue/entry_paths.h"
#include "catalogue/mapset_check.h"
#include "catalogue/mapset_install.h"
#include "catalogue/mapset_move.h"
#include "catalogue/mapset_names.h"
#include "catalogue/name_rules.h"
#include "catalogue/registered_files.h"
#include "catalogue/registry_layout.h"
#include "catalogue/uninstall_entry.h"
#include "mapfile/tdb_index.h"
#include "platform/services.h"

#include <algorithm>
#include <set>

namespace oxlo::catalogue {
namespace {

using platform::textFromNumber;

constexpr std::int64_t kMegabyte = 1024 * 1024;

void refuse(const std::string& text)
{
    platform::showMessage(kMoveTitle, text, platform::kMessageWarning);
}

// The drive that holds `folder` as the user names it: "E:\", or a share "\\server\maps\".
std::string driveOf(const std::string& folder)
{
    if (folder.size() >= 2 && folder[1] == ':') return folder.substr(0, 2) + "\\";
    if (folder.rfind("\\\\", 0) == 0) {
        const std::size_t server = folder.find('\\', 2);
        const std::size_t share = server == std::string::npos ? server : folder.find('\\', server + 1);
        return (share == std::string::npos ? folder : folder.substr(0, share)) + "\\";
    }
    return folder;
}

// Megabytes as the refusal counts them: what is free rounded down, what is needed rounded up.
std::string megabytes(std::int64_t bytes, bool roundUp)
{
    const std::int64_t count = (bytes + (roundUp ? kMegabyte - 1 : 0)) / kMegabyte;
    return std::to_string(count);
}

// Every path that the catalogue's other entries name; nothing when the catalogue cannot be read.
std::optional<std::vector<std::string>> pathsOfOtherEntries(const std::string& ownKey)
{
    const std::string base(kBaseKey, std::char_traits<char>::length(kBaseKey) - 1);
    const std::optional<RegistryTree> catalogue = readRegistryTree(kCatalogueRoot, base);
    if (!catalogue) return std::nullopt;
    std::vector<std::string> paths;
    for (const auto& [branch, keys] : catalogue->subkeys)
        for (const auto& [name, tree] : keys.subkeys) {
            if (sameIgnoringCase(relativeKeyPath(branch, name), ownKey)) continue;
            for (const EntryPath& found : entryPaths(tree)) paths.push_back(found.path);
        }
    return paths;
}

bool isNamedIn(const std::vector<std::string>& paths, const std::string& path)
{
    for (const std::string& candidate : paths)
        if (samePath(candidate, path)) return true;
    return false;
}

// Adds the file once, whatever letter case its other mentions have. The entry names a handful of
// files; the maps, thousands, are compared with those alone (their numbers differ).
void addFile(std::vector<MoveFile>& files, std::size_t entryFiles, const std::string& from,
             const std::string& to, std::int64_t size)
{
    for (std::size_t at = 0; at < entryFiles && at < files.size(); ++at)
        if (samePath(files[at].from, from)) return;
    files.push_back({from, to, size, false, false});
}

// The files that the entry names in the old folder and the maps its .TDB lists; nothing after
// saying which one is missing.
std::optional<std::vector<MoveFile>> filesToMove(const InstalledMapset& mapset,
                                                 const RegistryTree& entry, const MovePlan& plan)
{
    std::vector<MoveFile> files;
    for (const EntryPath& found : entryPaths(entry)) {
        if (sameIgnoringCase(found.valueName, kValueLoc)) continue;
        const auto moved = pathMovedTo(found.path, plan.oldFolder, plan.newFolder);
        if (!moved) continue; // a file elsewhere stays where it is, and so does its path
        const std::int64_t size = platform::fileSize(found.path);
        if (size < 0) {
            refuse(missingFileText(found.valueName, found.path));
            return std::nullopt;
        }
        addFile(files, files.size(), found.path, *moved, size);
    }
    const auto index = mapfile::readTdbIndex(mapset.tdb, mapfile::CutShortTdb::refuse);
    if (!index || index->mapNumbers.empty()) {
        refuse("The index file " + mapset.tdb + " lists no maps.");
        return std::nullopt;
    }
    std::vector<std::int64_t> sizes;
    const auto present = [&](const std::string& map) {
        sizes.push_back(platform::fileSize(joinPath(plan.oldFolder, map)));
        return sizes.back() >= 0;
    };
    if (const std::string lack = missingMapsText(plan.oldFolder, index->mapNumbers, present);
        !lack.empty()) {
        refuse(lack);
        return std::nullopt;
    }
    const std::size_t entryFiles = files.size();
    std::set<std::uint32_t> listed;
    for (std::size_t at = 0; at < index->mapNumbers.size(); ++at) {
        if (!listed.insert(index->mapNumbers[at]).second) continue;
        const std::string map = mapfile::mapFileName(index->mapNumbers[at]);
        addFile(files, entryFiles, joinPath(plan.oldFolder, map), joinPath(plan.newFolder, map),
                sizes[at]);
    }
    return files;
}

// Marks the files already in the target with the same bytes; false after naming the first file
// of other content (or a folder) in the way.
bool checkTargets(std::vector<MoveFile>& files, const std::string& newFolder)
{
    for (MoveFile& file : files) {
        const std::int64_t size = platform::fileSize(file.to);
        if (size == platform::kNoSuchPath) continue;
        file.alreadyThere = size == file.size && platform::sameContents(file.from, file.to);
        if (!file.alreadyThere) {
            refuse(platform::getFilePart(file.to) + " is in the way in " + newFolder + ".");
            return false;
        }
    }
    return true;
}

bool checkFreeSpace(const MovePlan& plan, const std::string& chosen)
{
    std::int64_t needed = 0;
    for (const MoveFile& file : plan.files)
        if (!file.alreadyThere) needed += file.size;
    // A drive that cannot be asked is tried all the same: a copy that does not fit fails whole.
    const std::int64_t free = platform::freeDiskSpace(chosen);
    if (free < 0 || free >= needed) return true;
    refuse(driveOf(plan.newFolder) + " has " + megabytes(free, false) + " MB free; mapset " +
           plan.name + " needs " + megabytes(needed, true) + " MB.");
    return false;
}

// The chosen folder as Windows finds it: "." and ".." parts are walked ("E:\A\..\B" is "E:\B",
// never above the drive), and a last part that ends in blanks or dots names the folder without
// them ("E:\Maps. " is "E:\Maps"); the new folder goes inside that one. The registry then names
// the folder as Windows does.
std::string folderAsFound(const std::string& chosen)
{
    const std::string stored = storedFolder(chosen);
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = stored.find('\\', start);
        parts.push_back(stored.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    // The drive ("E:") or the share ("\\server\share") stays.
    const std::size_t kept =
        stored.rfind("\\\\", 0) == 0 ? std::min<std::size_t>(4, parts.size()) : 1;
    std::vector<std::string> walked(parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(kept));
    for (std::size_t i = kept; i < parts.size(); ++i) {
        if (parts[i] == "..") {
            if (walked.size() > kept) walked.pop_back();
        } else if (!parts[i].empty() && parts[i] != ".") {
            walked.push_back(parts[i]);
        }
    }
    std::string folder = walked.front();
    for (std::size_t i = 1; i < walked.size(); ++i) folder += "\\" + walked[i];
    if (walked.size() == kept) folder += "\\"; // the root itself
    folder = storedFolder(folder);
    const std::size_t last = folder.find_last_of('\\') + 1;
    if (folder.find_first_not_of('.', last) == std::string::npos) return folder;
    while (folder.size() > last && (folder.back() == ' ' || folder.back() == '.')) folder.pop_back();
    return folder;
}

} // namespace

std::optional<MovePlan> planMove(const InstalledMapset& mapset, const std::string& chosen)
{
    MovePlan plan;
    plan.name = mapset.name.empty() ? mapset.keyName : mapset.name;
    plan.key = relativeKeyPath(mapset.branch, mapset.keyName);
    plan.oldFolder = storedFolder(mapset.loc);
    const std::string target = folderAsFound(chosen);
    if (platform::fileSize(plan.oldFolder) != platform::kIsFolder) {
        refuse(missingFileText(kValueLoc, plan.oldFolder));
        return std::nullopt;
    }
    if (platform::fileSize(target) != platform::kIsFolder) {
        refuse(missingFileText(kValueLoc, target));
        return std::nullopt;
    }
    const std::string folderName = platform::getFilePart(plan.oldFolder);
    plan.newFolder = joinPath(target, folderName);
    if (folderName.empty() || samePath(plan.newFolder, plan.oldFolder) ||
        platform::sameFile(plan.newFolder, plan.oldFolder)) {
        refuse("Mapset " + plan.name + " is in " + plan.oldFolder + " already.");
        return std::nullopt;
    }
    const std::optional<RegistryTree> entry = readRegistryTree(kCatalogueRoot, kBaseKey + plan.key);
    const auto others = entry ? pathsOfOtherEntries(plan.key) : std::nullopt;
    if (!others) {
        refuse("The registry entry " + plan.key + " could not be read. Nothing was changed.");
        return std::nullopt;
    }
    auto files = filesToMove(mapset, *entry, plan);
    if (!files) return std::nullopt;
    plan.files = std::move(*files);
    for (MoveFile& file : plan.files) file.keepOriginal = isNamedIn(*others, file.from);
    plan.keepOldFolder = isNamedIn(*others, plan.oldFolder);

    // A bundle's folder goes whole when the bundle is uninstalled, with whatever lies in it.
    const std::optional<std::string> registered = registeredMapsetInFolder(plan.newFolder);
    if (!registered) {
        refuse("The registered mapsets could not be read. Nothing was changed.");
        return std::nullopt;
    }
    if (const std::string& holder = *registered; !holder.empty()) {
        refuse(folderHoldsMapsetText(plan.newFolder, holder));
        return std::nullopt;
    }
    RegistryTree moved = *entry;
    movePathValues(moved, plan.oldFolder, plan.newFolder);
    if (const std::string path = firstUnstorablePath(moved); !path.empty()) {
        refuse(unstorablePathText(path) + " Nothing was changed.");
        return std::nullopt;
    }
    plan.rewrites.push_back({kBaseKey + plan.key, *entry, moved});
    const UninstallEntry uninstall = uninstallEntryRewrite(plan.oldFolder, plan.newFolder);
    if (!uninstall.readable) {
        refuse("The Windows Uninstall entries could not be read. Nothing was changed.");
        return std::nullopt;
    }
    if (uninstall.rewrite) plan.rewrites.push_back(*uninstall.rewrite);

    if (!checkTargets(plan.files, plan.newFolder) || !checkFreeSpace(plan, target))
        return std::nullopt;
    return plan;
}

} // namespace oxlo::catalogue
