#include "builder/gps_mapsets.h"

#include "builder/mapset_export.h"
#include "catalogue/registry_layout.h"
#include "mapfile/map_file.h"
#include "mapfile/typ_file.h"
#include "platform/registry.h"
#include "platform/services.h"

#include <algorithm>
#include <map>

namespace oxlo::builder {

namespace {

constexpr std::int64_t kGigabyte = 1024 * 1024 * 1024;

std::string clashRefusal(const std::vector<GpsMapset>& mapsets)
{
    std::map<std::uint32_t, const GpsMapset*> owners;
    for (const GpsMapset& mapset : mapsets)
        for (const std::uint32_t number : mapset.index.mapNumbers) {
            const auto [owner, added] = owners.emplace(number, &mapset);
            if (!added && owner->second != &mapset)
                return "Mapsets " + owner->second->name + " and " + mapset.name +
                       " both have the map " + mapfile::mapFileName(number) +
                       "; a GPS shows only one of them. Save them in two files, or change one "
                       "of them.";
        }
    return {};
}

// "4.2": gigabytes to the tenth below, so that a size at the limit never reads as less.
std::string gigabytes(std::int64_t bytes)
{
    return std::to_string(bytes / kGigabyte) + "." +
           std::to_string(bytes % kGigabyte * 10 / kGigabyte);
}

std::string sizeRefusal(const std::vector<GpsMapset>& mapsets)
{
    std::int64_t total = 0;
    for (const GpsMapset& mapset : mapsets)
        for (const std::string& map : mapset.maps)
            total += std::max<std::int64_t>(0, platform::fileSize(map));
    if (total < kGpsFileLimit) return {};
    return "The maps of these mapsets add up to " + gigabytes(total) +
           " GB; a GPS map file holds less than 4 GB. Save fewer mapsets in one file.";
}

std::string typRefusal(const std::vector<GpsMapset>& mapsets)
{
    for (const GpsMapset& mapset : mapsets) {
        if (mapset.typ.empty() || mapfile::typLayout(mapset.typ) != mapfile::TypLayout::Typ)
            continue;
        const auto held = mapfile::readHeaderWord(mapset.typ, mapfile::kTypFamilyIdPosition);
        if (held && *held != static_cast<std::uint16_t>(mapset.familyId))
            return "The TYP file " + mapset.typ + " belongs to family ID " +
                   platform::textFromNumber(*held) + ", not to " +
                   platform::textFromNumber(mapset.familyId) +
                   ". Fix it with Fix TYP Family ID first.";
    }
    return {};
}

bool hasAddressIndex(const catalogue::InstalledMapset& mapset)
{
    const std::string idx = platform::readRegistryValue(
        catalogue::kCatalogueRoot,
        catalogue::kBaseKey + catalogue::relativeKeyPath(mapset.branch, mapset.keyName),
        catalogue::kValueIdx, catalogue::kLocalComputer);
    return !idx.empty() && platform::fileSize(idx) >= 0;
}

} // namespace

std::string gpsRefusal(const std::vector<GpsMapset>& mapsets)
{
    for (const auto& refusal : {clashRefusal, sizeRefusal, typRefusal})
        if (std::string text = refusal(mapsets); !text.empty()) return text;
    return {};
}

std::optional<GpsMapset> gpsMapsetOf(int row)
{
    if (!isExportable(row)) return std::nullopt;
    const catalogue::InstalledMapset& mapset = catalogue::installedMapsets[row];
    std::optional<MapsetMaps> present = presentMaps(mapset, kSaveForGpsTitle);
    if (!present) return std::nullopt;
    // A TYP file that the registry names goes with the maps: one that cannot be copied stops the
    // save rather than leave the maps without their look.
    return GpsMapset{shownMapsetName(mapset), mapset.id, std::move(present->index),
                     std::move(present->maps), mapset.typ, hasAddressIndex(mapset)};
}

} // namespace oxlo::builder
