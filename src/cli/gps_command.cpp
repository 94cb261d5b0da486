// oxlo gmapsupp: Save for GPS of the main window, for one mapset or several in one file, with
// the file given on the command line where the window shows a save dialog.
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/console_messages.h"
#include "cli/mapset_lookup.h"

#include "builder/gps_save.h"
#include "catalogue/bundle_scan.h"

namespace oxlo::cli {

int saveForGps(const Streams& streams, const std::string& file,
               const std::vector<std::string>& names, bool yes) {
    scanQuietly(streams);
    std::vector<int> rows;
    for (const std::string& name : names) {
        const Lookup found = findMapset(name);
        if (found.row == 0) {
            streams.err("oxlo: " + found.failure + "\n");
            return kExitFailed;
        }
        if (catalogue::isBundle(catalogue::installedMapsets[found.row])) {
            streams.err("oxlo: " + keyOf(catalogue::installedMapsets[found.row]) +
                        " is a BaseCamp bundle, which Save for GPS does not take.\n");
            return kExitFailed;
        }
        rows.push_back(found.row);
    }
    MessageGate gate(streams, yes);
    std::string jar, java;
    if (!findMkgmapAndJava(streams, builder::kSaveForGpsTitle, &jar, &java)) return kExitFailed;
    StandardErrorProgress progress(streams);
    const std::string saved = builder::saveForGpsTo(rows, fullPath(file), jar, java, progress,
                                                    builder::ReplaceQuestion::ask);
    if (saved.empty() || gate.failed()) return kExitFailed;
    streams.out(saved + "\n");
    return kExitDone;
}

} // namespace oxlo::cli
