#include "mkgmap_runtime.h"

#include "platform/portable/portable_files.h"
#include "support/test_folder.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace oxlo::testing {
namespace {

namespace fs = std::filesystem;

// The host's java as a shell would find it: $JAVA_HOME/bin/java, then java on $PATH.
fs::path hostJava() {
    if (const char* home = std::getenv("JAVA_HOME"); home != nullptr && *home != '\0')
        if (fs::path java = fs::path(home) / "bin" / "java"; fs::exists(java)) return java;
    const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        if (fs::path java = fs::path(path.substr(start, end - start)) / "java"; fs::exists(java))
            return java;
        start = end + 1;
    }
    throw std::runtime_error("no java on the host: install default-jre-headless");
}

// Puts `target` under the Windows path `windowsPath` of the portable platform's drives.
void linkInto(const std::string& windowsPath, const fs::path& target) {
    const fs::path link = hostPath(windowsPath);
    fs::create_directories(link.parent_path());
    fs::remove(link);
    fs::create_symlink(target, link);
}

MkgmapRuntime linkedRuntime(const std::string& name, const fs::path& java, const fs::path& jar) {
    if (!fs::exists(jar)) throw std::runtime_error(jar.string() + " is missing: install mkgmap");
    MkgmapRuntime runtime{"C:\\oxlo-" + name + "\\jre", "C:\\oxlo-" + name + "\\mkgmap.jar", false};
    linkInto(runtime.javaHome + "\\bin\\java.exe", java);
    linkInto(runtime.jar, jar);
    return runtime;
}

} // namespace

const MkgmapRuntime& mkgmapRuntime() {
    static const MkgmapRuntime runtime = [] {
        MkgmapRuntime real = linkedRuntime("mkgmap", hostJava(), OXLO_MKGMAP_JAR);
        real.real = true;
        return real;
    }();
    return runtime;
}

const MkgmapRuntime& standInMkgmapRuntime() {
    // The stand-in only checks that a file named mkgmap.jar is there: any file does.
    static const MkgmapRuntime runtime = linkedRuntime(
        "standin", fs::path(OXLO_STANDIN_FOLDER) / "java", fs::path(OXLO_STANDIN_FOLDER) / "java");
    return runtime;
}

} // namespace oxlo::testing
