// The .TDB fields: the word read at an offset, the stored name and its replacement in place.
// Input: the offset (a signed byte, as callers pass it), the new name's length n, n bytes of the
// new name, then the file's bytes.
#include "fuzz_support.h"

#include "mapfile/map_bytes.h"
#include "platform/services.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

using oxlo::fuzz::printable;
using oxlo::fuzz::require;
using oxlo::mapfile::kTdbNamePosition;

unsigned byteAt(const std::string& file, std::int64_t position)
{
    return position >= 0 && position < static_cast<std::int64_t>(file.size())
               ? static_cast<unsigned char>(file[static_cast<std::size_t>(position)])
               : 0u;
}

// The name from position 9 up to a NUL that lies inside the header block (type byte, 16-bit
// length, then that many bytes) and inside the file.
std::string expectedName(const std::string& file)
{
    if (file.size() < 3)
        return "";
    const std::size_t blockEnd = 3 + (byteAt(file, 1) | byteAt(file, 2) << 8);
    const std::size_t end = std::min(file.size(), blockEnd);
    if (end <= kTdbNamePosition)
        return "";
    const std::size_t nul = file.find('\0', kTdbNamePosition);
    return nul == std::string::npos || nul >= end
               ? ""
               : file.substr(kTdbNamePosition, nul - kTdbNamePosition);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int offset = static_cast<std::int8_t>(data[0]);
    const std::size_t nameLength = std::min<std::size_t>(data[1], size - 2);
    const std::string newName(reinterpret_cast<const char*>(data + 2), nameLength);
    const std::string file(reinterpret_cast<const char*>(data + 2 + nameLength),
                           size - 2 - nameLength);
    const auto context = [&] { return " (file " + printable(file) + ")"; };

    // The word at 1-based `offset` (as readWordAtOffset passes it): bytes past the end count as 0.
    if (offset >= 1) {
        const unsigned word = oxlo::mapfile::wordIn(file, static_cast<std::size_t>(offset - 1));
        require(word == (byteAt(file, offset - 1) | byteAt(file, offset) << 8), [&] {
            return "word at offset " + std::to_string(offset) + " read as " +
                   std::to_string(word) + context();
        });
    }

    const std::string storedBytes = expectedName(file);
    const std::string stored = oxlo::mapfile::storedNameIn(file);
    require(stored == storedBytes,
            [&] { return "stored name read as '" + printable(stored) + "'" + context(); });

    // The name is kept in the ANSI code page (Windows-1252 here).
    const std::optional<std::string> replacement =
        oxlo::mapfile::storedNameReplacement(stored, newName);
    bool exact = false;
    const std::string newBytes = oxlo::platform::ansiFromText(newName, &exact);
    const bool fits = exact && !storedBytes.empty() && newBytes.size() <= storedBytes.size() &&
                      newBytes.find('\0') == std::string::npos;
    require(replacement.has_value() == fits, [&] {
        return std::string(replacement ? "a" : "no") + " replacement for the name '" +
               printable(newName) + "'" + context();
    });
    if (!replacement)
        return 0;
    // Written over the stored name, it must be the new name padded with blanks, read back as such.
    std::string padded = newBytes;
    padded.resize(storedBytes.size(), ' ');
    require(*replacement == padded,
            [&] { return "the replacement is '" + printable(*replacement) + "'" + context(); });
    std::string after = file;
    after.replace(kTdbNamePosition, replacement->size(), *replacement);
    const std::string reread = oxlo::mapfile::storedNameIn(after);
    require(reread == padded,
            [&] { return "the new name reads back as '" + printable(reread) + "'" + context(); });
    return 0;
}
