#include "editor/mapset_rename.h"

#include "catalogue/mapset_names.h"
#include "catalogue/name_rules.h"
#include "catalogue/registered_files.h"
#include "catalogue/registry_backup.h"
#include "catalogue/registry_layout.h"
#include "editor/edit_messages.h"
#include "editor/mapset_files.h"
#include "editor/mapset_registration.h"
#include "mapfile/map_file.h"
#include "platform/services.h"

#include <optional>

namespace oxlo::editor {

namespace {

// The .TDB's readers find the fields after the stored name by its NUL, so the name's room (in
// bytes of the ANSI code page the name is kept in) is fixed. A missing index sets no limit: the
// rename itself refuses it.
bool longerThanStored(const std::string& newAnsiName, const std::string& index) {
    return newAnsiName.size() > mapfile::storedNameRoom(index) && platform::fileSize(index) >= 0;
}

// The stored name as it was, unless the failed write left it so.
bool restoreStoredName(const std::string& index, const std::string& stored) {
    return mapfile::readStoredName(index) == stored || mapfile::writeStoredName(index, stored) == 1;
}

// What is left when the undo failed as well.
std::string partlyRenamed(const catalogue::InstalledMapset& row, const std::string& newName,
                          const Reregistration& move) {
    std::string keys = relativeKey(move.oldKey);
    if (!catalogue::sameIgnoringCase(move.oldKey, move.newKey))
        keys += " and " + relativeKey(move.newKey);
    return "Mapset " + row.name + " was renamed to " + newName +
           " only in part and could not be put back: check its files in " + row.loc +
           " and the registry entries " + keys + ".";
}

// The row as a scan would now read it, so that the number step finds the key and files.
void renamed(catalogue::InstalledMapset& row, const std::string& newName, const std::string& key) {
    row.name = newName;
    row.tdb = indexPath(row.loc, newName);
    row.bmap = overviewMapPath(row.loc, newName);
    row.keyName = key.substr(key.rfind('\\') + 1);
    if (row.form == catalogue::kFormOldProduct) row.form = catalogue::kFormNumericProduct;
}

} // namespace

StepOutcome renameMapset(catalogue::InstalledMapset& row, const std::string& newName) {
    const std::string oldIndex = indexPath(row.loc, row.name);
    const std::string stored = mapfile::readStoredName(oldIndex);
    bool exact = false;
    const std::string newAnsiName = platform::ansiFromText(newName, &exact);
    if (!exact) {
        warnUser(notRenamed(row.name, newName + " has letters that its index file cannot hold."));
        return StepOutcome::NotDone;
    }
    if (longerThanStored(newAnsiName, oldIndex)) {
        warnUser("New name cannot be longer than original name. Please use a shorter name.");
        return StepOutcome::NotDone;
    }
    if (!catalogue::isUsableFolderName(newName) || !catalogue::isUsableMapsetName(newName)) {
        warnUser("Please use a mapset name that can be a folder name.");
        return StepOutcome::NotDone;
    }
    // The overview map's path is as long as the index's.
    if (const std::string path = indexPath(row.loc, newName); !catalogue::isStorablePath(path)) {
        warnUser(catalogue::unstorablePathText(path) + " Please use a shorter name.");
        return StepOutcome::NotDone;
    }
    if (const std::string refusal = registrationRefusal(row, newName); !refusal.empty()) {
        warnUser(refusal);
        return StepOutcome::NotDone;
    }
    // Files another entry registers too would be renamed under that entry.
    const std::optional<catalogue::RegisteredFiles> registered = catalogue::RegisteredFiles::read();
    if (!registered) {
        warnUser(notRenamed(row.name, "the registered mapsets could not be read."));
        return StepOutcome::NotDone;
    }
    for (const std::string& file : {oldIndex, overviewMapPath(row.loc, row.name)})
        if (const std::string owner = registered->otherOwner(file, relativeKey(rowKeyPath(row)));
            !owner.empty()) {
            warnUser(notRenamed(row.name, file + " is also registered by " + owner + "."));
            return StepOutcome::NotDone;
        }
    // Read before anything changes, so that a failure further on can put the key back.
    const std::optional<Reregistration> move = prepareReregistration(row, newName);
    if (!move) {
        warnUser(notRenamed(row.name, kRegistryNotRewritten));
        return StepOutcome::NotDone;
    }
    if (!catalogue::backUpKey(relativeKey(move->oldKey), kEditTitle)) return StepOutcome::NotDone;
    if (!renameMapsetFiles(row.loc, row.name, newName)) {
        warnUser("Cannot rename the mapset files in " + row.loc + ".");
        return StepOutcome::NotDone;
    }

    const std::string newIndex = indexPath(row.loc, newName);
    std::string reason;
    catalogue::KeyMoveOutcome outcome = catalogue::KeyMoveOutcome::Unchanged;
    if (mapfile::writeStoredName(newIndex, newName) == 0) {
        reason = "the new name could not be written to " + oldIndex + ".";
    } else {
        // The registry comes last: until it names the new files, MapSource still finds the old.
        outcome = catalogue::moveKey(*move);
        if (outcome == catalogue::KeyMoveOutcome::Moved) {
            renamed(row, newName, move->newKey);
            return StepOutcome::Done;
        }
        reason = kRegistryNotRewritten;
    }
    const bool nameBack = restoreStoredName(newIndex, stored);
    const bool filesBack = renameMapsetFiles(row.loc, newName, row.name);
    if (nameBack && filesBack && outcome == catalogue::KeyMoveOutcome::Unchanged) {
        warnUser(notRenamed(row.name, reason));
        return StepOutcome::NotDone;
    }
    warnUser(partlyRenamed(row, newName, *move));
    return StepOutcome::Damaged;
}

} // namespace oxlo::editor
