// mkgmap's address index of a mapset (NAME.mdx, written with --index): "Midx", a 16-bit version,
// a 32-bit record size and a 32-bit record count, then one record per map: its number (32 bits),
// the product ID (16 bits), the family ID (16 bits) and the map number again (32 bits), all
// little-endian. MapSource finds the maps of an address through the family ID of each record.
#pragma once

#include "mapfile/map_file.h"

#include <optional>
#include <string>
#include <vector>

namespace oxlo::mapfile {

// The family ID of every record, with its place in the file; nothing when the file cannot be read
// or is no such index (another signature, records too short to hold the ID, or fewer bytes than
// its records need).
std::optional<std::vector<HeldWord>> readMdxFamilyIds(const std::string& path);

} // namespace oxlo::mapfile
