#include "cli/command_support.h"

#include "cli/commands.h"
#include "cli/console_messages.h"
#include "cli/mapset_lookup.h"

#include "builder/mkgmap_tools.h"
#include "builder/path_rules.h"
#include "catalogue/bundle_scan.h"
#include "catalogue/installed_mapsets.h"
#include "platform/services.h"

namespace oxlo::cli {

void scanQuietly(const Streams& streams) {
    MessageGate gate(streams, false);
    gate.quietNo(true);
    catalogue::scanInstalledMapsets();
}

int scanAndFind(const Streams& streams, const std::string& name) {
    scanQuietly(streams);
    const Lookup found = findMapset(name);
    if (found.row == 0) streams.err("oxlo: " + found.failure + "\n");
    return found.row;
}

int rowToChange(const Streams& streams, const std::string& name, int& status) {
    const int row = scanAndFind(streams, name);
    status = kExitFailed;
    if (row == 0) return 0;
    // A bundle is no entry of HKEY_LOCAL_MACHINE; the commands refuse or serve it themselves.
    if (!catalogue::isBundle(catalogue::installedMapsets[row]) &&
        !haveAdministratorRights(streams)) {
        status = kExitElevationRequired;
        return 0;
    }
    status = kExitDone;
    return row;
}

int scanAndFindRegistered(const Streams& streams, const std::string& name,
                          const std::string& bundleRefusal) {
    const int row = scanAndFind(streams, name);
    if (row == 0 || !catalogue::isBundle(catalogue::installedMapsets[row])) return row;
    streams.err("oxlo: " + keyOf(catalogue::installedMapsets[row]) + bundleRefusal + "\n");
    return 0;
}

std::string fullPath(std::string path) {
    // "%~dp0" in a batch file gives "D:\Maps\", whose last backslash escapes the closing quote
    // by Windows' rules: the quote arrives in the path, where no file name can hold one.
    if (!path.empty() && path.back() == '"') path.pop_back();
    return builder::isFullFolderPath(path) ? path : platform::getCurrentDirectory() + path;
}

std::string mkgmapJarHere() {
    return builder::foundMkgmapJar(platform::getCurrentDirectory() + builder::kMkgmapJar);
}

bool findMkgmapAndJava(const Streams& streams, const char* title, std::string* jar,
                       std::string* java) {
    *jar = mkgmapJarHere();
    if (jar->empty()) {
        streams.err("oxlo: " + std::string(kNoMkgmapJar) + "\n");
        return false;
    }
    // With the jar found, this only looks for Java, and says so when there is none.
    return builder::locateMkgmapAndJava(*jar, java, title);
}

StandardErrorProgress::StandardErrorProgress(const Streams& streams) : streams_(streams) {
    builder::reportBuildProgressTo(this);
}

StandardErrorProgress::~StandardErrorProgress() { builder::reportBuildProgressTo(nullptr); }

} // namespace oxlo::cli
