// The build pipeline: from the checked inputs of the Create Mapset window to a registered mapset.
#pragma once

#include "builder/build_progress.h"
#include "builder/compiler_choice.h"
#include "builder/earlier_outputs.h"
#include "catalogue/mapset_registration.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace oxlo::builder {

struct MapsetBuildRequest {
    std::string name;   // as typed; not empty, a usable folder name
    std::string folder; // the mapset folder D, normally without a trailing backslash
    std::int32_t familyId = 0;
    std::vector<std::string> maps; // full paths, in list order (at least one)
    std::string typPath;           // possibly empty or naming no file
    Compiler compiler = Compiler::Cgpsmapper;
    std::string compilerPath; // cgpsmapper.exe
    std::string previewPath;  // cpreview.exe
    std::string javaPath;     // java.exe, for mkgmap
    std::string mkgmapPath;   // mkgmap.jar
};

// Creates the mapset in request.folder, compiles it with the chosen compiler (cpreview.exe and
// cgpsmapper.exe, or mkgmap.jar) and registers the result. Shows its own final message; true on
// success. D stays the current folder afterwards.
bool buildMapset(const MapsetBuildRequest& request);

// What a compiler left in D.
struct Compilation {
    bool built = false;       // the files a mapset needs are there, all written by this run
    std::string failure;      // otherwise, what the failure message shows
    bool searchIndex = false; // NAME.mdx and NAME_mdr.img were written too
    bool told = false;        // the failure was already shown in a message of its own
};

// Copies map `number` of `count` into `folder` under its file name, in pieces while the windows
// keep painting (map_copy.h), replacing a file there after `written` has guarded it; a map that
// already is that file needs no copy. The failure message's details, or the empty text.
std::string copyMapInto(const std::string& map, const std::string& folder, int number, int count,
                        EarlierOutputs& written);

// A tool may print without end: only the last 64 KiB of its output are kept.
inline constexpr std::size_t kKeptToolOutput = 64 * 1024;

struct ToolRun {
    bool started = false;
    std::string output; // the lines the tool printed, each followed by a CR (the last 64 KiB)
    bool cut = false;   // earlier output was dropped to keep within kKeptToolOutput
    std::int64_t exitCode = -1; // the tool's exit status; -1 when it was not started
};

// How a tool prints its text: cpreview.exe and cgpsmapper.exe, without Unicode support, in the
// ANSI code page; Java (run with -Dfile.encoding=UTF-8) in UTF-8.
enum class ToolText { Utf8, Ansi };

// Runs `program` with `parameters` in the current folder and collects its output line by line,
// with `withErrors` also what it prints to standard error. While it waits, the windows stay
// painted and the build's progress shows the latest line.
ToolRun runToolAndCollectOutput(const std::string& program, const std::string& parameters,
                                bool withErrors = false, ToolText text = ToolText::Utf8);
// The same with the lines going to `progress` instead of the build's.
ToolRun runToolReportingTo(const std::string& program, const std::string& parameters,
                           bool withErrors, BuildProgress& progress,
                           ToolText text = ToolText::Utf8);

// The output as a message shows it: whole when it has at most 25 lines, else a line "..." and its
// last 25 lines, so the message box stays within the screen.
std::string lastLinesOf(const ToolRun& run);

// Rewrites NAME.mp in the current folder without the [RGN40] sections that hold a Type=6 or
// Type=7 line (see overview_filter.cpp for the exact rule).
void filterOverviewSource(const std::string& name);
// The same rewrite of a source held in memory: the lines kept, each followed by CR LF.
std::string filteredOverviewText(std::string_view source);

// Stamps the family ID into NAME.TDB, installs the TYP file (a copy given the mapset's family ID)
// and writes the family's registry keys, with the search index when `searchIndex` says there is
// one. A family registered under the same name (letter case aside) is replaced whole, and put
// back as it was when the new one cannot be written. The TYP copy's name is guarded by `written`.
// Gives the empty text on success, else what failed and what is left, for the failure message.
std::string registerMapset(const MapsetBuildRequest& request, bool searchIndex,
                           EarlierOutputs& written);

// The family entry that registerMapset writes for `request`: its files in request.folder, the TYP
// file `typCopy` (empty: none) and the search index when `searchIndex` says so.
catalogue::FamilyEntry familyEntryOf(const MapsetBuildRequest& request, const std::string& typCopy,
                                     bool searchIndex);
// Where registerMapset puts the copy of the TYP file: beside the mapset's files; empty without one.
std::string typCopyPath(const MapsetBuildRequest& request);

} // namespace oxlo::builder
