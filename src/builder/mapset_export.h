// What the exports of a registered mapset through mkgmap share (a BaseCamp bundle, a GPS map
// file): the rows they take, the maps the index lists, a work folder of their own and mkgmap's
// argument file.
#pragma once

#include "catalogue/installed_mapsets.h"
#include "mapfile/tdb_index.h"

#include <optional>
#include <string>
#include <vector>

namespace oxlo::builder {

// A registered mapset's row of the catalogue (1-based); a bundle has no maps of its own to give.
bool isExportable(int row);

// The name the user knows the mapset by: its name, else its registry key's.
std::string shownMapsetName(const catalogue::InstalledMapset& mapset);

struct MapsetMaps {
    mapfile::TdbIndex index;
    std::vector<std::string> maps; // the files of index.mapNumbers in the mapset's folder
};
// The maps the .TDB lists, in the mapset's folder. Nothing after saying under `title` that the
// index lists none or that some are missing; only a whole index counts, since a map missed would
// silently leave the export short.
std::optional<MapsetMaps> presentMaps(const catalogue::InstalledMapset& mapset, const char* title);

// A new folder of our own in `folder`, "PREFIX TIMESTAMP" with a number added when one of that
// name is there; empty when none could be made.
std::string newWorkFolder(const std::string& folder, const std::string& prefix);

// Writes mkgmap's argument file (-c) of `lines`; false when it was not written whole.
bool writeArgumentLines(const std::string& path, const std::vector<std::string>& lines);
// An argument file's line naming the file `path` (relative names are taken from the folder of
// the argument file, so full paths, as the outside program reads them).
std::string inputFileLine(const std::string& path);

} // namespace oxlo::builder
