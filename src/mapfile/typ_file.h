// TYP files, which give a mapset's map objects their look. MapSource applies one only when the
// family ID in its header is the mapset's, so the copy installed with a mapset is stamped with it.
#pragma once

#include <cstdint>
#include <string>

namespace oxlo::mapfile {

// A TYP file starts with the 16-bit length of its header, then "GARMIN TYP"; the header holds the
// family ID at 0-based position 0x2F and the product ID at 0x31, both 16-bit little-endian.
inline constexpr std::int64_t kTypFamilyIdPosition = 0x2F;
inline constexpr std::int64_t kTypProductIdPosition = 0x31;

enum class TypLayout {
    Typ,        // "GARMIN TYP" at position 2, and a header long enough to hold both IDs
    Other,      // readable, but not such a TYP file
    Unreadable, // missing, a folder, or reading failed
};

TypLayout typLayout(const std::string& typPath);

enum class TypStamp {
    Stamped, // both IDs were written
    NotATyp, // too short to hold them or not laid out as a TYP: left as it was
    Failed,  // missing or unreadable, or a TYP whose IDs could not be written (read-only, locked)
};

TypStamp stampTypIds(const std::string& typPath, std::uint16_t familyId, std::uint16_t productId);

} // namespace oxlo::mapfile
