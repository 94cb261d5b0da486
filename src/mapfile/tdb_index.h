// What a mapset index (.TDB) says about its mapset: the one reader of its header and of its list
// of detail maps, used by the install and the bundle export and covered by the fuzz target
// tdb_index.
//
// A .TDB is a run of blocks, each a type byte, a 16-bit little-endian length and that many bytes.
// The header block (0x50) holds the product ID (the word at file offset 3), the family ID (offset
// 5), the series name from offset 9 up to its NUL, a 16-bit product version and the family name up
// to its NUL. Each detail-map block (0x4C) starts with the map's number (32-bit little-endian).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace oxlo::mapfile {

struct TdbIndex {
    std::uint16_t productId = 0;
    std::uint16_t familyId = 0;
    std::string seriesName;
    std::string familyName; // empty when the header ends before it
    std::vector<std::uint32_t> mapNumbers; // in the order of their blocks
};

// What a block that runs past the end of the file means. The install registers the index where it
// lies and checks the maps it could read; the export hands the list to mkgmap, where a map missed
// would silently leave the bundle short, so it takes only a file whose blocks are all whole.
enum class CutShortTdb { keepWhatWasRead, refuse };

// .TDB files of real mapsets are far smaller; a bigger file is not read.
inline constexpr std::size_t kMaxTdbSize = 64 * 1024 * 1024;

// The index held in `bytes`; nothing when no header block lies whole in them or it ends before
// the series name's NUL. Blocks are read up to the first that does not lie whole in the bytes;
// with CutShortTdb::refuse such a block gives nothing.
std::optional<TdbIndex> parseTdbIndex(std::string_view bytes, CutShortTdb cutShort);

// The file of detail map `number` beside the index: "63240001.img", eight digits at least.
std::string mapFileName(std::uint32_t number);

// parseTdbIndex of the file's bytes; nothing also when the file cannot be read.
std::optional<TdbIndex> readTdbIndex(const std::string& path, CutShortTdb cutShort);

} // namespace oxlo::mapfile
