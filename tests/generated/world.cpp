#include "generated/world.h"

#include "catalogue/bundle_scan.h"
#include "catalogue/installed_mapsets.h"
#include "catalogue/registry_backup.h"
#include "catalogue/registry_layout.h"
#include "cli/cli.h"
#include "cli/mapset_lookup.h"
#include "platform/portable/portable_files.h"
#include "platform/portable/scripted_ui.h"
#include "platform/services.h"
#include "support/file_bytes.h"
#include "support/registry_access.h"
#include "support/test_folder.h"

#include <nlohmann/json.hpp>

#include <filesystem>

namespace oxlo::generated {
namespace {

namespace fs = std::filesystem;

// Windows path of a host path below the host root ("<root>/C/x/y" -> "C:\x\y").
std::string windowsPathOf(const fs::path& host)
{
    const std::string relative = testing::textOfPath(host.lexically_relative(platform::hostRoot()));
    std::string path = relative.substr(0, 1) + ":";
    for (char c : relative.substr(1)) path += c == '/' ? '\\' : c;
    return path;
}

void addFiles(const fs::path& folder, const std::set<fs::path>& skipped, World& world)
{
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (skipped.contains(it->path()) || it->is_symlink()) {
            if (it->is_directory()) it.disable_recursion_pending();
            continue;
        }
        // The stand-in compilers leave notes of their runs in the folder they ran in.
        const bool note = it->path().filename().string().rfind("standin-", 0) == 0;
        if (it->is_regular_file() && !note)
            world.files.emplace(windowsPathOf(it->path()), *testing::readWholeFile(it->path()));
    }
}

void addRecycled(const fs::path& folder, World& world)
{
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error))
        if (it->is_regular_file()) world.recycled.insert(*testing::readWholeFile(it->path()));
}

// The console's check, whose JSON must parse, and the rows its scan left.
void addRows(World& world)
{
    std::string out, err;
    cli::run({"check", "--json"}, {[&](const std::string& t) { out += t; },
                                   [&](const std::string& t) { err += t; }});
    try {
        const auto rows = nlohmann::json::parse(out);
        if (!rows.is_array() || static_cast<int>(rows.size()) != catalogue::mapsetCount)
            world.jsonFault = "the check's JSON has not one entry per row: " + out;
    } catch (const std::exception& error) {
        world.jsonFault = std::string("the check's JSON does not parse: ") + error.what();
    }
    for (int slot = 1; slot <= catalogue::mapsetCount; ++slot) {
        const catalogue::InstalledMapset& row = catalogue::installedMapsets[slot];
        RowState state;
        state.key = cli::keyOf(row);
        if (!catalogue::isBundle(row))
            state.fullKey = catalogue::kBaseKey + catalogue::relativeKeyPath(row.branch, row.keyName);
        state.folder = row.loc;
        for (const std::string& file : {row.tdb, row.bmap, row.typ})
            if (!file.empty()) state.files.push_back(file);
        for (const char* value : {catalogue::kValueIdx, catalogue::kValueMdr})
            if (const auto path = state.fullKey.empty() ? std::nullopt
                                                        : testing::textValue(state.fullKey, value);
                path && !path->empty())
                state.files.push_back(*path);
        for (const auto& part : row.bundleParts)
            if (!part.tdb.empty()) state.files.push_back(part.tdb);
        for (const auto& problem : row.problems) state.problems.insert(static_cast<int>(problem.kind));
        world.rows.push_back(state);
    }
}

} // namespace

World takeWorld()
{
    World world;
    world.registry = testing::takeRegistrySnapshot(kGarminKey);
    const fs::path root = platform::hostRoot();
    const fs::path copies = testing::hostPath(catalogue::backupFolder());
    // The stand-in tools and the Java runtime write their own notes beside themselves.
    const std::set<fs::path> skipped = {testing::trashFolder(), testing::hostPath("C:\\$Recycle.Bin"),
                                        copies, testing::hostPath("C:\\oxlo-standin"),
                                        testing::hostPath("C:\\oxlo-standins"),
                                        testing::hostPath("C:\\oxlo-mkgmap")};
    std::error_code error;
    for (const auto& drive : fs::directory_iterator(root, error))
        if (drive.is_directory() && !drive.is_symlink() && drive.path().filename().string().size() == 1)
            addFiles(drive.path(), skipped, world);
    addRecycled(testing::trashFolder(), world);
    addRecycled(testing::hostPath("C:\\$Recycle.Bin"), world);
    for (const auto& entry : fs::directory_iterator(copies, error))
        world.copies.insert(windowsPathOf(entry.path()));
    // The scan answers no question: the repair it offers is a step of its own.
    platform::scripted::answerUnqueuedMessages(
        [](const platform::scripted::MessageRecord&) { return platform::kAnswerNo; });
    addRows(world);
    platform::scripted::answerUnqueuedMessages({});
    return world;
}

} // namespace oxlo::generated
