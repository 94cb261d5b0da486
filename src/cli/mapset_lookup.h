// Naming a mapset on the command line: by its key as Oxlo's messages write it
// ("Families\Alps", "Products\150", "Maps\Test Fam.gmap"), or by the name or code that
// `oxlo list` shows ("Alps", "FID6001", "GMAP4711") when that names exactly one row.
#pragma once

#include "catalogue/installed_mapsets.h"

#include <string>

namespace oxlo::cli {

// The row's key below MapSource's base key (a bundle's below Garmin\Maps), its code ("FID6001",
// "COD150", "GMAP4711") and shown name.
std::string keyOf(const catalogue::InstalledMapset& row);
std::string codeOf(const catalogue::InstalledMapset& row);
std::string shownNameOf(const catalogue::InstalledMapset& row);

struct Lookup {
    int row = 0;         // 1-based slot of installedMapsets; 0 when none was found
    std::string failure; // then what the user is told
};

// Looks `name` up among the rows of the last scan; letter case aside, as Windows compares keys.
Lookup findMapset(const std::string& name);

} // namespace oxlo::cli
