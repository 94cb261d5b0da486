#include "cli/command_support.h"

#include "cli/console_messages.h"
#include "cli/mapset_lookup.h"

#include "builder/mkgmap_tools.h"
#include "builder/path_rules.h"
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

std::string fullPath(const std::string& path) {
    return builder::isFullFolderPath(path) ? path : platform::getCurrentDirectory() + path;
}

std::string mkgmapJarHere() {
    return builder::foundMkgmapJar(platform::getCurrentDirectory() + builder::kMkgmapJar);
}

StandardErrorProgress::StandardErrorProgress(const Streams& streams) : streams_(streams) {
    builder::reportBuildProgressTo(this);
}

StandardErrorProgress::~StandardErrorProgress() { builder::reportBuildProgressTo(nullptr); }

} // namespace oxlo::cli
