#include "catalogue/mapset_registration.h"

#include "catalogue/catalogue_registry.h"
#include "catalogue/mapset_names.h"
#include "catalogue/name_rules.h"
#include "catalogue/registry_backup.h"
#include "catalogue/registry_layout.h"
#include "platform/registry.h"

#include <optional>

namespace oxlo::catalogue {

namespace {

bool removeKey(const std::string& path) {
    return platform::deleteRegistryTree(kCatalogueRoot, path) == 1 || !registryKeyExists(path);
}

// The old key holds exactly what was read from it before the move: a put-back that could not
// clear the key first (restoreRegistryTree then reports failure) may still have made it whole.
bool holdsAsRead(const KeyMove& move) {
    const std::optional<RegistryTree> now = readRegistryTree(kCatalogueRoot, move.oldKey);
    return now && sameRegistryTree(*now, move.oldTree);
}


} // namespace

RegistryTreeValue textValue(const std::string& name, const std::string& text) {
    RegistryTreeValue value{name, platform::kRegSz, {text.begin(), text.end()}};
    value.bytes.push_back(0);
    return value;
}

RegistryTree familyTree(const FamilyEntry& entry) {
    RegistryTree family;
    family.values.push_back({kValueId, platform::kRegBinary,
                             {static_cast<unsigned char>(entry.familyId & 0xFF),
                              static_cast<unsigned char>(entry.familyId >> 8)}});
    if (!entry.typ.empty()) family.values.push_back(textValue(kValueTyp, entry.typ));
    if (!entry.idx.empty()) family.values.push_back(textValue(kValueIdx, entry.idx));
    if (!entry.mdr.empty()) family.values.push_back(textValue(kValueMdr, entry.mdr));
    RegistryTree product;
    product.values = {textValue(kValueBmap, entry.bmap), textValue(kValueLoc, entry.loc),
                      textValue(kValueTdb, entry.tdb)};
    family.subkeys.emplace_back(entry.productKey, product);
    return family;
}

std::string firstUnstorablePath(const FamilyEntry& entry) {
    for (const std::string* path :
         {&entry.loc, &entry.tdb, &entry.bmap, &entry.typ, &entry.idx, &entry.mdr})
        if (!isStorablePath(*path)) return *path;
    return {};
}

ExistingFamily findExistingFamily(const std::string& name) {
    platform::OwnedRegistryKey families;
    const long opened = platform::registryOpenKey(kCatalogueRoot, kFamiliesKey,
                                                  platform::RegistryAccess::Read,
                                                  families.receive());
    if (opened == platform::kRegistryNotFound) return {};
    if (opened != platform::kRegistryOk) return {false, {}};
    for (unsigned index = 0;; ++index) {
        char keyName[platform::kKeyNameRoom];
        unsigned length = platform::kKeyNameRoom;
        const long status = platform::registryEnumKey(families.get(), index, keyName, &length);
        if (status == platform::kRegistryNoMoreItems) return {};
        if (status != platform::kRegistryOk) return {false, {}};
        const std::string found(keyName, length);
        if (sameIgnoringCase(found, name)) return {true, found};
    }
}

bool writeNewKey(const std::string& path, const RegistryTree& tree, bool* left) {
    if (left) *left = false;
    // The write creates missing parents too (the Families branch of a first mapset): the highest
    // one missing now is what a failure must remove.
    std::string created = path;
    for (std::size_t slash = path.find('\\'); slash != std::string::npos;
         slash = path.find('\\', slash + 1)) {
        const std::string parent = path.substr(0, slash);
        if (registryKeyPresence(parent) == KeyPresence::Absent) {
            created = parent;
            break;
        }
    }
    if (writeRegistryTree(kCatalogueRoot, path, tree)) return true;
    const bool removed = removeKey(created);
    if (left) *left = !removed;
    return false;
}

std::string writeFamilyEntry(const FamilyEntry& entry, const ExistingFamily& existing,
                             const std::string& title) {
    const std::string newKey = kFamiliesKey + entry.keyName;
    const std::string notWritten =
        "The registry entry of the mapset " + entry.keyName + " could not be written. ";
    if (!existing.readable)
        return notWritten + "The registered mapsets could not be read, so nothing was changed.";
    const RegistryTree tree = familyTree(entry);
    if (existing.keyName.empty()) {
        bool left = false;
        if (writeNewKey(newKey, tree, &left)) return {};
        if (!left) return notWritten + "Nothing was registered.";
        return notWritten + "An incomplete registry entry " + kFamiliesBranch + "\\" +
               entry.keyName + " is left.";
    }

    // One key under both names (key names ignore letter case): the old key goes first, so that
    // none of its values or subkeys stays with the new family, and comes back from memory when
    // the new one cannot be written.
    const std::string oldKey = kFamiliesKey + existing.keyName;
    const std::optional<RegistryTree> old = readRegistryTree(kCatalogueRoot, oldKey);
    if (!old)
        return notWritten + "The existing mapset " + existing.keyName +
               " could not be read, so it was left as it is.";
    if (!backUpKey(relativeKeyPath(kFamiliesBranch, existing.keyName), title))
        return notWritten + "The existing mapset " + existing.keyName + " is registered as before.";
    if (platform::deleteRegistryTree(kCatalogueRoot, oldKey) == 1 &&
        writeRegistryTree(kCatalogueRoot, newKey, tree))
        return {};
    if (restoreRegistryTree(kCatalogueRoot, oldKey, *old))
        return notWritten + "The existing mapset " + existing.keyName + " is registered as before.";
    return notWritten + "The registry entry " + kFamiliesBranch + "\\" + existing.keyName +
           " of the existing mapset could not be put back whole.";
}


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

RewriteOutcome rewriteKeys(const std::vector<KeyRewrite>& rewrites) {
    for (std::size_t failed = 0; failed < rewrites.size(); ++failed) {
        if (writeRegistryTree(kCatalogueRoot, rewrites[failed].key, rewrites[failed].newTree))
            continue;
        // Only values of names already there were written, so the old ones put each key back,
        // the one that failed half-way included.
        bool back = true;
        for (std::size_t undone = 0; undone <= failed; ++undone)
            back = writeRegistryTree(kCatalogueRoot, rewrites[undone].key,
                                     rewrites[undone].oldTree) && back;
        return back ? RewriteOutcome::Unchanged : RewriteOutcome::Damaged;
    }
    return RewriteOutcome::Rewritten;
}

} // namespace oxlo::catalogue
