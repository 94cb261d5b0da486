#include "builder/mapset_export.h"

#include "catalogue/bundle_scan.h"
#include "catalogue/mapset_install.h"
#include "platform/services.h"
#include "platform/shell_folders.h"

namespace oxlo::builder {

namespace {
constexpr int kArgumentsFile = 6;
}

bool isExportable(int row)
{
    return row >= 1 && row <= catalogue::mapsetCount &&
           !catalogue::isBundle(catalogue::installedMapsets[row]) &&
           !catalogue::installedMapsets[row].keyName.empty();
}

std::string shownMapsetName(const catalogue::InstalledMapset& mapset)
{
    return mapset.name.empty() ? mapset.keyName : mapset.name;
}

std::optional<MapsetMaps> presentMaps(const catalogue::InstalledMapset& mapset, const char* title)
{
    const auto warn = [&](const std::string& text) {
        platform::showMessage(title, text, platform::kMessageWarning);
    };
    auto index = mapfile::readTdbIndex(mapset.tdb, mapfile::CutShortTdb::refuse);
    if (!index || index->mapNumbers.empty()) {
        warn("The index file " + mapset.tdb + " lists no maps.");
        return std::nullopt;
    }
    const auto path = [&](const std::string& map) { return mapset.loc + "\\" + map; };
    const auto present = [&](const std::string& map) { return platform::fileSize(path(map)) >= 0; };
    if (const std::string lack = catalogue::missingMapsText(mapset.loc, index->mapNumbers, present);
        !lack.empty()) {
        warn(lack);
        return std::nullopt;
    }
    MapsetMaps found{*index, {}};
    for (const std::uint32_t number : index->mapNumbers)
        found.maps.push_back(path(mapfile::mapFileName(number)));
    return found;
}

std::string newWorkFolder(const std::string& folder, const std::string& prefix)
{
    const std::string base = folder + "\\" + prefix + " " + platform::localTimeStamp();
    for (int attempt = 1; attempt <= 100; ++attempt) {
        const std::string work =
            attempt == 1 ? base : base + " (" + platform::textFromNumber(attempt) + ")";
        if (platform::fileSize(work) == platform::kNoSuchPath &&
            platform::createDirectory(work) == 1)
            return work;
    }
    return {};
}

bool writeArgumentLines(const std::string& path, const std::vector<std::string>& lines)
{
    if (platform::createFile(kArgumentsFile, path) == 0) return false;
    for (const std::string& line : lines) platform::writeLine(kArgumentsFile, line);
    return platform::closeFile(kArgumentsFile) == 1;
}

std::string inputFileLine(const std::string& path)
{
    return "input-file: " + platform::pathForOutsideProgram(path);
}

} // namespace oxlo::builder
