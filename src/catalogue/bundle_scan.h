// The BaseCamp bundles that the scan lists after the registry's mapsets: every folder NAME.gmap
// holding an Info.xml in %ProgramData%\Garmin\Maps (all users), then in %APPDATA%\Garmin\Maps
// (one user), each in name order.
#pragma once

#include "catalogue/installed_mapsets.h"

#include <string>
#include <vector>

namespace oxlo::catalogue {

// The full paths of the bundle folders, in listing order. `complete` (when given) is false when a
// Maps folder or a bundle folder could not be read: a bundle may then be missing from the list.
std::vector<std::string> findBundleFolders(bool* complete = nullptr);

// Fills `row` from the bundle at `bundleFolder`: key name FOLDERNAME, branch "Maps", ID the
// family ID, name the bundle's Name or, when that is empty or Info.xml cannot be read, the
// folder name without ".gmap".
void readBundle(InstalledMapset& row, const std::string& bundleFolder);

// True for a bundle row.
bool isBundle(const InstalledMapset& row);

} // namespace oxlo::catalogue
