#include "mapfile/tdb_index.h"

#include "mapfile/map_file.h"

#include <cstdio>

namespace oxlo::mapfile {

namespace {

constexpr unsigned char kHeaderBlock = 0x50;
constexpr unsigned char kDetailMapBlock = 0x4C;
// Within the header block's bytes (file offsets 3, 5 and 9).
constexpr std::size_t kProductIdAt = 0;
constexpr std::size_t kFamilyIdAt = 2;
constexpr std::size_t kSeriesNameAt = 6;
constexpr std::size_t kVersionLength = 2;

unsigned byteAt(std::string_view bytes, std::size_t position)
{
    return static_cast<unsigned char>(bytes[position]);
}

std::uint16_t wordAt(std::string_view bytes, std::size_t position)
{
    return static_cast<std::uint16_t>(byteAt(bytes, position) | byteAt(bytes, position + 1) << 8);
}

// The text from `position` up to its NUL, or nothing when no NUL follows within `block`.
std::optional<std::string> textAt(std::string_view block, std::size_t position)
{
    if (position >= block.size()) return std::nullopt;
    const std::size_t nul = block.find('\0', position);
    if (nul == std::string_view::npos) return std::nullopt;
    return std::string(block.substr(position, nul - position));
}

std::optional<TdbIndex> parseHeader(std::string_view block)
{
    if (block.size() <= kSeriesNameAt) return std::nullopt;
    TdbIndex index;
    index.productId = wordAt(block, kProductIdAt);
    index.familyId = wordAt(block, kFamilyIdAt);
    const std::optional<std::string> series = textAt(block, kSeriesNameAt);
    if (!series) return std::nullopt;
    index.seriesName = *series;
    const std::size_t familyAt = kSeriesNameAt + series->size() + 1 + kVersionLength;
    index.familyName = textAt(block, familyAt).value_or(std::string());
    return index;
}

} // namespace

std::optional<TdbIndex> parseTdbIndex(std::string_view bytes, CutShortTdb cutShort)
{
    std::optional<TdbIndex> index;
    std::vector<std::uint32_t> maps;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t left = bytes.size() - at;
        const std::size_t length = left >= 3 ? wordAt(bytes, at + 1) : 0;
        if (left < 3 || left - 3 < length) {
            if (cutShort == CutShortTdb::refuse) return std::nullopt;
            break;
        }
        const std::string_view block = bytes.substr(at + 3, length);
        if (byteAt(bytes, at) == kHeaderBlock && !index) {
            index = parseHeader(block);
            if (!index) return std::nullopt;
        } else if (byteAt(bytes, at) == kDetailMapBlock && length >= 4) {
            maps.push_back(wordAt(block, 0) | static_cast<std::uint32_t>(wordAt(block, 2)) << 16);
        }
        at += 3 + length;
    }
    if (index) index->mapNumbers = std::move(maps);
    return index;
}

std::string mapFileName(std::uint32_t number)
{
    char name[16];
    std::snprintf(name, sizeof name, "%08u.img", static_cast<unsigned>(number));
    return name;
}

std::optional<TdbIndex> readTdbIndex(const std::string& path, CutShortTdb cutShort)
{
    const std::optional<std::string> bytes = readFileBytes(path, kMaxTdbSize);
    if (!bytes) return std::nullopt;
    return parseTdbIndex(*bytes, cutShort);
}

} // namespace oxlo::mapfile
