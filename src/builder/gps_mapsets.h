// The mapsets of one GPS map file (gmapsupp.img) and what Oxlo checks of them before mkgmap runs:
// mkgmap skips a map whose number it has already added and a TYP file whose name it has, keeps
// a TYP's own family ID, and writes files past the 4 GB that the IMG format and FAT32 hold, each
// with nothing but a warning in its log.
#pragma once

#include "mapfile/tdb_index.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace oxlo::builder {

inline constexpr const char* kSaveForGpsTitle = "Save for GPS";

struct GpsMapset {
    std::string name;          // as the user knows it
    std::int32_t familyId = 0; // the registry's
    mapfile::TdbIndex index;
    std::vector<std::string> maps; // full paths, those of index.mapNumbers
    std::string typ;               // the TYP file the registry names, empty when none
    bool addressIndex = false;     // the mapset has mkgmap's address index (IDX)
};

// A GPS map file holds less than this.
inline constexpr std::int64_t kGpsFileLimit = std::int64_t{4} * 1024 * 1024 * 1024;

// The refusal of the first of these found, empty when none: two mapsets sharing a map number,
// maps adding up to kGpsFileLimit or more, a TYP file that holds another family ID than its
// mapset's.
std::string gpsRefusal(const std::vector<GpsMapset>& mapsets);

// The mapset of catalogue row `row` with its maps; nothing after saying under kSaveForGpsTitle
// why it cannot be saved (an index without maps, maps missing).
std::optional<GpsMapset> gpsMapsetOf(int row);

} // namespace oxlo::builder
