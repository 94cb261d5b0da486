#include "catalogue/key_move.h"

#include "catalogue/catalogue_registry.h"
#include "catalogue/mapset_names.h"
#include "catalogue/registry_layout.h"
#include "platform/registry.h"

#include <optional>

namespace oxlo::catalogue {

namespace {

// Deleted now, or not there in the first place (a write that failed may not have created it).
bool removeKey(const std::string& path) {
    return platform::deleteRegistryTree(kCatalogueRoot, path) == 1 ||
           registryKeyPresence(path) == KeyPresence::Absent;
}

// The old key holds exactly what was read from it before the move: a put-back that could not
// clear the key first (restoreRegistryTree then reports failure) may still have made it whole.
bool holdsAsRead(const KeyMove& move) {
    const std::optional<RegistryTree> now = readRegistryTree(kCatalogueRoot, move.oldKey);
    return now && sameRegistryTree(*now, move.oldTree);
}

} // namespace

KeyMoveOutcome moveKey(const KeyMove& move) {
    if (sameIgnoringCase(move.oldKey, move.newKey)) {
        // One key under both names: replaced where it stands, put back from memory on failure.
        if (restoreRegistryTree(kCatalogueRoot, move.newKey, move.newTree))
            return KeyMoveOutcome::Moved;
        restoreRegistryTree(kCatalogueRoot, move.oldKey, move.oldTree);
        return holdsAsRead(move) ? KeyMoveOutcome::Unchanged : KeyMoveOutcome::Damaged;
    }
    if (!writeRegistryTree(kCatalogueRoot, move.newKey, move.newTree))
        return removeKey(move.newKey) ? KeyMoveOutcome::Unchanged : KeyMoveOutcome::Damaged;
    if (platform::deleteRegistryTree(kCatalogueRoot, move.oldKey) == 1)
        return KeyMoveOutcome::Moved;
    // Part of the old key may be gone already. Nothing was ever written into it, so what is left
    // is part of what was read, and writing that over it makes it whole again.
    writeRegistryTree(kCatalogueRoot, move.oldKey, move.oldTree);
    return removeKey(move.newKey) && holdsAsRead(move) ? KeyMoveOutcome::Unchanged
                                                       : KeyMoveOutcome::Damaged;
}

} // namespace oxlo::catalogue
