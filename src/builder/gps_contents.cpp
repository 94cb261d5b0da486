#include "builder/gps_contents.h"

#include "mapfile/img_directory.h"
#include "platform/services.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <utility>

namespace oxlo::builder {

namespace {

using SubfileKey = std::pair<std::string, std::string>; // name, type

bool isMapPart(const std::string& type) { return type == "TRE" || type == "GMP"; }

// The subfiles that stand for a map: those its own directory names; when that cannot be read,
// the TRE subfile named after the file, as mkgmap names a map's subfiles.
std::vector<SubfileKey> mapParts(const std::string& map)
{
    std::vector<SubfileKey> parts;
    if (const auto directory = mapfile::readImgDirectoryOf(map))
        for (const mapfile::ImgSubfile& subfile : *directory)
            if (isMapPart(subfile.type)) parts.emplace_back(subfile.name, subfile.type);
    if (parts.empty()) {
        std::string stem = platform::getFilePart(map);
        stem = stem.substr(0, stem.find('.'));
        std::transform(stem.begin(), stem.end(), stem.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        parts.emplace_back(stem, "TRE");
    }
    return parts;
}

std::string count(std::size_t number)
{
    return platform::textFromNumber(static_cast<std::int32_t>(number));
}

} // namespace

std::string leftOutOfGpsFile(const std::string& made, const std::string& file,
                             const std::vector<std::string>& maps, std::size_t typCount)
{
    std::map<SubfileKey, int> held;
    std::size_t typs = 0;
    if (const auto directory = mapfile::readImgDirectoryOf(made))
        for (const mapfile::ImgSubfile& subfile : *directory) {
            ++held[{subfile.name, subfile.type}];
            if (subfile.type == "TYP") ++typs;
        }
    // Each map takes its subfiles, so that a second map of the same subfile names finds none.
    std::size_t leftOut = 0;
    std::string first;
    for (const std::string& map : maps) {
        const std::vector<SubfileKey> parts = mapParts(map);
        const bool whole = std::all_of(parts.begin(), parts.end(),
                                       [&](const SubfileKey& part) { return held[part] > 0; });
        if (whole) {
            for (const SubfileKey& part : parts) --held[part];
        } else if (leftOut++ == 0) {
            first = platform::getFilePart(map);
        }
    }
    if (leftOut > 0)
        return "mkgmap left " + count(leftOut) + " of the " + count(maps.size()) +
               " maps out of " + file + ", the first being " + first + ". Nothing was saved.";
    if (typs < typCount)
        return "mkgmap left " + count(typCount - typs) + " of the " + count(typCount) +
               " TYP files out of " + file + ". Nothing was saved.";
    return {};
}

} // namespace oxlo::builder
