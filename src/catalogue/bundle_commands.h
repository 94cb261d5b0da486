// The commands that treat a BaseCamp bundle row otherwise than a registry row: a bundle is its
// files, so uninstalling it takes its folder to the Recycle Bin, and Edit leaves it alone.
#pragma once

namespace oxlo::catalogue {

// True when catalogue row `row` (1-based) is a bundle.
bool isBundleRow(int row);

// Asks "Proceed to uninstall mapset 'Maps\FOLDERNAME' ?", removes the bundle folder (the Recycle
// Bin, or for good after a second Yes; a link as a link), rescans and reports. Does nothing for a
// row that is not a bundle.
void uninstallBundle(int row);

// For a bundle row: says that Edit works on registered mapsets only and gives true; false (and
// nothing shown) for any other row.
bool refuseBundleEdit(int row);

} // namespace oxlo::catalogue
