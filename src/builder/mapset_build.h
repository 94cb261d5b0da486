// The build pipeline: from the checked inputs of the Create Mapset window to a registered mapset.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace oxlo::builder {

struct MapsetBuildRequest {
    std::string name;   // as typed; not empty, a usable folder name
    std::string folder; // the mapset folder D, normally without a trailing backslash
    std::int32_t familyId = 0;
    std::vector<std::string> maps; // full paths, in list order (at least one)
    std::string typPath;           // possibly empty or naming no file
    std::string compilerPath;
    std::string previewPath;
};

// Creates the mapset in request.folder, runs cpreview.exe and cgpsmapper.exe and registers the
// result. Shows its own final message; true on success. D stays the current folder afterwards.
bool buildMapset(const MapsetBuildRequest& request);

struct ToolRun {
    bool started = false;
    std::string output; // every line the tool printed, each followed by a CR
};

// Runs `program` with `parameters` in the current folder and collects its output line by line.
// While it waits, the windows stay painted and window 1's title shows the latest line.
ToolRun runToolAndCollectOutput(const std::string& program, const std::string& parameters);

// Rewrites NAME.mp in the current folder without the [RGN40] sections that hold a Type=6 or
// Type=7 line (see overview_filter.cpp for the exact rule).
void filterOverviewSource(const std::string& name);

// Writes the family's registry keys, stamps the family ID into NAME.TDB and installs the TYP file.
void registerMapset(const MapsetBuildRequest& request);

} // namespace oxlo::builder
