#include "catalogue/bundle_commands.h"

#include "catalogue/bundle_removal.h"
#include "catalogue/bundle_scan.h"
#include "catalogue/installed_mapsets.h"
#include "catalogue/registered_files.h"
#include "catalogue/registry_layout.h"
#include "platform/services.h"

namespace oxlo::catalogue {

bool isBundleRow(int row)
{
    return row >= 1 && row <= mapsetCount && isBundle(installedMapsets[row]);
}

void uninstallBundle(int row)
{
    constexpr const char* kTitle = "Uninstall Mapset";
    if (!isBundleRow(row) || installedMapsets[row].keyName.empty()) return;
    const InstalledMapset bundle = installedMapsets[row]; // the rescan refills the table
    const std::string key = relativeKeyPath(bundle.branch, bundle.keyName);
    if (platform::showMessage(kTitle, "Proceed to uninstall mapset '" + key + "' ?",
                              platform::kMessageQuestion) != platform::kAnswerYes) {
        platform::showMessage(kTitle, "Uninstall Cancelled.", platform::kMessageInfo);
        return;
    }
    // The folder goes whole: a mapset registered with a file or its folder in there would lose
    // them with it.
    const std::optional<RegisteredFiles> registered = RegisteredFiles::read();
    const std::string user = registered ? registered->registeredWithin(bundle.loc) : std::string();
    if (!registered || !user.empty()) {
        platform::showMessage(kTitle,
                              registered ? "The bundle " + bundle.loc +
                                               " was not removed because mapset " + user +
                                               " uses that folder too."
                                         : "The registered mapsets could not be read, so the "
                                           "bundle " + bundle.loc + " was not removed.",
                              platform::kMessageWarning);
        return;
    }
    // The Recycle Bin takes the folder whole or not at all, and the user can bring it back.
    const BundleRemoval removal = removeBundleFolder(bundle.loc, bundle.loc, kTitle);
    scanInstalledMapsets();
    if (removal == BundleRemoval::kept) return;
    if (removal == BundleRemoval::failed) {
        platform::showMessage(kTitle, "The bundle " + bundle.loc + " could not be removed.",
                              platform::kMessageWarning);
        return;
    }
    platform::showMessage(kTitle, "Uninstall Successful.", platform::kMessageInfo);
}

bool refuseBundleEdit(int row)
{
    if (!isBundleRow(row)) return false;
    platform::showMessage("Edit Mapset",
                          "Mapset " + installedMapsets[row].name +
                              " is a BaseCamp bundle. Oxlo edits mapsets registered for "
                              "MapSource only.",
                          platform::kMessageInfo);
    return true;
}

} // namespace oxlo::catalogue
