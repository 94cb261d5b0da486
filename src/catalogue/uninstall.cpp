// Uninstalling a catalogue row: its registry key goes after confirmation, the list is rescanned,
// and the mapset's files go on request.
#include "catalogue/uninstall.h"

#include "catalogue/bundle_commands.h"
#include "catalogue/catalogue_registry.h"
#include "catalogue/installed_mapsets.h"
#include "catalogue/mapset_names.h"
#include "catalogue/name_rules.h"
#include "catalogue/registered_files.h"
#include "catalogue/registry_backup.h"
#include "catalogue/registry_layout.h"
#include "catalogue/registry_tree.h"
#include "platform/registry.h"
#include "platform/services.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace oxlo::catalogue {

namespace {

constexpr const char* kTitle = "Uninstall Mapset";
const std::vector<std::string> kMapsetFilePatterns = {"*.mp",  "*.img", "*.tdb",
                                                      "*.mdx", "*.reg", "*.typ"};

struct MapsetFiles {
    std::vector<std::string> own;
    std::vector<std::string> kept; // registered by another entry
    std::string keptText;          // a line for each kept one
};

// The mapset's files in `folder`, apart from those another entry registers: a TYP file that
// another family names, say, stays. Nothing when the registry cannot be read, so that none is
// taken for this mapset's alone.
std::optional<MapsetFiles> mapsetFiles(const std::string& folder)
{
    const std::optional<RegisteredFiles> registered = RegisteredFiles::read();
    if (!registered) return std::nullopt;
    MapsetFiles files;
    for (const std::string& pattern : kMapsetFilePatterns)
        for (const std::string& name : platform::listFiles(folder, pattern)) {
            const std::string path = joinPath(folder, name);
            // The entry is gone already: whoever registers the file is another.
            if (const std::string owner = registered->otherOwner(path, {}); !owner.empty()) {
                files.kept.push_back(path);
                files.keptText += (files.keptText.empty() ? "" : "\n") + path +
                                  " stays because mapset " + owner + " uses it too.";
            } else {
                files.own.push_back(path);
            }
        }
    return files;
}

// Moves the mapset's files to the Recycle Bin, from where the user can still get them back; true
// when none of them is left (read-only ones stay and count). The folder goes when that empties it.
bool deleteMapsetFiles(const std::string& folder)
{
    const auto files = mapsetFiles(folder);
    if (!files) return false;
    if (!files->own.empty()) platform::recycleFileList(files->own);
    // Looked for again: a file the first listing missed is still the mapset's.
    for (const std::string& pattern : kMapsetFilePatterns)
        for (const std::string& name : platform::listFiles(folder, pattern)) {
            const std::string path = joinPath(folder, name);
            if (std::none_of(files->kept.begin(), files->kept.end(),
                             [&](const std::string& kept) { return samePath(kept, path); }))
                return false;
        }
    platform::removeEmptyFolder(folder);
    if (!files->keptText.empty()) platform::showMessage(kTitle, files->keptText, platform::kMessageInfo);
    return true;
}

} // namespace

void uninstallMapset(int row)
{
    if (row < 1 || row > mapsetCount || installedMapsets[row].keyName.empty()) {
        return; // never a branch key as a whole
    }
    if (isBundleRow(row)) {
        uninstallBundle(row); // a bundle has no registry entry: it is its folder
        return;
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

    const auto notRemoved = [&] {
        // The mapset is still registered: its files stay, and nothing is reported as done.
        platform::showMessage(kTitle,
                              "The registry entry " + relativePath + " could not be removed.",
                              platform::kMessageWarning);
    };
    // Only a key that is really deleted counts: one that cannot even be opened (a name outside
    // the ANSI code page reads back as "??????") is still there, and has nothing to copy.
    if (registryKeyPresence(fullPath) != KeyPresence::Present) {
        notRemoved();
        return;
    }
    // Read while the key is there: whether another entry uses the folder decides whether its
    // files may be offered for deletion.
    const std::optional<RegisteredFiles> registered = RegisteredFiles::read();
    if (!registered) {
        platform::showMessage(kTitle,
                              "The registered mapsets could not be read, so mapset " +
                                  relativePath + " was not uninstalled.",
                              platform::kMessageWarning);
        return;
    }
    if (!backUpKey(relativePath, kTitle)) return;
    const std::string folder = mapset.loc;
    // A deletion that stops half-way puts back what it took, so the entry stays whole.
    const bool removed = deleteRegistryTreeOrKeep(kCatalogueRoot, fullPath);
    scanInstalledMapsets();
    if (!removed) {
        notRemoved();
        return;
    }

    std::string sharingKey =
        folder.empty() ? std::string() : registered->folderOwner(folder, relativePath);
    if (sharingKey.empty() && !folder.empty()) sharingKey = registered->bundleHolding(folder);
    if (!sharingKey.empty()) {
        // The files there belong to the other mapset too: never offer to delete them.
        platform::showMessage(kTitle,
                              "The mapset files stay in " + folder + " because mapset " +
                                  sharingKey + " uses that folder too.",
                              platform::kMessageInfo);
    } else if (platform::showMessage(kTitle, "Do you wish to delete the mapset files?",
                                     platform::kMessageQuestion) == platform::kAnswerYes &&
               !deleteMapsetFiles(folder)) {
        platform::showMessage(kTitle,
                              "The mapset was uninstalled, but some of its files could not be "
                              "deleted from " +
                                  folder + ".",
                              platform::kMessageWarning);
        return;
    }
    platform::showMessage(kTitle, "Uninstall Successful.", platform::kMessageInfo);
}

} // namespace oxlo::catalogue
