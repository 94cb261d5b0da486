// The catalogue: MapSource's installed mapsets as read by the last scan of the registry.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace oxlo::catalogue {

// One catalogue row.
struct InstalledMapset {
    std::string name;   // family key name, old-form product key name, or the .TDB's file name
    std::string branch; // "Families" or "Products"
    std::int32_t id = 0; // family ID, or the product code read from the .TDB
    std::string loc;    // the mapset's folder ("LOC")
    std::string tdb;    // full path of its .TDB ("TDB")
    std::string form;   // "F" family, "O" old-form product, "N" product keyed by its code
    std::string keyName; // the subkey this row was read from (after a repair: the new key)
};

inline constexpr int kMaxMapsets = 100;

// Slots 1 to 100 (slot 0 unused), filled from slot 1 in scan order.
extern std::array<InstalledMapset, kMaxMapsets + 1> installedMapsets;
// Rows shown after the last scan (0 to 100).
extern int mapsetCount;

// Empties and refills installedMapsets, the main list (control 0) and the count label (control 1)
// of the main window from the registry; may ask to repair old-form product entries.
void scanInstalledMapsets();

} // namespace oxlo::catalogue
