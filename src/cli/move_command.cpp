// oxlo move: Move Mapset of the main window, with the folder given on the command line where the
// window shows a folder chooser, and the progress on standard error.
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/console_messages.h"

#include "catalogue/installed_mapsets.h"
#include "catalogue/mapset_move.h"
#include "catalogue/registry_layout.h"
#include "platform/services.h"

namespace oxlo::cli {

int moveMapset(const Streams& streams, const std::string& name, const std::string& folder,
               bool yes) {
    const int row =
        scanAndFindRegistered(streams, name, " is a BaseCamp bundle; only a registered mapset "
                                             "can be moved.");
    if (row == 0) return kExitFailed;
    // A registered mapset's entry lies in HKEY_LOCAL_MACHINE.
    if (!haveAdministratorRights(streams)) return kExitElevationRequired;
    MessageGate gate(streams, yes);
    // --yes answers the move's question, not the repair the rescan after it offers for each
    // old-form entry (also one that the lookup's scan could not list).
    gate.answerEach(catalogue::isOldProductQuestion, platform::kAnswerNo);
    const catalogue::MoveProgress progress{
        [&](const std::string& line) { streams.err(line + "\n"); }, {}};
    const bool moved = catalogue::moveMapsetTo(row, fullPath(folder), progress);
    return moved && !gate.failed() ? kExitDone : kExitFailed;
}

} // namespace oxlo::cli
