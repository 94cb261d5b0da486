// A generated collection: registered families and products, BaseCamp bundles, downloaded mapsets
// waiting for Install and loose maps for Create, laid out from the real mkgmap outputs in
// tests/data (intact or damaged) on the portable platform's registry and drives.
#pragma once

#include "generated/random_source.h"

#include <cstdint>
#include <string>
#include <vector>

namespace oxlo::generated {

// What is wrong with a copy of a mapset's files.
enum class Damage { None, CutShort, ZeroBytes, ForeignFamilyId, ForeignTyp, FolderForFile };

enum class EntryKind { Family, NumericProduct, OldProduct, Bundle, Download };

struct PlannedMapset {
    EntryKind kind = EntryKind::Family;
    std::string source;  // a folder of tests/data/ready, or the bundle
    std::string folder;  // where its files lie (Windows path, no trailing backslash)
    std::string keyName; // registry key name, bundle folder name or download folder name
    int familyId = 0;    // written into the registry (or Info.xml) and the copies' files
    int productCode = 0; // products: the key's code, also written into the .TDB
    std::string sharedTyp; // families: the TYP of another family, registered instead of its own
    Damage damage = Damage::None;
    bool folderGone = false; // registered, but its files were never laid
};

struct Collection {
    std::string root; // the test folder everything but drive roots and bundles lies in
    std::vector<PlannedMapset> mapsets;
    std::vector<std::string> looseMaps; // .IMG maps for Create, two of them of one file name
    std::string gpsFile; // a GPS map file saved earlier, for Save for GPS to replace
};

// The collection of `random`'s next choices, below the test folder `root`.
Collection planCollection(RandomSource& random, const std::string& root);
// Empties the registry and the drives' folders of earlier runs, then lays the collection.
void layCollection(const Collection& collection);
// One line per mapset, for a replayable report.
std::string describeCollection(const Collection& collection);

// The Garmin\Maps folders where bundles lie.
std::vector<std::string> bundleFolders();

} // namespace oxlo::generated
