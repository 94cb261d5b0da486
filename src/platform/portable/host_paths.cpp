// Mapping of Windows paths onto the host root, and the platform's own current folder.
#include "platform/portable/portable_files.h"

#include "platform/services.h"

#include <cctype>
#include <ctime>
#include <cstdlib>
#include <system_error>
#include <vector>

namespace oxlo::platform {
namespace fs = std::filesystem;
namespace {

struct HostState {
    fs::path root;
    std::string currentFolder = "C:\\";
};

HostState& state()
{
    static HostState host;
    return host;
}

bool isSeparator(char c) { return c == '\\' || c == '/'; }

bool hasDrive(const std::string& path)
{
    return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

// Appends the components of `relative` to `parts`, resolving "." and "..".
void appendComponents(std::vector<std::string>& parts, const std::string& relative)
{
    std::string part;
    auto flush = [&] {
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
    };
    for (char c : relative) {
        if (isSeparator(c))
            flush();
        else
            part.push_back(c);
    }
    flush();
}

// The drive letter and the components of a full Windows path ("C:\a\b").
void splitFull(const std::string& full, char* drive, std::vector<std::string>* parts)
{
    *drive = full[0];
    appendComponents(*parts, full.substr(2));
}

// The entry of `folder` named `name`, ignoring letter case when no exact match exists.
fs::path childIgnoringCase(const fs::path& folder, const std::string& name)
{
    fs::path exact = folder / name;
    std::error_code error;
    if (fs::exists(fs::symlink_status(exact, error)))
        return exact;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (sameTextIgnoringCase(it->path().filename().string(), name))
            return it->path();
    }
    return exact;
}

} // namespace

void setHostRoot(const fs::path& root)
{
    fs::create_directories(root / "C");
    state().root = root;
    state().currentFolder = "C:\\";
}

fs::path hostRoot()
{
    if (state().root.empty()) {
        std::string pattern = (fs::temp_directory_path() / "oxlo-root-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
        setHostRoot(pattern);
    }
    return state().root;
}

std::string fullWindowsPath(const std::string& windowsPath)
{
    char drive = 0;
    std::vector<std::string> parts;
    std::string rest;
    if (hasDrive(windowsPath)) {
        drive = static_cast<char>(std::toupper(static_cast<unsigned char>(windowsPath[0])));
        rest = windowsPath.substr(2);
        // "C:name" is relative to the current folder when that is on the same drive.
        if ((rest.empty() || !isSeparator(rest[0])) && state().currentFolder[0] == drive)
            splitFull(state().currentFolder, &drive, &parts);
    } else {
        rest = windowsPath;
        if (rest.empty() || !isSeparator(rest[0]))
            splitFull(state().currentFolder, &drive, &parts);
        else
            drive = state().currentFolder[0];
    }
    appendComponents(parts, rest);
    // Windows drops trailing dots and blanks of the last name: "Alps. " is "Alps".
    if (!parts.empty()) {
        std::string& last = parts.back();
        while (!last.empty() && (last.back() == '.' || last.back() == ' '))
            last.pop_back();
        if (last.empty())
            parts.pop_back();
    }
    std::string full{drive, ':', '\\'};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i != 0)
            full += '\\';
        full += parts[i];
    }
    return full;
}

fs::path hostPathOf(const std::string& windowsPath)
{
    const std::string full = fullWindowsPath(windowsPath);
    char drive = 0;
    std::vector<std::string> parts;
    splitFull(full, &drive, &parts);
    fs::path host = childIgnoringCase(hostRoot(), std::string(1, drive));
    for (const std::string& part : parts)
        host = childIgnoringCase(host, part);
    return host;
}

fs::path hostPathForNew(const std::string& windowsPath)
{
    const std::string full = fullWindowsPath(windowsPath);
    const std::size_t slash = full.find_last_of('\\');
    if (slash + 1 == full.size())
        return hostPathOf(full); // a drive root
    return hostPathOf(full.substr(0, slash == 2 ? 3 : slash)) / full.substr(slash + 1);
}

std::string currentWindowsFolder()
{
    hostRoot(); // the current folder is meaningless before the root exists
    return state().currentFolder;
}

void setCurrentWindowsFolder(const std::string& fullPath) { state().currentFolder = fullPath; }

// A user's profile as Windows lays it out, made on first use below the host root.
std::string localAppDataFolder()
{
    const std::string folder = "C:\\Users\\oxlo\\AppData\\Local";
    std::error_code ignored;
    fs::create_directories(hostPathOf(folder), ignored);
    return folder;
}

std::string localTimeStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

} // namespace oxlo::platform
