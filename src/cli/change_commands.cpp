// oxlo uninstall, create and backup: the window program's operations with their own questions
// and messages, answered and written by the console (console_messages.h).
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/console_messages.h"
#include "cli/mapset_lookup.h"

#include "builder/create_window_state.h"
#include "builder/mkgmap_tools.h"
#include "builder/path_rules.h"
#include "catalogue/installed_mapsets.h"
#include "catalogue/registry_backup.h"
#include "catalogue/registry_file.h"
#include "catalogue/registry_layout.h"
#include "catalogue/uninstall.h"
#include "platform/console.h"
#include "platform/services.h"

namespace oxlo::cli {

namespace {

// The tools where the window looks without asking; a console cannot show a file chooser.
bool findTools(const Streams& streams, const CreateOptions& options,
               builder::CreateWindowState& state, builder::Compiler& compiler) {
    const std::string here = platform::getCurrentDirectory();
    state.compilerPath = here + "cgpsmapper.exe";
    state.previewPath = here + "cpreview.exe";
    state.mkgmapPath = here + builder::kMkgmapJar;
    const bool cgpsmapperFound = platform::fileSize(state.compilerPath) >= 0 &&
                                 platform::fileSize(state.previewPath) >= 0;
    const bool mkgmapFound = !mkgmapJarHere().empty();
    compiler = options.compiler == "mkgmap" ||
                       (options.compiler.empty() && mkgmapFound && !cgpsmapperFound)
                   ? builder::Compiler::Mkgmap
                   : builder::Compiler::Cgpsmapper;
    if (compiler == builder::Compiler::Mkgmap && !mkgmapFound) {
        streams.err("oxlo: " + std::string(kNoMkgmapJar) + "\n");
        return false;
    }
    if (compiler == builder::Compiler::Cgpsmapper && !cgpsmapperFound) {
        streams.err("oxlo: cgpsmapper.exe and cpreview.exe were not found in the current "
                    "folder.\n");
        return false;
    }
    return true;
}

} // namespace

bool haveAdministratorRights(const Streams& streams) {
    if (platform::runsAsAdministrator()) return true;
    streams.err("oxlo: this command changes mapsets for all users; run it from a command prompt "
                "started as administrator.\n");
    return false;
}

int uninstallMapset(const Streams& streams, const std::string& name, bool deleteFiles, bool yes) {
    const int row = scanAndFind(streams, name);
    if (row == 0) return kExitFailed;
    MessageGate gate(streams, yes);
    gate.answer("Do you wish to delete the mapset files?",
                deleteFiles ? platform::kAnswerYes : platform::kAnswerNo);
    catalogue::uninstallMapset(row);
    return gate.failed() ? kExitFailed : kExitDone;
}

int backUpMapset(const Streams& streams, const std::string& name, const std::string& file) {
    const int row = scanAndFind(streams, name);
    if (row == 0) return kExitFailed;
    const std::string key = keyOf(catalogue::installedMapsets[row]);
    const std::string saved =
        file.empty() ? catalogue::saveBackupCopy(key)
                     : (catalogue::saveRegistryKey(catalogue::kBaseKey + key, file) ? file : "");
    if (saved.empty()) {
        const std::string target = file.empty() ? catalogue::backupFolder() : file;
        streams.err("oxlo: The registry entry " + key + " could not be saved to " + target +
                    ".\n");
        return kExitFailed;
    }
    streams.out(saved + "\n");
    return kExitDone;
}

int createMapset(const Streams& streams, const CreateOptions& options) {
    builder::CreateWindowState state;
    builder::CreateInputs inputs;
    if (!findTools(streams, options, state, inputs.compiler)) return kExitFailed;
    for (const std::string& map : options.maps) {
        if (const std::string refusal = builder::mapNameRefusal(map); !refusal.empty()) {
            streams.err("oxlo: " + refusal + "\n");
            return kExitFailed;
        }
        // The build runs in the mapset folder: a map named from here needs its full path.
        state.maps.push_back(fullPath(map));
    }
    inputs.name = options.name;
    inputs.automatic = options.folder.empty() && !options.familyId;
    inputs.folder = options.folder;
    inputs.familyIdText = options.familyId ? platform::textFromNumber(*options.familyId) : "";
    inputs.typPath = options.typ;

    MessageGate gate(streams, options.yes);
    const auto request = builder::checkCreateRequest(state, inputs);
    if (!request) return kExitFailed;
    const StandardErrorProgress progress(streams);
    return builder::buildMapset(*request) && !gate.failed() ? kExitDone : kExitFailed;
}

} // namespace oxlo::cli
