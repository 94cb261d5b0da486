#include "mapfile/map_bytes.h"

#include "mapfile/map_file.h"
#include "platform/services.h"

#include <algorithm>
#include <cstring>

namespace oxlo::mapfile {

PatternSearch::PatternSearch(std::string_view pattern) : pattern_(pattern) {}

std::optional<std::int64_t> PatternSearch::feed(std::string_view piece)
{
    if (found_ || pattern_.empty()) {
        return found_;
    }
    // Only the carried bytes and the start of the piece need joining; the rest of the piece is
    // searched where it lies. An occurrence in the join starts before any in the piece.
    const std::size_t overlap = pattern_.size() - 1;
    seam_.assign(carried_).append(piece.substr(0, std::min(piece.size(), overlap)));
    const std::int64_t pieceStart = carriedStart_ + static_cast<std::int64_t>(carried_.size());
    if (const std::size_t at = seam_.find(pattern_); at != std::string::npos) {
        found_ = carriedStart_ + static_cast<std::int64_t>(at + pattern_.size());
    } else if (const std::size_t at = piece.find(pattern_); at != std::string_view::npos) {
        found_ = pieceStart + static_cast<std::int64_t>(at + pattern_.size());
    }
    // The last `overlap` bytes seen go in front of the next piece.
    if (piece.size() >= overlap) {
        carried_.assign(piece.substr(piece.size() - overlap));
    } else {
        carried_.append(piece);
        carried_.erase(0, carried_.size() - std::min(carried_.size(), overlap));
    }
    carriedStart_ = pieceStart + static_cast<std::int64_t>(piece.size()) -
                    static_cast<std::int64_t>(carried_.size());
    return found_;
}

std::optional<MapAttributes> findMapAttributes(std::string_view map, std::string_view pattern,
                                               std::size_t firstPiece, std::size_t pieceSize)
{
    PatternSearch search(pattern);
    std::optional<std::int64_t> headerEnd = search.feed(map.substr(0, firstPiece));
    for (std::size_t at = std::min(firstPiece, map.size()); !headerEnd && at < map.size();
         at += pieceSize) {
        headerEnd = search.feed(map.substr(at, pieceSize));
    }
    if (!headerEnd) {
        return std::nullopt;
    }
    const auto transparency = static_cast<std::size_t>(*headerEnd + kTransparencyDistance);
    if (transparency + 1 >= map.size()) {
        return std::nullopt;
    }
    return MapAttributes{*headerEnd, static_cast<std::uint8_t>(map[transparency]),
                         static_cast<std::uint8_t>(map[transparency + 1])};
}

std::uint16_t wordIn(std::string_view bytes, std::size_t position)
{
    const auto byteAt = [&](std::size_t at) {
        return at < bytes.size() ? static_cast<unsigned char>(bytes[at]) : 0u;
    };
    return static_cast<std::uint16_t>(byteAt(position) | byteAt(position + 1) << 8);
}

std::string storedNameIn(std::string_view index)
{
    // The header block: a type byte, then the length of what follows it.
    const std::size_t end = std::min<std::size_t>(index.size(), 3 + wordIn(index, 1));
    if (end <= kTdbNamePosition) {
        return "";
    }
    const std::string_view field = index.substr(kTdbNamePosition, end - kTdbNamePosition);
    const std::size_t nul = field.find('\0');
    return nul == std::string_view::npos ? std::string() : std::string(field.substr(0, nul));
}

std::optional<std::string> storedNameReplacement(const std::string& stored,
                                                 const std::string& newName)
{
    bool exact = false;
    std::string text = platform::ansiFromText(newName, &exact);
    if (!exact || stored.empty() || text.size() > stored.size() ||
        text.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    text.append(stored.size() - text.size(), ' ');
    return text;
}

} // namespace oxlo::mapfile
