// Export BaseCamp Bundle: mkgmap --gmapi makes a NAME.gmap bundle of a registered mapset's maps
// where they are, for BaseCamp on another computer. The registry and the mapset stay untouched.
#pragma once

#include "builder/build_progress.h"

#include <string>

namespace oxlo::builder {

inline constexpr const char* kExportBundleTitle = "Export BaseCamp Bundle";

// Exports catalogue row `row` (1-based; a bundle row or none does nothing). `mkgmapPath` is
// mkgmap.jar in the start folder, and becomes the jar found or chosen. While mkgmap runs, window
// `window`'s title shows its lines and then `windowTitle` again.
void exportBundle(int row, std::string& mkgmapPath, int window, const std::string& windowTitle);

// The export of row `row` into the existing folder `folder` with mkgmap.jar `jar` run by `java`,
// mkgmap's lines going to `progress`. Gives the bundle's path when it is in place, else empty
// (after saying why, except for a bundle row or none, which does nothing).
std::string exportBundleTo(int row, std::string folder, const std::string& jar,
                           const std::string& java, BuildProgress& progress);

} // namespace oxlo::builder
