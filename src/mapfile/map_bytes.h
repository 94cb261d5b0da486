// The fields of .IMG and .TDB files decoded from bytes in memory: what the file readers of
// map_file.h read from disk goes through these, and the fuzz targets call them directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace oxlo::mapfile {

// From a TRE header's end (just past "GARMIN TRE") to its transparency byte; the draw priority
// follows it.
inline constexpr std::int64_t kTransparencyDistance = 51;

// The search for the first occurrence of a pattern in a file handed over piece by piece, so that
// memory does not grow with the file: the last bytes of a piece stay for the next one, and an
// occurrence across two pieces is found as in one.
class PatternSearch {
public:
    explicit PatternSearch(std::string_view pattern);
    // The position just past the first occurrence, once a piece completes it; nothing before.
    // After a find, further pieces are not looked at.
    std::optional<std::int64_t> feed(std::string_view piece);

private:
    std::string pattern_;
    std::string seam_; // the carried bytes and the start of the piece, kept to reuse its memory
    std::string carried_; // the last pattern.size() - 1 bytes seen, when nothing was found yet
    std::int64_t carriedStart_ = 0; // position of carried_[0]
    std::optional<std::int64_t> found_;
};

// The attributes of the first TRE header (`pattern` is its signature) in `map`, handed to the
// search as readMapAttributes hands it the file: in pieces, here the first `firstPiece` bytes and
// then `pieceSize` bytes at a time. Nothing when the pattern is empty, not found, or the
// attribute bytes lie past the end.
struct MapAttributes;
std::optional<MapAttributes> findMapAttributes(std::string_view map, std::string_view pattern,
                                               std::size_t firstPiece, std::size_t pieceSize);

// The unsigned 16-bit little-endian word at 0-based `position`; bytes past the end count as 0.
std::uint16_t wordIn(std::string_view bytes, std::size_t position);

// The 0-based position of the name stored in a .TDB header.
inline constexpr std::size_t kTdbNamePosition = 9;
// The bytes of the stored name of the .TDB whose first bytes are `index` (at least the header
// block, or the whole file when it is shorter): from position 9 up to its NUL, which must lie
// inside the header block and inside `index`. Empty when there is no such name.
std::string storedNameIn(std::string_view index);
// The bytes that replace the stored name `stored` (as storedNameIn gives it) by `newName`
// (UTF-8): the name in the ANSI code page, padded with blanks to the stored name's length.
// Nothing when there is no stored name, or the new one needs more room or holds a NUL or a
// character the code page cannot hold.
std::optional<std::string> storedNameReplacement(const std::string& stored,
                                                 const std::string& newName);

} // namespace oxlo::mapfile
