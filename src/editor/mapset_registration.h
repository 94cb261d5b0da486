// Re-registering a renamed mapset, so that MapSource finds it under its new file names.
#pragma once

#include "catalogue/installed_mapsets.h"

#include <string>

namespace oxlo::editor {

inline constexpr const char* kMapsourceKey = "SOFTWARE\\Garmin\\Mapsource\\";
inline constexpr const char* kFamiliesKey = "SOFTWARE\\Garmin\\Mapsource\\Families\\";
inline constexpr const char* kProductsKey = "SOFTWARE\\Garmin\\Mapsource\\Products\\";

// The key the row was read from by the last scan.
std::string rowKeyPath(const catalogue::InstalledMapset& row);

// A family key named `newName` that is not the row's own key (another installed family).
bool familyNameTaken(const catalogue::InstalledMapset& row, const std::string& newName);

// Product row ("N" or "O"): deletes the row's key and writes productsKey + id afresh with exactly
// "BMAP", "LOC" and "TDB" for the renamed files.
void reregisterProduct(const catalogue::InstalledMapset& row, const std::string& newName);

// Family row ("F"): familiesKey + newName gets every value and subkey of the old family key,
// then its "1" gets "BMAP", "LOC" and "TDB" for the renamed files, and only then the old key goes.
// When the copy cannot be made, the partial copy is removed and the old key stays.
void reregisterFamily(const catalogue::InstalledMapset& row, const std::string& newName);

} // namespace oxlo::editor
