// The program's only access to the insides of .IMG and .TDB files: a search for the first TRE
// header and patches of single fields in place.
#include "mapfile/map_file.h"

#include "mapfile/map_bytes.h"
#include "platform/services.h"

#include <algorithm>
#include <vector>

namespace oxlo::mapfile {

MapAttributes mapAttributes;

namespace {

// A file number of its own, so that a caller's open files 0 and 1 are never closed by ours.
constexpr int kMapFileNumber = 2;

// A .TDB header block is at most this long: a type byte, a 16-bit length and that many bytes.
constexpr std::int64_t kLongestTdbHeader = 3 + 0xFFFF;

class OpenedFile {
public:
    OpenedFile() = default;
    OpenedFile(const OpenedFile&) = delete;
    OpenedFile& operator=(const OpenedFile&) = delete;
    ~OpenedFile() { platform::closeFile(kMapFileNumber); }
};

std::size_t readFully(void* buffer, std::size_t length)
{
    auto* out = static_cast<char*>(buffer);
    std::size_t total = 0;
    while (total < length) {
        const std::size_t got = platform::readData(kMapFileNumber, out + total, length - total);
        if (got == 0) {
            break;
        }
        total += got;
    }
    return total;
}

} // namespace

int readMapAttributes(const std::string& path, const std::string& pattern, int patternLength)
{
    if (platform::fileSize(path) < 1) {
        return -1;
    }
    if (platform::openFileForReading(kMapFileNumber, path) == 0) {
        return -2;
    }
    OpenedFile opened;
    if (patternLength < 1 || static_cast<std::size_t>(patternLength) > pattern.size()) {
        return 0; // nothing to look for
    }
    PatternSearch search(std::string_view(pattern).substr(0, static_cast<std::size_t>(patternLength)));
    std::vector<char> piece(kSearchChunkSize);
    for (;;) {
        const std::size_t got = readFully(piece.data(), piece.size());
        if (got == 0) {
            return 0;
        }
        if (const auto headerEnd = search.feed(std::string_view(piece.data(), got))) {
            unsigned char attributes[2];
            platform::fileSeek(kMapFileNumber, *headerEnd + kTransparencyDistance);
            // Attribute bytes past the end of the file: no usable header here, and any later
            // occurrence would lie even closer to the end.
            if (readFully(attributes, 2) == 2) {
                mapAttributes = MapAttributes{*headerEnd, attributes[0], attributes[1]};
            }
            return 0;
        }
    }
}

std::string readWordAtOffset(const std::string& path, int offset)
{
    // Read-only: a missing file stays missing rather than being left behind empty.
    if (offset < 1 || platform::fileSize(path) < 0 ||
        platform::openFileForReading(kMapFileNumber, path) == 0) {
        return "";
    }
    platform::fileSeek(kMapFileNumber, offset - 1);
    char bytes[2];
    const std::size_t got = readFully(bytes, 2);
    // A failed seek or read is reported by the close; its word would be another field's.
    if (platform::closeFile(kMapFileNumber) == 0) {
        return "";
    }
    return platform::textFromNumber(wordIn(std::string_view(bytes, got), 0));
}

std::optional<std::uint16_t> readHeaderWord(const std::string& path, std::int64_t position)
{
    if (position < 0 || platform::fileSize(path) < position + 2 ||
        platform::openFileForReading(kMapFileNumber, path) == 0) {
        return std::nullopt;
    }
    OpenedFile opened;
    unsigned char bytes[2];
    platform::fileSeek(kMapFileNumber, position);
    if (readFully(bytes, 2) != 2) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::optional<std::string> readFileBytes(const std::string& path, std::size_t limit)
{
    const std::int64_t size = platform::fileSize(path);
    if (size < 0 || static_cast<std::uint64_t>(size) > limit ||
        platform::openFileForReading(kMapFileNumber, path) == 0) {
        return std::nullopt;
    }
    OpenedFile opened;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (readFully(bytes.data(), bytes.size()) != bytes.size()) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::string> readFileStart(const std::string& path, std::size_t length)
{
    const std::int64_t size = platform::fileSize(path);
    if (size < 0 || platform::openFileForReading(kMapFileNumber, path) == 0) {
        return std::nullopt;
    }
    OpenedFile opened;
    std::string bytes(std::min(length, static_cast<std::size_t>(size)), '\0');
    if (readFully(bytes.data(), bytes.size()) != bytes.size()) {
        return std::nullopt;
    }
    return bytes;
}

int writeValueAtOffset(const std::string& path, std::int64_t offset, int byteValue, int wordValue,
                       const std::string& text, const std::string& kind)
{
    const std::int64_t length = kind == "Text" ? static_cast<std::int64_t>(text.size())
                                : kind == "Byte" ? 1
                                                 : 2;
    // Only a file that exists is patched; a missing one is not created, nor an existing one
    // grown.
    const std::int64_t size = platform::fileSize(path);
    if (offset < 1 || size < 0 || offset - 1 + length > size ||
        platform::openFile(kMapFileNumber, path) == 0) {
        return 0;
    }
    platform::fileSeek(kMapFileNumber, offset - 1);
    if (kind == "Text") {
        platform::writeString(kMapFileNumber, text);
    } else if (kind == "Byte") {
        platform::writeByte(kMapFileNumber, byteValue);
    } else {
        platform::writeWord(kMapFileNumber, wordValue);
    }
    return platform::closeFile(kMapFileNumber);
}

bool writeWordsAt(const std::string& path, const std::vector<HeldWord>& words)
{
    const std::int64_t size = platform::fileSize(path);
    for (const HeldWord& word : words) {
        if (word.position < 0 || word.position + 2 > size) {
            return false;
        }
    }
    if (platform::openFile(kMapFileNumber, path) == 0) {
        return false;
    }
    for (const HeldWord& word : words) {
        platform::fileSeek(kMapFileNumber, word.position);
        platform::writeWord(kMapFileNumber, word.value);
    }
    return platform::closeFile(kMapFileNumber) == 1;
}

namespace {

// The stored name's bytes, in the system's ANSI code page.
std::string storedNameBytes(const std::string& tdbPath)
{
    const std::int64_t size = platform::fileSize(tdbPath);
    if (size <= static_cast<std::int64_t>(kTdbNamePosition) ||
        platform::openFileForReading(kMapFileNumber, tdbPath) == 0) {
        return "";
    }
    OpenedFile opened;
    std::string header(static_cast<std::size_t>(std::min(size, kLongestTdbHeader)), '\0');
    if (readFully(header.data(), header.size()) != header.size()) {
        return "";
    }
    return storedNameIn(header);
}

} // namespace

std::string readStoredName(const std::string& tdbPath)
{
    return platform::textFromAnsi(storedNameBytes(tdbPath));
}

std::size_t storedNameRoom(const std::string& tdbPath)
{
    return storedNameBytes(tdbPath).size();
}

int writeStoredName(const std::string& tdbPath, const std::string& newName)
{
    const std::optional<std::string> text =
        storedNameReplacement(storedNameBytes(tdbPath), newName);
    if (!text) {
        return 0;
    }
    return writeValueAtOffset(tdbPath, static_cast<std::int64_t>(kTdbNamePosition) + 1, 0, 0,
                              *text, "Text");
}

} // namespace oxlo::mapfile
