// Writing MapSource entries: the one place where a family entry is made, a registered one replaced
// (after its .reg copy) and a new key written whole or not at all. Create Mapset, the install,
// the repair and Edit Mapset write through it.
#pragma once

#include "catalogue/registry_tree.h"

#include <cstdint>
#include <string>
#include <vector>

namespace oxlo::catalogue {

// A family as MapSource reads it: its ID as a 2-byte REG_BINARY on the family key, with the TYP
// file and the search index when there are any, and its files on the product subkey.
struct FamilyEntry {
    std::string keyName;
    std::uint16_t familyId = 0;
    std::string productKey = "1";
    std::string loc, tdb, bmap;
    std::string typ, idx, mdr; // empty: not written
};

// A REG_SZ value with its NUL, as writeRegistryValue stores text.
RegistryTreeValue textValue(const std::string& name, const std::string& text);
RegistryTree familyTree(const FamilyEntry& entry);

// The first path of `entry` that the registry cannot hold for the scan to read back
// (isStorablePath of name_rules.h); empty when every one fits.
std::string firstUnstorablePath(const FamilyEntry& entry);

// The family key that a family named `name` would overwrite: key names ignore letter case, so
// "alps" is the key "Alps". Unreadable when the branch cannot be listed to its end.
struct ExistingFamily {
    bool readable = true;
    std::string keyName; // as the registry spells it; empty when there is none
};
ExistingFamily findExistingFamily(const std::string& name);

// Registers `entry` in place of the family `existing` names (none when its keyName is empty),
// which is saved first (registry_backup.h, its box under `title`) and put back as it was read when
// the new entry cannot be written. Whatever fails, either the new family is registered whole, or
// the old one (or none) as before, or the text says what is left. The empty text on success,
// else the failure message.
std::string writeFamilyEntry(const FamilyEntry& entry, const ExistingFamily& existing,
                             const std::string& title);

// Writes `tree` as the new key `path` (below the catalogue root): complete, or removed again. True
// only when it was written whole; `left` (when given) then tells whether a part could not be
// removed.
bool writeNewKey(const std::string& path, const RegistryTree& tree, bool* left = nullptr);

// Moving a catalogue key to another name as a whole: the key is read into memory first, the new
// key is written complete before the old one goes, and on any failure the old key is put back as
// it was read. The caller saves the .reg copy (registry_backup.h) before it moves anything.
//
// Full key paths below the catalogue root. oldTree is the old key as read; newTree is what the
// new key is to hold. Both paths may name one key (key names ignore letter case): it is then
// replaced where it stands.
struct KeyMove {
    std::string oldKey;
    RegistryTree oldTree;
    std::string newKey;
    RegistryTree newTree;
};

enum class KeyMoveOutcome {
    Moved,     // the entry is under newKey only
    Unchanged, // the move failed and the old key is back as it was read; newKey is gone
    Damaged,   // the move failed and the old state could not be put back entirely
};
KeyMoveOutcome moveKey(const KeyMove& move);

// Paths of several keys rewritten as one change (a mapset moved: its entry and the Windows
// Uninstall entry that names its folder). Each tree holds the values to write, with the same
// value names in old and new; full key paths below the catalogue root. The caller saves the .reg
// copy first.
struct KeyRewrite {
    std::string key;
    RegistryTree oldTree;
    RegistryTree newTree;
};

enum class RewriteOutcome {
    Rewritten, // every key holds its new values
    Unchanged, // a write failed and every key holds its old values again
    Damaged,   // a write failed and the old values could not all be written back
};
RewriteOutcome rewriteKeys(const std::vector<KeyRewrite>& rewrites);

} // namespace oxlo::catalogue
