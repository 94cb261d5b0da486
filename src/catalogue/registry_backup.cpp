#include "catalogue/registry_backup.h"

#include "catalogue/registry_file.h"
#include "catalogue/registry_layout.h"
#include "platform/services.h"

#include <string_view>

namespace oxlo::catalogue {

namespace {

bool isFolder(const std::string& path) { return platform::fileSize(path) == platform::kIsFolder; }

// Each level is made when missing; an existing one makes createDirectory fail, which is fine.
bool makeFolder(const std::string& folder)
{
    if (!isFolder(folder)) platform::createDirectory(folder);
    return isFolder(folder);
}

// "Families\Alps" -> "Families-Alps", "Families\OSM 03/2024" -> "Families-OSM 03-2024": each
// character that a file name cannot hold becomes "-", and trailing dots and blanks, which Windows
// would drop from the name, go.
std::string fileNamePart(const std::string& relativePath)
{
    std::string name = relativePath;
    constexpr std::string_view kNotInFileNames = "\\/:*?\"<>|";
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || kNotInFileNames.find(c) != kNotInFileNames.npos)
            c = '-';
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    return name;
}

} // namespace

std::string backupFolder()
{
    const std::string local = platform::localAppDataFolder();
    return local.empty() ? std::string() : local + "\\Oxlo\\Backups";
}

std::string saveBackupCopy(const std::string& relativePath)
{
    const std::string folder = backupFolder();
    if (folder.empty() || !makeFolder(folder.substr(0, folder.rfind('\\'))) || !makeFolder(folder))
        return {};
    const std::string stem =
        folder + "\\" + platform::localTimeStamp() + " " + fileNamePart(relativePath);
    // Two changes within a second keep both copies.
    std::string file = stem + ".reg";
    for (int copy = 2; platform::fileSize(file) != platform::kNoSuchPath && copy < 100; ++copy)
        file = stem + " (" + platform::textFromNumber(copy) + ").reg";
    if (platform::fileSize(file) != platform::kNoSuchPath ||
        !saveRegistryKey(kBaseKey + relativePath, file))
        return {};
    return file;
}

bool backUpKey(const std::string& relativePath, const std::string& title)
{
    if (!saveBackupCopy(relativePath).empty()) return true;
    platform::showMessage(title,
                          "No copy of " + relativePath + " could be saved, so it was not changed.",
                          platform::kMessageWarning);
    return false;
}

} // namespace oxlo::catalogue
