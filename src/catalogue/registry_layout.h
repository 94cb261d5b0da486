// MapSource's registry catalogue: every key and value name Oxlo reads or writes, in one place.
// All keys lie below HKEY_LOCAL_MACHINE on the local computer, in the 32-bit view.
#pragma once

#include "platform/registry_store.h"

#include <string>

namespace oxlo::catalogue {

inline constexpr platform::RegistryHandle kCatalogueRoot = platform::kLocalMachine;
inline constexpr const char* kLocalComputer = "";

// The base key, spelled as MapSource spells it. Key paths are formed by appending a subkey name.
inline constexpr const char* kBaseKey = "SOFTWARE\\Garmin\\Mapsource\\";
inline constexpr const char* kFamiliesKey = "SOFTWARE\\Garmin\\Mapsource\\Families\\";
inline constexpr const char* kProductsKey = "SOFTWARE\\Garmin\\Mapsource\\Products\\";

// The two branches, as a row's `branch` names them.
inline constexpr const char* kFamiliesBranch = "Families";
inline constexpr const char* kProductsBranch = "Products";

// A family's only product subkey (families hold their LOC, TDB and BMAP there).
inline constexpr const char* kFamilyProductSubkey = "\\1";

// Value names.
inline constexpr const char* kValueId = "ID";     // family ID, REG_BINARY 2 bytes
inline constexpr const char* kValueLoc = "LOC";   // mapset folder, REG_SZ
inline constexpr const char* kValueTdb = "TDB";   // full path of the .TDB, REG_SZ
inline constexpr const char* kValueBmap = "BMAP"; // overview map, REG_SZ
inline constexpr const char* kValueTyp = "TYP";   // TYP file on the family key, REG_SZ
// The address search index that mkgmap writes, on the family key, REG_SZ.
inline constexpr const char* kValueIdx = "IDX"; // NAME.mdx
inline constexpr const char* kValueMdr = "MDR"; // NAME_mdr.img

// Windows' list of installed programs, where a mapset's own installer may have entered it; each
// subkey may name the program's folder in these two values.
inline constexpr const char* kWindowsUninstallKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr const char* kValueInstallLocation = "InstallLocation";
inline constexpr const char* kValueUninstallString = "UninstallString";

// Forms of a catalogue row.
inline constexpr const char* kFormFamily = "F";
inline constexpr const char* kFormOldProduct = "O";
inline constexpr const char* kFormNumericProduct = "N";
// A BaseCamp bundle (a NAME.gmap folder, catalogue/bundle_scan.h); not in the registry.
inline constexpr const char* kFormBundle = "B";
inline constexpr const char* kBundlesBranch = "Maps";

// Where the product code stands in a .TDB file (1-based offset of a 16-bit word).
inline constexpr int kTdbProductCodeOffset = 4;

// "Families\Alps", "Products\6001": a row's key relative to kBaseKey.
inline std::string relativeKeyPath(const std::string& branch, const std::string& keyName)
{
    return branch + "\\" + keyName;
}

} // namespace oxlo::catalogue
