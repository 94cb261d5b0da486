// Family IDs in the registry. MapSource shows only one mapset per family ID, so an ID that a
// mapset takes must be free among every registered family and BaseCamp bundle.
#pragma once

#include <cstdint>
#include <string>

namespace oxlo::catalogue {

inline constexpr int kLowestFamilyId = 1;
inline constexpr int kHighestFamilyId = 65534;

// The mapset that holds family ID `id`, as the user reads its key ("Families\Alps2"), or empty
// when none does. Every key below Families counts except `ownKeyName`; a family whose ID cannot
// be read holds none.
std::string familyIdHolder(std::uint16_t id, const std::string& ownKeyName);

// Writes the "ID" of the existing family key `familyKey` (full path below the catalogue root) as
// MapSource reads it: REG_BINARY, 2 bytes little-endian. One value set, so a failure leaves the
// old value as it was.
bool writeFamilyId(const std::string& familyKey, std::uint16_t id);

} // namespace oxlo::catalogue
