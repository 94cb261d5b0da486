// What the user can do with one catalogue row from the main list's context menu: see its
// problems, open or locate its folder, remove an entry whose folder is gone, give a TYP file the
// mapset's family ID, and save the row's key as a .reg file. `row` is the 1-based slot; a row
// outside the table does nothing. Every change of a key is preceded by a copy of it
// (catalogue/registry_backup.h) and followed by a rescan.
#pragma once

#include <string>

namespace oxlo::catalogue {

void showMapsetCheck(int row);
void openMapsetFolder(int row);
// Asks for the folder the mapset now lies in, then points the entry there as below.
void locateMapsetFolder(int row);
// Points every path of the row's entry that lay in its folder into `folder`; a folder without the
// mapset's index file is refused with a warning and nothing changes.
void locateMapsetFolderAt(int row, const std::string& folder);
// Only for a row whose folder does not exist.
void removeMapsetEntry(int row);
// Only for a row whose TYP file holds another family ID.
void fixTypFamilyId(int row);
// Gives the TYP file `typ` the family ID `familyId` as Fix TYP Family ID does, a copy kept as
// TYP.bak; its warnings come under `title`. True when the ID was written.
bool stampTypFamilyId(const std::string& typ, int familyId, const char* title);
void saveMapsetEntry(int row);

} // namespace oxlo::catalogue
