// The detail maps a .TDB lists: its blocks are a type byte, a 16-bit length and that many bytes,
// and each detail-map block (0x4C) starts with the map's number (32-bit little-endian), which is
// the name of its file NUMBER.img.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace oxlo::mapfile {

inline constexpr int kTdbDetailMapBlock = 0x4C;

// The numbers in file order; nothing when the file cannot be read, is larger than 16 MiB or a
// block runs past its end.
std::optional<std::vector<std::uint32_t>> readTdbMapNumbers(const std::string& tdbPath);

} // namespace oxlo::mapfile
