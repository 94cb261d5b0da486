#include "catalogue/mapset_menu.h"

#include "catalogue/bundle_scan.h"
#include "catalogue/installed_mapsets.h"
#include "catalogue/mapset_check.h"
#include "catalogue/mapset_commands.h"
#include "catalogue/mapset_install.h"
#include "catalogue/mapset_move.h"
#include "platform/services.h"

namespace oxlo::catalogue {

std::vector<platform::MenuItem> mapsetMenu(int row)
{
    const bool selected = row >= 1 && row <= mapsetCount;
    const InstalledMapset empty;
    const InstalledMapset& mapset = selected ? installedMapsets[row] : empty;
    const bool folderThere = selected && platform::fileSize(mapset.loc) == platform::kIsFolder;
    // A bundle has no registry entry to point elsewhere, remove or save.
    const bool registered = selected && !isBundle(mapset);
    return {
        {kInstallMapsetCommand, "Install Mapset...", true},
        {0, "", false},
        {kCheckMapsetCommand, "Check Mapset...", selected},
        {kOpenFolderCommand, "Open Folder", folderThere},
        {kLocateFolderCommand, "Locate Folder...", registered},
        {kMoveMapsetCommand, "Move Mapset...", registered && folderThere},
        {kRemoveEntryCommand, "Remove Entry...",
         registered && hasProblem(mapset, ProblemKind::MissingFolder)},
        {kFixTypCommand, "Fix TYP Family ID",
         selected && hasProblem(mapset, ProblemKind::ForeignTyp)},
        {kSaveEntryCommand, "Save Registry Entry...", registered},
        {kExportBundleCommand, "Export BaseCamp Bundle...", registered},
        {kSaveForGpsCommand, "Save for GPS...", registered},
    };
}

void runMapsetCommand(int command, int row)
{
    // The greyed items, sent as commands all the same, do nothing on a bundle.
    const bool bundle = row >= 1 && row <= mapsetCount && isBundle(installedMapsets[row]);
    if (bundle && (command == kLocateFolderCommand || command == kRemoveEntryCommand ||
                   command == kSaveEntryCommand))
        return;
    switch (command) {
    case kCheckMapsetCommand: showMapsetCheck(row); break;
    case kOpenFolderCommand: openMapsetFolder(row); break;
    case kLocateFolderCommand: locateMapsetFolder(row); break;
    case kRemoveEntryCommand: removeMapsetEntry(row); break;
    case kFixTypCommand: fixTypFamilyId(row); break;
    case kSaveEntryCommand: saveMapsetEntry(row); break;
    case kInstallMapsetCommand: installMapsetFromDialog(); break;
    case kMoveMapsetCommand: moveMapset(row, {}); break;
    default: break;
    }
}

} // namespace oxlo::catalogue
