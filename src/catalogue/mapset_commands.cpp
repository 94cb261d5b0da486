#include "catalogue/mapset_commands.h"

#include "catalogue/entry_paths.h"
#include "catalogue/installed_mapsets.h"
#include "catalogue/mapset_check.h"
#include "catalogue/mapset_names.h"
#include "catalogue/name_rules.h"
#include "catalogue/registered_files.h"
#include "catalogue/registry_backup.h"
#include "catalogue/registry_file.h"
#include "catalogue/registry_layout.h"
#include "catalogue/registry_tree.h"
#include "mapfile/map_file.h"
#include "mapfile/typ_file.h"
#include "platform/registry.h"
#include "platform/services.h"

#include <optional>
#include <string>

namespace oxlo::catalogue {

namespace {

constexpr const char* kCheckTitle = "Check Mapset";
constexpr const char* kLocateTitle = "Locate Folder";
constexpr const char* kRemoveTitle = "Remove Entry";
constexpr const char* kFixTypTitle = "Fix TYP Family ID";
constexpr const char* kSaveTitle = "Save Registry Entry";

const InstalledMapset* rowAt(int row)
{
    if (row < 1 || row > mapsetCount || installedMapsets[row].keyName.empty()) return nullptr;
    return &installedMapsets[row];
}

std::string keyOf(const InstalledMapset& mapset)
{
    return relativeKeyPath(mapset.branch, mapset.keyName);
}

void warn(const char* title, const std::string& text)
{
    platform::showMessage(title, text, platform::kMessageWarning);
}

// The row as the scan would read it once its paths in `oldFolder` point into `newFolder`.
InstalledMapset movedRow(const InstalledMapset& row, const std::string& oldFolder,
                         const std::string& newFolder)
{
    InstalledMapset moved = row;
    for (std::string* path : {&moved.loc, &moved.tdb, &moved.bmap, &moved.typ})
        if (const auto there = pathMovedTo(*path, oldFolder, newFolder)) *path = *there;
    // A product's code is the one its .TDB holds.
    if (moved.branch == kProductsBranch)
        moved.id = platform::numberFromText(
            mapfile::readWordAtOffset(moved.tdb, kTdbProductCodeOffset));
    return moved;
}

} // namespace

void showMapsetCheck(int row)
{
    const InstalledMapset* mapset = rowAt(row);
    if (!mapset) return;
    if (mapset->problems.empty()) {
        platform::showMessage(kCheckTitle, "Mapset " + keyOf(*mapset) + " has no problems.",
                              platform::kMessageInfo);
        return;
    }
    platform::showMessage(kCheckTitle, "Mapset " + keyOf(*mapset) + ":\n" + problemLines(*mapset),
                          platform::kMessageWarning);
}

void openMapsetFolder(int row)
{
    const InstalledMapset* mapset = rowAt(row);
    if (mapset && platform::fileSize(mapset->loc) == platform::kIsFolder)
        platform::openFolderWindow(mapset->loc);
}

void locateMapsetFolder(int row)
{
    const InstalledMapset* found = rowAt(row);
    if (!found) return;
    const std::string chosen = platform::choosePath(kLocateTitle, found->loc);
    if (!chosen.empty()) locateMapsetFolderAt(row, chosen);
}

void locateMapsetFolderAt(int row, const std::string& chosen)
{
    const InstalledMapset* found = rowAt(row);
    if (!found) return;
    const InstalledMapset mapset = *found; // the rescan refills the table
    const std::string folder = storedFolder(chosen);
    const std::string index = platform::getFilePart(mapset.tdb);
    if (index.empty() || platform::fileSize(joinPath(folder, index)) < 0) {
        warn(kLocateTitle, "The folder " + folder + " does not hold " +
                               (index.empty() ? std::string("the mapset's index file") : index) +
                               ". Nothing was changed.");
        return;
    }
    const std::string key = keyOf(mapset);
    const std::string path = kBaseKey + key;
    const std::optional<RegistryTree> old = readRegistryTree(kCatalogueRoot, path);
    if (!old) {
        warn(kLocateTitle, "The registry entry " + key + " could not be read. Nothing was changed.");
        return;
    }
    RegistryTree updated = *old;
    // None when the folder the scan read is not the one the entry names: rewriting the same
    // values would look like success.
    if (movePathValues(updated, mapset.loc, folder) == 0) {
        warn(kLocateTitle, "No path of the registry entry " + key + " lies in the folder " +
                               mapset.loc + ". Nothing was changed.");
        return;
    }
    if (const std::string path = firstUnstorablePath(updated); !path.empty()) {
        warn(kLocateTitle, unstorablePathText(path) + " Nothing was changed.");
        return;
    }
    // Files of another mapset in the new folder would make the entry worse than it was, and so
    // would a folder that lacks a file the entry names and found before.
    const InstalledMapset moved = movedRow(mapset, mapset.loc, folder);
    if (const auto foreign = newForeignFileProblem(mapset, moved)) {
        warn(kLocateTitle, foreign->text + " Nothing was changed.");
        return;
    }
    for (const MapsetProblem& problem : checkMapset(moved, {})) {
        if ((problem.kind == ProblemKind::MissingOverview ||
             problem.kind == ProblemKind::MissingTyp) &&
            !hasProblem(mapset, problem.kind)) {
            warn(kLocateTitle, problem.text + " Nothing was changed.");
            return;
        }
    }
    if (!backUpKey(key, kLocateTitle)) return;
    if (!writeRegistryTree(kCatalogueRoot, path, updated)) {
        // Only values were written, so writing the old ones back makes the key as it was.
        const bool back = writeRegistryTree(kCatalogueRoot, path, *old);
        warn(kLocateTitle, "The registry entry " + key + " could not be rewritten" +
                               (back ? ", so it is as it was."
                                     : " and may be changed in part. A copy of it is in " +
                                           backupFolder() + "."));
    }
    scanInstalledMapsets();
}

void removeMapsetEntry(int row)
{
    const InstalledMapset* found = rowAt(row);
    if (!found || !hasProblem(*found, ProblemKind::MissingFolder)) return;
    const std::string key = keyOf(*found);
    if (platform::showMessage(kRemoveTitle,
                              "Remove the registry entry " + key + "? Its folder " + found->loc +
                                  " no longer exists.",
                              platform::kMessageQuestion) != platform::kAnswerYes)
        return;
    if (!backUpKey(key, kRemoveTitle)) return;
    const bool removed = deleteRegistryTreeOrKeep(kCatalogueRoot, kBaseKey + key);
    scanInstalledMapsets();
    if (!removed)
        warn(kRemoveTitle, "The registry entry " + key + " could not be removed.");
}

void fixTypFamilyId(int row)
{
    const InstalledMapset* found = rowAt(row);
    if (!found || !hasProblem(*found, ProblemKind::ForeignTyp)) return;
    // A TYP file that another entry names carries that mapset's symbols too: its family ID is
    // not this mapset's to change.
    const std::optional<RegisteredFiles> registered = RegisteredFiles::read();
    if (!registered) {
        warn(kFixTypTitle, "The registered mapsets could not be read, so " + found->typ +
                               " was not changed.");
        return;
    }
    if (const std::string owner = registered->otherOwner(found->typ, keyOf(*found)); !owner.empty()) {
        warn(kFixTypTitle,
             found->typ + " is also registered by " + owner + ", so it was not changed.");
        return;
    }
    stampTypFamilyId(found->typ, found->id, kFixTypTitle);
    scanInstalledMapsets();
}

bool stampTypFamilyId(const std::string& typ, int familyId, const char* title)
{
    if (mapfile::typLayout(typ) == mapfile::TypLayout::Other) {
        warn(title, typ + " is not a TYP file, so it was not changed.");
        return false;
    }
    // The oldest copy is the original: one that is there already is never replaced.
    const std::string copy = typ + ".bak";
    const bool copyWasThere = platform::fileSize(copy) != platform::kNoSuchPath;
    if (!mapfile::keepTypCopy(typ)) {
        warn(title, "No copy of " + typ + " could be saved, so it was not changed.");
        return false;
    }
    if (mapfile::writeValueAtOffset(typ, mapfile::kTypFamilyIdPosition + 1, 0, familyId, "",
                                    "Word") == 1)
        return true;
    // A copy made for a write that changed nothing goes again; after a write that stopped
    // half-way it is the only original.
    if (!copyWasThere && platform::sameContents(typ, copy) &&
        platform::deleteFile(copy) == 1) {
        warn(title, "The family ID could not be written into " + typ + ", so it was not changed.");
        return false;
    }
    warn(title, "The family ID could not be written into " + typ + ". Its copy is " + copy + ".");
    return false;
}

void saveMapsetEntry(int row)
{
    const InstalledMapset* mapset = rowAt(row);
    if (!mapset) return;
    const std::string key = keyOf(*mapset);
    const std::string file = platform::chooseSaveFile(kSaveTitle, mapset->keyName + ".reg",
                                                      "Registration entries|*.reg", 0);
    if (file.empty()) return;
    if (!saveRegistryKey(kBaseKey + key, file))
        warn(kSaveTitle, "The registry entry " + key + " could not be saved to " + file + ".");
}

} // namespace oxlo::catalogue
