// Uninstalling a catalogue row: its registry key goes after confirmation, the list is rescanned,
// and the mapset's files go on request.
#include "catalogue/uninstall.h"

#include "catalogue/catalogue_registry.h"
#include "catalogue/installed_mapsets.h"
#include "catalogue/registry_layout.h"
#include "platform/registry.h"
#include "platform/services.h"

#include <string>

namespace oxlo::catalogue {

namespace {

constexpr const char* kTitle = "Uninstall Mapset";
constexpr const char* kMapsetFilePatterns[] = {"*.mp", "*.img", "*.tdb", "*.mdx", "*.reg", "*.typ"};

} // namespace

void uninstallMapset(int row)
{
    if (row < 1 || row > mapsetCount || installedMapsets[row].keyName.empty()) {
        return; // never a branch key as a whole
    }
    // The row names the key it was read from, so the key asked about is the key deleted.
    const InstalledMapset mapset = installedMapsets[row];
    const std::string relativePath = relativeKeyPath(mapset.branch, mapset.keyName);
    const std::string fullPath = std::string(kBaseKey) + relativePath;

    if (platform::showMessage(kTitle, "Proceed to uninstall mapset '" + relativePath + "' ?",
                              platform::kMessageQuestion) != platform::kAnswerYes) {
        platform::showMessage(kTitle, "Uninstall Cancelled.", platform::kMessageInfo);
        return;
    }

    const std::string folder = mapset.loc;
    const bool removed = platform::deleteRegistryTree(kCatalogueRoot, fullPath) == 1 ||
                         !registryKeyExists(fullPath);
    scanInstalledMapsets();
    if (!removed) {
        // The mapset is still registered: its files stay, and nothing is reported as done.
        platform::showMessage(kTitle,
                              "The registry entry " + relativePath + " could not be removed.",
                              platform::kMessageWarning);
        return;
    }

    if (platform::showMessage(kTitle, "Do you wish to delete the mapset files?",
                              platform::kMessageQuestion) == platform::kAnswerYes) {
        for (const char* pattern : kMapsetFilePatterns) {
            platform::deleteDirectory(folder, pattern);
        }
    }
    platform::showMessage(kTitle, "Uninstall Successful.", platform::kMessageInfo);
}

} // namespace oxlo::catalogue
