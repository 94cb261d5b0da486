// The Windows Uninstall entry of a mapset that came with an installer of its own: the subkey of
// kWindowsUninstallKey whose InstallLocation or UninstallString names the mapset's folder. When
// the mapset moves, those two values move with it, so that Windows' uninstaller still finds it.
#pragma once

#include "catalogue/mapset_registration.h"

#include <optional>
#include <string>

namespace oxlo::catalogue {

// `text` with every mention of the folder `oldFolder` (letter case aside; the whole folder, so
// that "C:\Maps\Alps" is not found in "C:\Maps\Alpsx") made `newFolder`; unchanged when it names
// none.
std::string folderMovedIn(const std::string& text, const std::string& oldFolder,
                          const std::string& newFolder);

// The first Uninstall entry that names `oldFolder`: those of its two values that name it, as they
// are and as they read once the folder is `newFolder`; no rewrite when no entry names it. Not
// readable when the entries could not be read whole (the caller then changes nothing).
struct UninstallEntry {
    bool readable = true;
    std::optional<KeyRewrite> rewrite;
};
UninstallEntry uninstallEntryRewrite(const std::string& oldFolder, const std::string& newFolder);

} // namespace oxlo::catalogue
