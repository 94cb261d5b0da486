// Reading and patching fields inside Garmin .IMG and .TDB files at fixed positions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace oxlo::mapfile {

// The attribute bytes of the first TRE header of the map last searched.
struct MapAttributes {
    std::int64_t headerEnd = 0; // 0-based position just past "GARMIN TRE"
    std::uint8_t transparency = 0;
    std::uint8_t drawPriority = 0;
};

extern MapAttributes mapAttributes;

// readMapAttributes reads the map in pieces of this size, so its memory does not grow with the map.
inline constexpr std::size_t kSearchChunkSize = 256 * 1024;

// 0 when the file was read (found or not; mapAttributes filled only when found), -1 for a
// missing, empty or folder path, -2 when it cannot be opened. Only the first occurrence counts,
// and only when both attribute bytes (headerEnd + 51 and + 52) lie inside the file.
int readMapAttributes(const std::string& path, const std::string& pattern, int patternLength);
// The unsigned 16-bit word at 1-based `offset` (0 to 65535: product codes and family IDs are
// unsigned), as decimal text; empty when the file cannot be read.
std::string readWordAtOffset(const std::string& path, int offset);
// Where the family ID stands (0-based, 16-bit little-endian) in a .TDB (for a TYP file see
// typ_file.h).
inline constexpr std::int64_t kTdbFamilyIdPosition = 5;

// The unsigned 16-bit little-endian word at 0-based `position` of an existing file, read without
// opening the file for writing; nothing when the file is missing, cannot be read or ends before.
std::optional<std::uint16_t> readHeaderWord(const std::string& path, std::int64_t position);

// A 16-bit little-endian word of a file and where it stands (0-based).
struct HeldWord {
    std::int64_t position = 0;
    std::uint16_t value = 0;
};

// Writes every word into an existing file through one opening, only inside the file. True when
// all of them reached it; false when the file is missing or too short (nothing written) or a
// write failed (the words before it may be written).
bool writeWordsAt(const std::string& path, const std::vector<HeldWord>& words);

// The whole file (at most `limit` bytes long); nothing when it is missing, a folder, longer or
// cannot be read.
std::optional<std::string> readFileBytes(const std::string& path, std::size_t limit);

// The first `length` bytes of the file, or all of a shorter one; nothing when it is missing, a
// folder or cannot be read.
std::optional<std::string> readFileStart(const std::string& path, std::size_t length);

// Writes at 1-based `offset`: kind "Text" the text, "Byte" the low 8 bits of byteValue, any other
// kind the low 16 bits of wordValue, little-endian. Only an existing file is patched, and only
// inside it (a patch past its end would grow the file). 1 when every byte reached the file, 0
// when nothing or not all of it was written (missing, read-only or locked file).
int writeValueAtOffset(const std::string& path, std::int64_t offset, int byteValue, int wordValue,
                       const std::string& text, const std::string& kind);

// The name stored in a .TDB header: the text from 0-based position 9 up to its NUL, which must lie
// inside the header block (its length is the word at position 1) and the file. Readers of the
// index take the name up to that NUL and the fields after it from the bytes that follow, so the
// name's length is fixed once the file is written. The name is kept in the system's ANSI code
// page and read as UTF-8 (platform::textFromAnsi). Empty when there is no such name.
std::string readStoredName(const std::string& tdbPath);
// The stored name's length in bytes of the ANSI code page: the room a new name has.
std::size_t storedNameRoom(const std::string& tdbPath);
// Replaces the stored name by `newName` in the ANSI code page, padded with blanks up to the stored
// name's length, so the NUL and every byte after it stay where and what they were. 0, writing
// nothing, when the stored name cannot be read or has less room than `newName` needs, when
// `newName` has a character that the code page cannot hold (platform::ansiFromText), or when the
// write fails.
int writeStoredName(const std::string& tdbPath, const std::string& newName);

} // namespace oxlo::mapfile
