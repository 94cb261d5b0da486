#include "editor/mapset_rename.h"

#include "catalogue/mapset_names.h"
#include "catalogue/registry_backup.h"
#include "catalogue/registry_layout.h"
#include "editor/edit_messages.h"
#include "editor/mapset_files.h"
#include "editor/mapset_registration.h"
#include "mapfile/map_file.h"
#include "platform/services.h"

#include <cstring>
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

std::string relativeKey(const std::string& key) {
    return key.substr(std::strlen(catalogue::kBaseKey));
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

} // namespace

void renameMapset(catalogue::InstalledMapset& row, const std::string& newName) {
    const std::string oldIndex = indexPath(row.loc, row.name);
    const std::string stored = mapfile::readStoredName(oldIndex);
    bool exact = false;
    const std::string newAnsiName = platform::ansiFromText(newName, &exact);
    if (!exact) {
        warnUser(notRenamed(row.name, newName + " has letters that its index file cannot hold."));
        return;
    }
    if (longerThanStored(newAnsiName, oldIndex)) {
        warnUser("New name cannot be longer than original name. Please use a shorter name.");
        return;
    }
    if (!catalogue::isUsableFolderName(newName)) {
        warnUser("Please use a mapset name that can be a folder name.");
        return;
    }
    if (const std::string refusal = registrationRefusal(row, newName); !refusal.empty()) {
        warnUser(refusal);
        return;
    }
    // Read before anything changes, so that a failure further on can put the key back.
    const std::optional<Reregistration> move = prepareReregistration(row, newName);
    if (!move) {
        warnUser(notRenamed(row.name, kRegistryNotRewritten));
        return;
    }
    if (!catalogue::backUpKey(relativeKey(move->oldKey), kEditTitle)) return;
    if (!renameMapsetFiles(row.loc, row.name, newName)) {
        warnUser("Cannot rename the mapset files in " + row.loc + ".");
        return;
    }

    const std::string newIndex = indexPath(row.loc, newName);
    std::string reason;
    RegistrationOutcome outcome = RegistrationOutcome::Unchanged;
    if (mapfile::writeStoredName(newIndex, newName) == 0) {
        reason = "the new name could not be written to " + oldIndex + ".";
    } else {
        // The registry comes last: until it names the new files, MapSource still finds the old.
        outcome = moveRegistration(*move);
        if (outcome == RegistrationOutcome::Moved) {
            row.tdb = newIndex;
            return;
        }
        reason = kRegistryNotRewritten;
    }
    const bool nameBack = restoreStoredName(newIndex, stored);
    const bool filesBack = renameMapsetFiles(row.loc, newName, row.name);
    if (nameBack && filesBack && outcome == RegistrationOutcome::Unchanged)
        warnUser(notRenamed(row.name, reason));
    else
        warnUser(partlyRenamed(row, newName, *move));
}

} // namespace oxlo::editor
