// The way back from every change that deletes or rewrites a catalogue key: before it, the key is
// saved as a .reg file (catalogue/registry_file.h) in %LOCALAPPDATA%\Oxlo\Backups, named by the
// date, the time and the key ("20261207-143005 Families-Alps.reg"). Double-clicking the file puts
// the key back as it was.
#pragma once

#include <string>

namespace oxlo::catalogue {

// The folder of the copies, without a trailing backslash (created by backUpKey).
std::string backupFolder();

// Saves the key `relativePath` ("Families\Alps", below kBaseKey) to a new file in backupFolder()
// and gives that file's path; the empty text when it could not be saved.
std::string saveBackupCopy(const std::string& relativePath);
// Saves the key `relativePath` ("Families\Alps", below kBaseKey) to a new file in backupFolder().
// When it cannot be saved, shows "No copy of KEY could be saved, so it was not changed." under
// `title` (flags 0x30) and gives false: the caller then leaves the key alone.
bool backUpKey(const std::string& relativePath, const std::string& title);

} // namespace oxlo::catalogue
