#include "mkgmap_runtime.h"

#include "support/test_folder.h"

#include <filesystem>
#include <fstream>

namespace oxlo::testing {

const MkgmapRuntime& mkgmapRuntime() { return standInMkgmapRuntime(); }

const MkgmapRuntime& standInMkgmapRuntime() {
    static const MkgmapRuntime runtime = [] {
        const std::string folder = freshTestFolder("mkgmap runtime");
        MkgmapRuntime standIn{folder + "\\jre", folder + "\\mkgmap.jar", false};
        std::filesystem::create_directories(hostPath(standIn.javaHome + "\\bin"));
        std::filesystem::copy_file(hostPath(standInProgram("java")),
                                   hostPath(standIn.javaHome + "\\bin\\java.exe"));
        std::ofstream(hostPath(standIn.jar)) << "stand-in";
        return standIn;
    }();
    return runtime;
}

} // namespace oxlo::testing
