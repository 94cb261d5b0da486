#include "builder/mkgmap_tools.h"

#include "builder/create_window_controls.h"
#include "builder/create_window_state.h"

#include "platform/services.h"

#include <vector>

namespace oxlo::builder {

namespace {

bool isFile(const std::string& path) { return platform::fileSize(path) >= 0; }

// Folders in PATH and JAVA_HOME may be written in double quotes, between blanks and with a final
// backslash. Empty for an empty folder.
std::string inFolder(std::string folder, const std::string& file) {
    std::erase(folder, '"');
    const std::size_t first = folder.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    folder = folder.substr(first, folder.find_last_not_of(' ') - first + 1);
    return folder.back() == '\\' ? folder + file : folder + "\\" + file;
}

// The folders of PATH, split at semicolons outside double quotes.
std::vector<std::string> pathFolders(const std::string& path) {
    std::vector<std::string> folders(1);
    bool quoted = false;
    for (const char c : path) {
        if (c == '"') quoted = !quoted;
        if (c == ';' && !quoted)
            folders.emplace_back();
        else
            folders.back() += c;
    }
    return folders;
}

} // namespace

std::string foundMkgmapJar(const std::string& startFolderJar) {
    if (isFile(startFolderJar)) return startFolderJar;
    const std::string beside = platform::programFolder() + kMkgmapJar;
    return isFile(beside) ? beside : std::string();
}

std::string askForMkgmapJar() {
    return platform::chooseOpenFile("Find mkgmap", kMkgmapJar, "mkgmap|mkgmap.jar", 0, 0);
}

std::string foundJava() {
    if (const std::string home = platform::environmentVariable("JAVA_HOME"); !home.empty()) {
        const std::string java = inFolder(inFolder(home, "bin"), "java.exe");
        if (isFile(java)) return java;
    }
    for (const std::string& folder : pathFolders(platform::environmentVariable("PATH"))) {
        const std::string java = inFolder(folder, "java.exe");
        if (!java.empty() && isFile(java)) return java;
    }
    return {};
}

bool locateMkgmapTools(CreateWindowState& state, std::string* java) {
    // A jar the user located lasts while the window is open, like the cgpsmapper paths.
    return locateMkgmapAndJava(state.mkgmapPath, java, kCreateWindowTitle);
}

bool locateMkgmapAndJava(std::string& mkgmapPath, std::string* java, const char* title) {
    std::string jar = foundMkgmapJar(mkgmapPath);
    if (jar.empty()) jar = askForMkgmapJar();
    if (jar.empty()) return false;
    mkgmapPath = jar;
    *java = foundJava();
    if (java->empty()) {
        platform::showMessage(title,
                              "mkgmap needs Java, which was not found. Please install a Java "
                              "runtime or set JAVA_HOME.",
                              platform::kMessageWarning);
        return false;
    }
    return true;
}

} // namespace oxlo::builder
