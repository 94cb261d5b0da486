#include "catalogue/mapset_menu.h"

#include "catalogue/installed_mapsets.h"
#include "catalogue/mapset_check.h"
#include "catalogue/mapset_commands.h"
#include "catalogue/mapset_install.h"
#include "platform/services.h"

namespace oxlo::catalogue {

std::vector<platform::MenuItem> mapsetMenu(int row)
{
    const bool selected = row >= 1 && row <= mapsetCount;
    const InstalledMapset empty;
    const InstalledMapset& mapset = selected ? installedMapsets[row] : empty;
    const bool folderThere = selected && platform::fileSize(mapset.loc) == platform::kIsFolder;
    return {
        {kInstallMapsetCommand, "Install Mapset...", true},
        {0, "", false},
        {kCheckMapsetCommand, "Check Mapset...", selected},
        {kOpenFolderCommand, "Open Folder", folderThere},
        {kLocateFolderCommand, "Locate Folder...", selected},
        {kRemoveEntryCommand, "Remove Entry...",
         selected && hasProblem(mapset, ProblemKind::MissingFolder)},
        {kFixTypCommand, "Fix TYP Family ID",
         selected && hasProblem(mapset, ProblemKind::ForeignTyp)},
        {kSaveEntryCommand, "Save Registry Entry...", selected},
    };
}

void runMapsetCommand(int command, int row)
{
    switch (command) {
    case kCheckMapsetCommand: showMapsetCheck(row); break;
    case kOpenFolderCommand: openMapsetFolder(row); break;
    case kLocateFolderCommand: locateMapsetFolder(row); break;
    case kRemoveEntryCommand: removeMapsetEntry(row); break;
    case kFixTypCommand: fixTypFamilyId(row); break;
    case kSaveEntryCommand: saveMapsetEntry(row); break;
    case kInstallMapsetCommand: installMapsetFromDialog(); break;
    default: break;
    }
}

} // namespace oxlo::catalogue
