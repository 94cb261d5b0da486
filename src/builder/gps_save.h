// Save for GPS: mkgmap --gmapsupp makes one GPS map file (gmapsupp.img) of registered mapsets'
// maps and TYP files, in a work folder beside the chosen file. The file takes the chosen name
// only when its directory holds every map and TYP; the registry and the mapsets stay untouched.
#pragma once

#include "builder/build_progress.h"
#include "builder/gps_mapsets.h"

#include <string>
#include <vector>

namespace oxlo::builder {

// Saves catalogue row `row` (1-based; a bundle row or none does nothing) into a file chosen in a
// save dialog, which asks before replacing a file. `mkgmapPath` is mkgmap.jar in the start
// folder, and becomes the jar found or chosen. While mkgmap runs, window `window`'s title shows
// its lines and then `windowTitle` again.
void saveForGps(int row, std::string& mkgmapPath, int window, const std::string& windowTitle);

// Whether an existing file of the chosen name may be replaced without asking: a save dialog asks
// itself, a console command asks here.
enum class ReplaceQuestion { alreadyAsked, ask };

// Saves the mapsets of catalogue rows `rows` into the GPS map file `file` (a full path) with
// mkgmap.jar `jar` run by `java`, mkgmap's lines going to `progress`. The file's path when it is
// in place (an older one gone to the Recycle Bin), else empty after saying why.
std::string saveForGpsTo(const std::vector<int>& rows, const std::string& file,
                         const std::string& jar, const std::string& java, BuildProgress& progress,
                         ReplaceQuestion replace);

// mkgmap's argument file for `mapsets`: for each, its options in mkgmap's order (family ID,
// product ID, family name, series name, description), then its maps and its TYP file's copy
// `typCopies[i]` (empty: none). mkgmap applies options to the files that follow them.
std::vector<std::string> gpsArgumentLines(const std::vector<GpsMapset>& mapsets,
                                          const std::vector<std::string>& typCopies);

} // namespace oxlo::builder
