// oxlo install and oxlo export: Install Mapset and Export BaseCamp Bundle of the main window,
// with a path given on the command line where the window shows a file or folder chooser.
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/console_messages.h"

#include "builder/bundle_export.h"
#include "catalogue/mapset_install.h"
#include "platform/services.h"

namespace oxlo::cli {

int installMapset(const Streams& streams, const std::string& path, bool yes, bool stampTyp) {
    MessageGate gate(streams, yes);
    // The TYP file of another family is registered as it is unless --stamp-typ says otherwise.
    gate.answerYesNoCancel(stampTyp ? platform::kAnswerYes : platform::kAnswerNo);
    const bool installed = catalogue::installMapsetAt(fullPath(path));
    return installed && !gate.failed() ? kExitDone : kExitFailed;
}

int exportMapset(const Streams& streams, const std::string& name, const std::string& folder,
                 bool yes) {
    const int row = scanAndFindRegistered(streams, name, " is a BaseCamp bundle already.");
    if (row == 0) return kExitFailed;
    MessageGate gate(streams, yes);
    std::string jar, java;
    if (!findMkgmapAndJava(streams, builder::kExportBundleTitle, &jar, &java)) return kExitFailed;
    StandardErrorProgress progress(streams);
    const std::string bundle = builder::exportBundleTo(row, fullPath(folder), jar, java, progress);
    if (bundle.empty() || gate.failed()) return kExitFailed;
    streams.out(bundle + "\n");
    return kExitDone;
}

} // namespace oxlo::cli
