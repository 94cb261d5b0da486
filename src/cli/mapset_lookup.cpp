#include "cli/mapset_lookup.h"

#include "catalogue/bundle_scan.h"
#include "catalogue/mapset_names.h"
#include "catalogue/registry_layout.h"
#include "platform/services.h"

#include <vector>

namespace oxlo::cli {

std::string keyOf(const catalogue::InstalledMapset& row) {
    return catalogue::relativeKeyPath(row.branch, row.keyName);
}

std::string codeOf(const catalogue::InstalledMapset& row) {
    const char* prefix = catalogue::isBundle(row)                    ? "GMAP"
                         : row.branch == catalogue::kFamiliesBranch ? "FID"
                                                                    : "COD";
    return prefix + platform::textFromNumber(row.id);
}

std::string shownNameOf(const catalogue::InstalledMapset& row) {
    return row.name.empty() ? row.keyName : row.name;
}

Lookup findMapset(const std::string& name) {
    using catalogue::sameIgnoringCase;
    // A key names its row alone; names and codes may be shared.
    for (int slot = 1; slot <= catalogue::mapsetCount; ++slot)
        if (sameIgnoringCase(keyOf(catalogue::installedMapsets[slot]), name)) return {slot, {}};
    std::vector<int> found;
    for (int slot = 1; slot <= catalogue::mapsetCount; ++slot) {
        const catalogue::InstalledMapset& row = catalogue::installedMapsets[slot];
        if (sameIgnoringCase(shownNameOf(row), name) || sameIgnoringCase(codeOf(row), name))
            found.push_back(slot);
    }
    if (found.size() == 1) return {found.front(), {}};
    if (found.empty()) return {0, "no mapset is named " + name + "."};
    std::string keys;
    for (const int slot : found)
        keys += (keys.empty() ? "" : ", ") + keyOf(catalogue::installedMapsets[slot]);
    return {0, name + " names more than one mapset (" + keys + "); name it by its key."};
}

} // namespace oxlo::cli
