// oxlo locate, remove-entry and fix-typ: Locate Folder, Remove Entry and Fix TYP Family ID of the
// main list's context menu, with the folder given on the command line instead of chosen. Where the
// menu greys an item, the console says why the command does not fit the mapset.
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/console_messages.h"
#include "cli/mapset_lookup.h"

#include "catalogue/bundle_scan.h"
#include "catalogue/installed_mapsets.h"
#include "catalogue/mapset_check.h"
#include "catalogue/mapset_commands.h"

namespace oxlo::cli {

namespace {

// A bundle has no registry entry to point elsewhere or remove.
bool refuseBundle(const Streams& streams, int row) {
    const catalogue::InstalledMapset& mapset = catalogue::installedMapsets[row];
    if (!catalogue::isBundle(mapset)) return false;
    streams.err("oxlo: " + keyOf(mapset) + " is a BaseCamp bundle: it has no registry entry.\n");
    return true;
}

int statusOf(const MessageGate& gate) { return gate.failed() ? kExitFailed : kExitDone; }

} // namespace

int locateMapset(const Streams& streams, const std::string& name, const std::string& folder,
                 bool yes) {
    int status = kExitDone;
    const int row = rowToChange(streams, name, status);
    if (row == 0) return status;
    if (refuseBundle(streams, row)) return kExitFailed;
    MessageGate gate(streams, yes);
    catalogue::locateMapsetFolderAt(row, fullPath(folder));
    return statusOf(gate);
}

int removeMapsetEntry(const Streams& streams, const std::string& name, bool yes) {
    int status = kExitDone;
    const int row = rowToChange(streams, name, status);
    if (row == 0) return status;
    if (refuseBundle(streams, row)) return kExitFailed;
    const catalogue::InstalledMapset& mapset = catalogue::installedMapsets[row];
    if (!catalogue::hasProblem(mapset, catalogue::ProblemKind::MissingFolder)) {
        streams.err("oxlo: The folder " + mapset.loc + " of " + keyOf(mapset) +
                    " exists; only the entry of a mapset whose folder is gone is removed.\n");
        return kExitFailed;
    }
    MessageGate gate(streams, yes);
    catalogue::removeMapsetEntry(row);
    return statusOf(gate);
}

int fixTypFamilyId(const Streams& streams, const std::string& name, bool yes) {
    int status = kExitDone;
    const int row = rowToChange(streams, name, status);
    if (row == 0) return status;
    const catalogue::InstalledMapset& mapset = catalogue::installedMapsets[row];
    if (!catalogue::hasProblem(mapset, catalogue::ProblemKind::ForeignTyp)) {
        streams.err("oxlo: " + keyOf(mapset) + " has no TYP file of another family ID.\n");
        return kExitFailed;
    }
    MessageGate gate(streams, yes);
    catalogue::fixTypFamilyId(row);
    return statusOf(gate);
}

} // namespace oxlo::cli
