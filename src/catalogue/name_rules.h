// What a mapset name, a mapset folder name and a path stored in MapSource's registry may be, and
// the one way such a path is joined. Create Mapset, the install, Edit Mapset, Locate Folder and
// the console all ask here, so that what one of them writes the others (and the scan) read back.
#pragma once

#include <cstddef>
#include <string>

namespace oxlo::catalogue {

// A registry key name has at most 255 UTF-16 characters.
inline constexpr std::size_t kMaxMapsetNameCharacters = 255;
// The longest path, in characters, that the scan reads back from a registry value.
inline constexpr std::size_t kMaxStoredPathCharacters = 254;

// True when `name` begins or ends with a blank (or another character up to U+0020), which mkgmap
// trims from names, file names and the lines of its argument file.
bool hasBlankAtEitherEnd(const std::string& name);

// True when `name` can be a mapset's registry key name: not empty, no backslash, no blank at
// either end (mkgmap trims them, so its files would get another name), at most 255 characters.
bool isUsableMapsetName(const std::string& name);

// True when `name` can be the last part of a folder path: not empty, not "." or "..", free of
// \ / < > : " | ? * and control characters, and not ending in a dot or a blank (Windows would
// silently drop those, so the folder would get another name than the registry records), and not
// a device name (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, in any case, with or without an
// extension), which names a device rather than a folder anywhere on the machine.
bool isUsableFolderName(const std::string& name);

// True when every letter of `name` has a form in the ANSI code page that cpreview.exe and
// cgpsmapper.exe read (they know no Unicode).
bool fitsAnsiPrograms(const std::string& name);

// True when the registry can hold `path` so that the scan reads it back: at most 254 characters.
bool isStorablePath(const std::string& path);

// "The path PATH is longer than the 254 characters that MapSource's registry entries can hold.",
// the start of every refusal of such a path; each window adds what the user can do.
std::string unstorablePathText(const std::string& path);

// `folder` as it is stored: a drive root as "D:\" (never "D:", the drive's current folder),
// any other folder without a final backslash, and one backslash where several stand (a share's
// leading pair kept).
std::string storedFolder(const std::string& folder);

// The path of `name` in `folder`, joined by exactly one backslash ("D:\" and "Sp.img" give
// "D:\Sp.img"); the folder is taken as storedFolder gives it. Every path stored is made so.
std::string joinPath(const std::string& folder, const std::string& name);

// The folder that holds `path`, as storedFolder gives it ("D:\" for "D:\Sp.tdb"); empty when the
// path has no backslash.
std::string folderOf(const std::string& path);

// True when `relative` (either slash) names something outside the folder it is relative to: a
// ".." part (any part of dots and blanks with two dots or more, since Windows drops trailing dots
// and blanks), a drive ("C:x"), or an absolute or UNC path. False for an empty path.
bool leavesFolder(const std::string& relative);

} // namespace oxlo::catalogue
