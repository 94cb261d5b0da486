// The search for the first TRE header of a map. Input: one control byte, then the map's bytes.
// A control byte k from 1 to 255 hands the map to the search in a first piece of k bytes and then
// pieces of 256 (0: in pieces of the size the file read uses), so that a signature across pieces
// must be found as in one. Checked against a plain search of the whole map.
#include "fuzz_support.h"

#include "mapfile/map_bytes.h"
#include "mapfile/map_file.h"

#include <string>
#include <string_view>

namespace {

using oxlo::fuzz::require;
using oxlo::mapfile::MapAttributes;

constexpr std::string_view kSignature = "GARMIN TRE";

std::string describe(const std::optional<MapAttributes>& a)
{
    return a ? "headerEnd " + std::to_string(a->headerEnd) + ", transparency " +
                   std::to_string(a->transparency) + ", priority " + std::to_string(a->drawPriority)
             : std::string("nothing");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t firstPiece = data[0] == 0 ? oxlo::mapfile::kSearchChunkSize : data[0];
    const std::size_t pieceSize = data[0] == 0 ? oxlo::mapfile::kSearchChunkSize : 256;
    const std::string_view map(reinterpret_cast<const char*>(data) + 1, size - 1);

    const std::optional<MapAttributes> found =
        oxlo::mapfile::findMapAttributes(map, kSignature, firstPiece, pieceSize);

    // Found exactly when the first occurrence has both attribute bytes inside the map.
    const std::size_t first = map.find(kSignature);
    const std::size_t end = first == std::string_view::npos ? 0 : first + kSignature.size();
    std::optional<MapAttributes> expected;
    if (first != std::string_view::npos && end + 52 < map.size())
        expected = MapAttributes{static_cast<std::int64_t>(end),
                                 static_cast<std::uint8_t>(map[end + 51]),
                                 static_cast<std::uint8_t>(map[end + 52])};
    require(found.has_value() == expected.has_value() &&
                (!found || (found->headerEnd == expected->headerEnd &&
                            found->transparency == expected->transparency &&
                            found->drawPriority == expected->drawPriority)),
            [&] {
                return "found " + describe(found) + ", expected " + describe(expected) +
                       " with a first piece of " + std::to_string(firstPiece);
            });
    return 0;
}
