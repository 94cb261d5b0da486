// Re-registering a renamed mapset, so that MapSource finds it under its new file names. The
// registration moves as a whole (catalogue/mapset_registration.h).
#pragma once

#include "catalogue/installed_mapsets.h"
#include "catalogue/mapset_registration.h"

#include <optional>
#include <string>

namespace oxlo::editor {

// The key the row was read from by the last scan.
std::string rowKeyPath(const catalogue::InstalledMapset& row);

// A full key path as the user reads it, relative to the base key ("Families\Alps").
std::string relativeKey(const std::string& key);

// The entry other than `row` (as last scanned) that registers `path` as its index, overview map
// or TYP file, relative to the base key; empty when none does. Such a file is not the row's alone
// to write.
std::string otherRegistration(const catalogue::InstalledMapset& row, const std::string& path);

// The message that refuses to register the row anew under `newName`, empty when nothing stands in
// the way. A family must not take over another family's key; a product row moves to the key of
// its product code, which must be a valid code and not the key of another mapset.
std::string registrationRefusal(const catalogue::InstalledMapset& row, const std::string& newName);

// The row's key as read now and the key it becomes with the renamed files: for a product row
// productsKey + code holding exactly "BMAP", "LOC" and "TDB"; for a family familiesKey + newName
// with every value and subkey of the old key, "BMAP", "LOC" and "TDB" of its "1" set anew.
using Reregistration = catalogue::KeyMove;
// Nothing when the row's key cannot be read whole.
std::optional<Reregistration> prepareReregistration(const catalogue::InstalledMapset& row,
                                                    const std::string& newName);

} // namespace oxlo::editor
