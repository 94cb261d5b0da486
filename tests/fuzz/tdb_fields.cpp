// The .TDB fields: the word read at an offset, the stored name and its rewrite in place.
// Input: the offset (a signed byte, as callers pass it), the new name's length n, n bytes of the
// new name, then the file's bytes.
#include "fuzz_support.h"

#include "mapfile/map_file.h"
#include "platform/services.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

using oxlo::fuzz::printable;
using oxlo::fuzz::require;

const std::string kIndex = "C:\\fuzz.tdb";
constexpr std::size_t kNamePosition = 9;

unsigned byteAt(const std::string& file, std::int64_t position)
{
    return position >= 0 && position < static_cast<std::int64_t>(file.size())
               ? static_cast<unsigned char>(file[static_cast<std::size_t>(position)])
               : 0u;
}

// The word at 1-based `offset`: bytes past the end count as 0.
std::string expectedWord(const std::string& file, int offset)
{
    if (offset < 1)
        return "";
    const auto word =
        static_cast<std::uint16_t>(byteAt(file, offset - 1) | byteAt(file, offset) << 8);
    return std::to_string(word);
}

// The name from position 9 up to a NUL that lies inside the header block (type byte, 16-bit
// length, then that many bytes) and inside the file.
std::string expectedName(const std::string& file)
{
    if (file.size() < 3)
        return "";
    const std::size_t blockEnd = 3 + (byteAt(file, 1) | byteAt(file, 2) << 8);
    const std::size_t end = std::min(file.size(), blockEnd);
    if (end <= kNamePosition)
        return "";
    const std::size_t nul = file.find('\0', kNamePosition);
    return nul == std::string::npos || nul >= end ? ""
                                                  : file.substr(kNamePosition, nul - kNamePosition);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    oxlo::fuzz::prepareHost();
    const int offset = static_cast<std::int8_t>(data[0]);
    const std::size_t nameLength = std::min<std::size_t>(data[1], size - 2);
    const std::string newName(reinterpret_cast<const char*>(data + 2), nameLength);
    const std::string file(reinterpret_cast<const char*>(data + 2 + nameLength),
                           size - 2 - nameLength);
    oxlo::fuzz::writeHostFile(kIndex, file);
    const auto context = [&] { return " (file " + printable(file) + ")"; };

    const std::string word = oxlo::mapfile::readWordAtOffset(kIndex, offset);
    require(word == expectedWord(file, offset), [&] {
        return "word at offset " + std::to_string(offset) + " read as '" + word + "'" + context();
    });

    // The name is kept in the ANSI code page (Windows-1252 here) and read as UTF-8.
    const std::string storedBytes = expectedName(file);
    const std::string stored = oxlo::mapfile::readStoredName(kIndex);
    require(stored == oxlo::platform::textFromAnsi(storedBytes),
            [&] { return "stored name read as '" + printable(stored) + "'" + context(); });

    const int written = oxlo::mapfile::writeStoredName(kIndex, newName);
    std::string after;
    require(oxlo::fuzz::readHostFile(kIndex, &after),
            [&] { return "the index is gone after the rewrite"; });
    require(after.size() == file.size(),
            [&] { return "the rewrite changed the file's length" + context(); });
    bool exact = false;
    const std::string newBytes = oxlo::platform::ansiFromText(newName, &exact);
    const bool fits = exact && !storedBytes.empty() && newBytes.size() <= storedBytes.size() &&
                      newBytes.find('\0') == std::string::npos;
    require(written == (fits ? 1 : 0), [&] {
        return "writeStoredName gave " + std::to_string(written) + " for the name '" +
               printable(newName) + "'" + context();
    });
    // Only the stored name's own bytes may change, and only to the new name padded with blanks.
    std::string expected = file;
    if (fits) {
        std::string padded = newBytes;
        padded.resize(storedBytes.size(), ' ');
        expected.replace(kNamePosition, padded.size(), padded);
        const std::string reread = oxlo::mapfile::readStoredName(kIndex);
        require(reread == oxlo::platform::textFromAnsi(padded), [&] {
            return "the new name reads back as '" + printable(reread) + "'" + context();
        });
    }
    require(after == expected, [&] {
        return "the rewrite with '" + printable(newName) + "' left " + printable(after) + context();
    });
    return 0;
}
