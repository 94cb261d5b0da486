// The values of a catalogue key that name its mapset's folder or files (LOC, TDB, BMAP on the
// product key, TYP, IDX, MDR on the family key), wherever in the key or its subkeys they stand.
// Locate Folder and Move Mapset point them at another folder; the scan must read each back.
#pragma once

#include "catalogue/registry_tree.h"

#include <string>
#include <vector>

namespace oxlo::catalogue {

bool isPathValue(const std::string& name);

// A path value as found in a key: its value name and its text.
struct EntryPath {
    std::string valueName;
    std::string path;
};
// Every non-empty REG_SZ path value of the key and its subkeys, in the key's order.
std::vector<EntryPath> entryPaths(const RegistryTree& tree);

// Points every path value of the key, and of its subkeys, that lay in `oldFolder` into `newFolder`;
// gives how many it changed.
int movePathValues(RegistryTree& tree, const std::string& oldFolder, const std::string& newFolder);

// The first path value of the key or its subkeys that the scan could not read back; empty when
// every one fits.
std::string firstUnstorablePath(const RegistryTree& tree);

} // namespace oxlo::catalogue
