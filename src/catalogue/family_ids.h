// Family IDs in the registry and in BaseCamp bundles. MapSource shows only one mapset per family
// ID and BaseCamp mixes up two maps of one ID, so an ID that a mapset takes must be free among
// every registered family and every bundle.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace oxlo::catalogue {

inline constexpr int kLowestFamilyId = 1;
inline constexpr int kHighestFamilyId = 65534;

struct FamilyIdUse {
    std::int32_t id = 0;
    std::string key;     // as the user reads it: "Families\Alps", or a bundle's "Maps\Clash.gmap"
    bool bundle = false; // a BaseCamp bundle rather than a registered family
};

// Every family ID taken: each key below Families (one whose ID cannot be read takes none), then
// each bundle that findBundleFolders lists (one whose Info.xml cannot be read takes none).
// `complete` (when given) is false when the Families branch, a family's "ID" or a bundle's
// Info.xml could not be read.
std::vector<FamilyIdUse> familyIdUses(bool* complete = nullptr);

// What holds family ID `id` among `uses`, leaving out the family `ownKeyName` (the one that
// already has it or is replaced), compared as MapSource stores the ID: in 16 bits.
std::optional<FamilyIdUse> familyIdHolder(std::int32_t id, const std::string& ownKeyName,
                                          const std::vector<FamilyIdUse>& uses);

// Writes the "ID" of the existing family key `familyKey` (full path below the catalogue root) as
// MapSource reads it: REG_BINARY, 2 bytes little-endian. One value set, so a failure leaves the
// old value as it was.
bool writeFamilyId(const std::string& familyKey, std::uint16_t id);

} // namespace oxlo::catalogue
