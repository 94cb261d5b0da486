// The search for the first TRE header of a map. Input: one control byte, then the map's bytes.
// A control byte 4k + 1 puts the map behind zero bytes so that the search's first chunk (its
// size is fixed in the product) ends at map byte k: a signature or attribute bytes across two
// chunks must be found as in one. Checked against a plain search of the whole file.
#include "fuzz_support.h"

#include "mapfile/map_file.h"

#include <string>
#include <string_view>

namespace {

using oxlo::fuzz::require;
using oxlo::mapfile::MapAttributes;
using oxlo::mapfile::mapAttributes;

const std::string kSignature = "GARMIN TRE";
const std::string kMap = "C:\\fuzz.img";
const MapAttributes kSentinel{-77, 0xEE, 0xDD};

std::string describe(const MapAttributes& a)
{
    return "headerEnd " + std::to_string(a.headerEnd) + ", transparency " +
           std::to_string(a.transparency) + ", priority " + std::to_string(a.drawPriority);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    oxlo::fuzz::prepareHost();
    const auto [map, zeros] =
        oxlo::fuzz::placeContent(data, size, oxlo::mapfile::kSearchChunkSize, 4);
    oxlo::fuzz::writeHostFile(kMap, map, zeros);
    static std::string file; // as the search sees it
    file.assign(zeros, '\0');
    file.append(map);

    mapAttributes = kSentinel;
    const int result =
        oxlo::mapfile::readMapAttributes(kMap, kSignature, static_cast<int>(kSignature.size()));

    require(result == (file.empty() ? -1 : 0), [&] {
        return "result " + std::to_string(result) + " for a file of " +
               std::to_string(file.size()) + " bytes";
    });
    // Found exactly when the first occurrence has both attribute bytes inside the file.
    const std::size_t first = std::string_view(file).find(kSignature);
    const std::size_t end = first == std::string::npos ? 0 : first + kSignature.size();
    if (first != std::string::npos && end + 52 < file.size()) {
        const MapAttributes expected{static_cast<std::int64_t>(end),
                                     static_cast<std::uint8_t>(file[end + 51]),
                                     static_cast<std::uint8_t>(file[end + 52])};
        require(mapAttributes.headerEnd == expected.headerEnd &&
                    mapAttributes.transparency == expected.transparency &&
                    mapAttributes.drawPriority == expected.drawPriority,
                [&] {
                    return "found " + describe(mapAttributes) + ", expected " + describe(expected);
                });
    } else {
        require(mapAttributes.headerEnd == kSentinel.headerEnd &&
                    mapAttributes.transparency == kSentinel.transparency &&
                    mapAttributes.drawPriority == kSentinel.drawPriority,
                [&] {
                    return "no usable header, yet the attributes became " + describe(mapAttributes);
                });
    }
    return 0;
}
