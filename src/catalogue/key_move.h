// Moving a catalogue key to another name as a whole: the key is read into memory first, the new
// key is written complete before the old one goes, and on any failure the old key is put back as
// it was read. The caller saves the .reg copy (registry_backup.h) before it moves anything.
#pragma once

#include "catalogue/registry_tree.h"

#include <string>

namespace oxlo::catalogue {

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

} // namespace oxlo::catalogue
