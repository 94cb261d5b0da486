#include "generated/steps.h"

#include "generated/hostile_names.h"

#include "builder/create_window_controls.h"
#include "builder/mkgmap_runtime.h"
#include "catalogue/bundle_scan.h"
#include "catalogue/installed_mapsets.h"
#include "catalogue/mapset_check.h"
#include "catalogue/mapset_install.h"
#include "catalogue/mapset_menu.h"
#include "catalogue/mapset_move.h"
#include "catalogue/name_rules.h"
#include "catalogue/registry_layout.h"
#include "catalogue/uninstall.h"
#include "cli/cli.h"
#include "cli/mapset_lookup.h"
#include "editor/edit_controls.h"
#include "editor/edit_mapset_window.h"
#include "catalogue/bundle_commands.h"
#include "mapfile/tdb_index.h"
#include "mapfile/typ_file.h"
#include "platform/portable/fault_injection.h"
#include "platform/portable/portable_console.h"
#include "platform/portable/scripted_ui.h"
#include "platform/services.h"
#include "platform/ui.h"
#include "support/file_bytes.h"
#include "support/registry_access.h"
#include "support/shown_messages.h"
#include "support/test_environment.h"
#include "support/test_folder.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <stdexcept>

namespace oxlo::generated {
namespace {

namespace scripted = platform::scripted;
namespace fi = platform::fault_injection;
using catalogue::InstalledMapset;

const std::vector<std::string> kOperationNames = {
    "create", "install", "uninstall", "uninstall with files", "rename", "family ID",
    "product code", "locate folder", "remove entry", "fix TYP", "repair", "export bundle",
    "attribute save", "move", "save for GPS"};

// Questions that belong to one operation; every other question gets Yes unless declined.
constexpr const char* kRepairQuestion = "is incompatible with Mapsource 6.14.1 or later. Fix?";
constexpr const char* kDeleteFilesQuestion = "Do you wish to delete the mapset files?";
constexpr const char* kUninstalledButFiles = "The mapset was uninstalled, but some of its files";
constexpr std::string_view kBundleStart = "The bundle ";
constexpr std::string_view kCannotBeRecycled = " cannot go to the Recycle Bin. Delete it for good?";

bool isQuestion(int flags) { return (flags & 0x0F) == 0x04 || (flags & 0x0F) == 0x03; }
bool isQuestion(int flags);
// A question asks; its icon is no warning that the operation failed.
bool isWarning(int flags)
{
    return !isQuestion(flags) && ((flags & 0xF0) == 0x30 || (flags & 0xF0) == 0x10);
}

std::string fullKey(const InstalledMapset& row)
{
    return catalogue::isBundle(row) ? std::string()
                                    : catalogue::kBaseKey +
                                          catalogue::relativeKeyPath(row.branch, row.keyName);
}

// The key that holds LOC, TDB and BMAP.
std::string filesKey(const InstalledMapset& row)
{
    return row.form == catalogue::kFormFamily ? fullKey(row) + "\\" + row.productKey
                                              : fullKey(row);
}

std::optional<int> wordAt(const std::string& file, std::size_t position)
{
    const auto bytes = testing::readWholeWindowsFile(file);
    if (!bytes || bytes->size() < position + 2) return std::nullopt;
    return static_cast<unsigned char>((*bytes)[position]) |
           static_cast<unsigned char>((*bytes)[position + 1]) << 8;
}

std::string folderPart(const std::string& path) { return path.substr(0, path.rfind('\\')); }
std::string namePart(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

int runConsole(const std::vector<std::string>& arguments, std::string& err)
{
    std::string out;
    return cli::run(arguments, {[&](const std::string& t) { out += t; },
                                [&](const std::string& t) { err += t; }});
}

// The family key whose product key names `index` as its TDB.
std::string familyKeyOf(const std::string& index)
{
    for (const std::string& name : testing::subkeyNames(testing::kMapsourceFamilies)) {
        const std::string key = std::string(testing::kMapsourceFamilies) + "\\" + name;
        for (const std::string& product : testing::subkeyNames(key)) {
            const auto tdb = testing::textValue(key + "\\" + product, "TDB");
            if (tdb && platform::sameTextIgnoringCase(*tdb, index)) return key;
        }
    }
    return {};
}

struct Tools {
    std::string folder;   // the current folder the console finds them in
    std::string javaHome; // for mkgmap
};

Tools toolsFor(int compiler)
{
    if (compiler == 0) {
        const std::string program = testing::standInProgram("cgpsmapper");
        testing::standInProgram("cpreview");
        return {folderPart(program), ""};
    }
    // The real mkgmap where Java and Debian's mkgmap are installed, else the stand-in.
    const testing::MkgmapRuntime* runtime = &testing::standInMkgmapRuntime();
    if (compiler == 2) {
        try {
            runtime = &testing::mkgmapRuntime();
        } catch (const std::runtime_error&) {
        }
    }
    return {folderPart(runtime->jar), runtime->javaHome};
}

class StepRunner {
public:
    StepRunner(const Step& step, const Collection& collection)
        : step_(step), collection_(collection), random_(static_cast<std::uint64_t>(step.choice))
    {
    }

    StepRun run()
    {
        // The world taken before the step has just scanned, as the window had before the
        // user picked a row.
        scripted::resetScript();
        scripted::answerUnqueuedMessages([this](const scripted::MessageRecord& m) { return answer(m); });
        // A file chooser that the step did not expect is cancelled, as a user would.
        for (int i = 0; i < 3; ++i) scripted::chooseNextFiles({});
        const std::size_t shownBefore = scripted::shownMessages().size();
        const std::string startFolder = platform::getCurrentDirectory();
        try {
            perform();
        } catch (const std::exception& error) {
            run_.escaped = error.what();
        } catch (...) {
            run_.escaped = "an exception of unknown type";
        }
        disarm();
        platform::setCurrentDirectory(startFolder);
        scripted::answerUnqueuedMessages({});
        const auto shown = scripted::shownMessages();
        for (std::size_t i = shownBefore; i < shown.size(); ++i) {
            run_.messages.push_back(shown[i].text);
            // A rescan that could not list everything says so about the list, not about the
            // step's result; only the repair, which the scan is, then did nothing.
            if (isWarning(shown[i].flags) &&
                (shown[i].text != catalogue::kListNotWholeText || run_.repairs))
                warned_ = true;
        }
        if (!consoleUsed_)
            run_.outcome = succeeded_ && (!warned_ || partial_) ? Outcome::Success : Outcome::Refused;
        return run_;
    }

private:
    int answer(const scripted::MessageRecord& message)
    {
        if (!isQuestion(message.flags)) return platform::kAnswerOk;
        if (message.text.find(kRepairQuestion) != std::string::npos)
            return step_.operation == Operation::Repair ? platform::kAnswerYes : platform::kAnswerNo;
        if (message.text == kDeleteFilesQuestion)
            return step_.operation == Operation::UninstallWithFiles ? platform::kAnswerYes
                                                                     : platform::kAnswerNo;
        const bool deleteForGood = message.text.rfind(kBundleStart, 0) == 0 &&
                                   message.text.ends_with(kCannotBeRecycled);
        if (step_.declines && !declined_) {
            declined_ = true;
            declinedTypStamp_ = message.text.rfind("The TYP file ", 0) == 0;
            return platform::kAnswerNo;
        }
        if (deleteForGood)
            run_.deletedForGood = message.text.substr(
                kBundleStart.size(),
                message.text.size() - kBundleStart.size() - kCannotBeRecycled.size());
        return platform::kAnswerYes;
    }

    // Only the operation's own calls meet the fault, never the step's bookkeeping around it.
    template <typename Call> void armed(Call call)
    {
        struct Disarm {
            StepRunner& runner;
            ~Disarm() { runner.disarm(); }
        } disarm{*this};
        if (step_.fault == Fault::FailingCall) fi::failCall(step_.failingCall);
        if (step_.fault == Fault::NoRecycleBin) fi::setRecycleBinUnavailable(true);
        armed_ = true;
        call();
    }

    void disarm()
    {
        if (!armed_) return;
        armed_ = false;
        run_.injected = step_.fault == Fault::FailingCall ? fi::failureInjected()
                                                         : step_.fault == Fault::NoRecycleBin;
        fi::failCall(0);
        fi::setRecycleBinUnavailable(false);
    }

    // The row the step works on, or none when the catalogue is empty.
    const InstalledMapset* pickRow()
    {
        if (catalogue::mapsetCount == 0) return nullptr;
        rowNumber_ = 1 + step_.row % catalogue::mapsetCount;
        row_ = catalogue::installedMapsets[rowNumber_];
        run_.operatedKey = fullKey(row_);
        run_.operatedFolder = row_.loc;
        return &row_;
    }

    void perform()
    {
        switch (step_.operation) {
        case Operation::Create: return create();
        case Operation::Install: return install();
        case Operation::Uninstall:
        case Operation::UninstallWithFiles: return uninstall();
        case Operation::Rename:
        case Operation::FamilyId:
        case Operation::ProductCode: return edit();
        case Operation::LocateFolder: return locate();
        case Operation::RemoveEntry: return menuCommand(catalogue::kRemoveEntryCommand);
        case Operation::FixTyp: return fixTyp();
        case Operation::Repair: return repair();
        case Operation::ExportBundle: return exportBundle();
        case Operation::AttributeSave: return attributeSave();
        case Operation::Move: return move();
        case Operation::SaveForGps: return saveForGps();
        }
    }

    void console(const std::vector<std::string>& arguments, const Tools& tools)
    {
        consoleUsed_ = true;
        testing::EnvironmentScope environment;
        environment.set("JAVA_HOME", tools.javaHome);
        platform::setAdministrator(true);
        if (!tools.folder.empty()) platform::setCurrentDirectory(tools.folder);
        std::string err;
        int status = 0;
        armed([&] { status = runConsole(arguments, err); });
        run_.messages.push_back("console exit " + std::to_string(status) + ": " + err);
        run_.outcome = status == 0 ? Outcome::Success : Outcome::Refused;
    }

    std::vector<std::string> chosenMaps()
    {
        const auto& loose = collection_.looseMaps;
        switch (step_.choice % 4) {
        case 0: return {loose[0], loose[1]}; // two maps of one file name
        case 1: return {loose[0], loose[2]};
        case 2: return {loose[1]};
        default: {
            // The detail maps of a mapset of the collection.
            std::vector<std::string> maps;
            const PlannedMapset& from = collection_.mapsets[static_cast<std::size_t>(step_.row) %
                                                           collection_.mapsets.size()];
            for (const auto& name : platform::listFiles(from.folder, "6*.img"))
                maps.push_back(catalogue::joinPath(catalogue::storedFolder(from.folder), name));
            return maps.empty() ? std::vector<std::string>{loose[2]} : maps;
        }
        }
    }

    // Create's name: now and then a registered family's name in other letter case.
    std::string createdName() const
    {
        if (step_.choice % 5 == 0)
            for (const auto& mapset : collection_.mapsets)
                if (mapset.kind == EntryKind::Family) return otherLetterCase(mapset.keyName);
        return step_.text;
    }

    void create()
    {
        const std::vector<std::string> maps = chosenMaps();
        const std::string name = createdName();
        std::vector<std::string> arguments = {"create", name};
        arguments.insert(arguments.end(), maps.begin(), maps.end());
        // The real mkgmap takes seconds: one create in fifty.
        const int compiler = step_.choice % 50 == 7 ? 2 : (step_.choice / 4) % 2;
        arguments.push_back("--compiler");
        arguments.push_back(compiler == 0 ? "cgpsmapper" : "mkgmap");
        std::string folder;
        if (step_.choice % 3 != 0) {
            const auto& mapsets = collection_.mapsets;
            folder = step_.choice % 3 == 1 || mapsets.empty()
                         ? collection_.root + "\\created\\" + name
                         : mapsets[static_cast<std::size_t>(step_.row) % mapsets.size()].folder;
            arguments.insert(arguments.end(), {"--folder", folder, "--family-id",
                                               std::to_string(step_.number)});
        }
        arguments.push_back("--yes");
        const Tools tools = toolsFor(compiler);
        run_.operatedKey = catalogue::kFamiliesKey + name; // replaced when it is there
        // A file of the folder that the build replaces is kept as .bak.
        const std::string built = folder.empty() ? builder::kAutoBaseFolder + name : folder;
        for (const std::string& file : platform::listFiles(built, "*"))
            run_.backedUp.push_back(catalogue::joinPath(catalogue::storedFolder(built), file));
        console(arguments, tools);
        run_.effect = [maps, name] {
            std::string index;
            for (const std::string& key : testing::subkeyNames(testing::kMapsourceFamilies))
                if (platform::sameTextIgnoringCase(key, name))
                    index = testing::textValue(std::string(testing::kMapsourceFamilies) + "\\" +
                                                   key + "\\1",
                                               "TDB")
                                .value_or("");
            if (index.empty()) return "no family " + name + " is registered";
            if (testing::readWholeWindowsFile(index) == std::nullopt)
                return "its index " + index + " is missing";
            for (const std::string& map : maps) {
                const std::string copy = catalogue::joinPath(folderPart(index), namePart(map));
                if (testing::readWholeWindowsFile(copy) != testing::readWholeWindowsFile(map))
                    return "the map " + map + " is not in the mapset folder as given";
            }
            return std::string();
        };
        if (!folder.empty()) run_.operatedFolder = folder;
    }

    void install()
    {
        const auto& mapsets = collection_.mapsets;
        const PlannedMapset& chosen = mapsets[static_cast<std::size_t>(step_.choice) % mapsets.size()];
        const std::string path = chosen.folder;
        run_.operatedFolder = path;
        // Installing over a registered mapset of the same name updates it.
        armed([&] { succeeded_ = catalogue::installMapsetAt(path); });
        // An update replaces the family registered under the same name.
        const std::string index =
            catalogue::mapsetIndexAt(path).index.empty() ? path : catalogue::mapsetIndexAt(path).index;
        run_.indexAfter = index;
        run_.operatedKey = familyKeyOf(index);
        // Declining to stamp a TYP of another family registers it as it is, as asked.
        if (declinedTypStamp_)
            run_.acceptedProblems.insert(static_cast<int>(catalogue::ProblemKind::ForeignTyp));
        run_.backedUp = platform::listFiles(path, "*.typ");
        for (auto& typ : run_.backedUp) typ = catalogue::joinPath(catalogue::storedFolder(path), typ);
        run_.effect = [index] {
            return familyKeyOf(index).empty() ? "no family names " + index + " as its index"
                                              : std::string();
        };
    }

    void uninstall()
    {
        const InstalledMapset* row = pickRow();
        if (!row) return;
        run_.recycles = true;
        const std::string key = run_.operatedKey;
        const std::string folder = row->loc;
        const bool bundle = catalogue::isBundle(*row);
        armed([&] { catalogue::uninstallMapset(rowNumber_); });
        // Files that the system would not recycle leave the mapset uninstalled all the same,
        // and the message says so.
        const bool done = testing::messageShown("Uninstall Successful.");
        succeeded_ = done || shownStartingWith(kUninstalledButFiles);
        partial_ = !done && succeeded_;
        run_.effect = [key, folder, bundle] {
            if (bundle) return platform::fileSize(folder) == platform::kNoSuchPath
                                   ? std::string()
                                   : "the bundle " + folder + " is still there";
            return testing::keyExists(key) ? key + " is still registered" : std::string();
        };
    }

    void edit()
    {
        const InstalledMapset* row = pickRow();
        if (!row) return;
        if (catalogue::refuseBundleEdit(rowNumber_)) return;
        const bool renaming = step_.operation == Operation::Rename;
        // Now and then the same name in other letter case.
        const std::string newName = !renaming             ? row->name
                                    : step_.choice % 5 == 0 ? otherLetterCase(row->name)
                                                            : step_.text;
        const int number = renaming ? row->id : step_.number;
        editor::openEditMapsetWindow();
        platform::setControlText(editor::kNameField, row->name);
        platform::setControlText(editor::kNumberField, platform::textFromNumber(row->id));
        scripted::queueTyping(editor::kNameField, newName);
        scripted::queueTyping(editor::kNumberField, std::to_string(number));
        scripted::queueControlEvent(editor::kEditButton);
        // The registered search index is the mapset's own, wherever it lies.
        for (const char* value : {catalogue::kValueIdx, catalogue::kValueMdr})
            if (const auto path = testing::textValue(run_.operatedKey, value))
                run_.mayRewrite.push_back(*path);
        // The family-ID change writes only the words that hold the old ID: an index made for
        // another family keeps its own.
        const bool indexHeldId = wordAt(row->tdb, 5) == row->id;
        armed([&] { editor::runEditMapsetWindow(rowNumber_); });
        succeeded_ = testing::messageShown("Mapset edited.");
        const std::string loc = row->loc;
        const std::string oldIndex = row->tdb;
        const std::string oldOverview = row->bmap;
        run_.mayRewrite.insert(run_.mayRewrite.end(), {oldIndex, oldOverview});
        if (!row->typ.empty()) run_.backedUp.push_back(row->typ);
        const std::string key = run_.operatedKey;
        const bool family = row->form == catalogue::kFormFamily;
        if (step_.operation == Operation::Rename && newName != row->name) {
            const std::string index = catalogue::joinPath(catalogue::storedFolder(loc), newName + ".TDB");
            run_.indexAfter = index;
            run_.effect = [index] {
                return testing::readWholeWindowsFile(index) ? std::string()
                                                            : "no index " + index;
            };
        } else if (step_.operation == Operation::Rename) {
            run_.effect = {}; // the same name: nothing to change
        } else if (family) {
            run_.effect = [key, oldIndex, number, indexHeldId] {
                const auto id = testing::rawValue(key, "ID");
                if (!id || id->bytes.size() != 2 || (id->bytes[0] | id->bytes[1] << 8) != number)
                    return key + " does not hold family ID " + std::to_string(number);
                // A mapset whose folder is gone has only its registry entry to change.
                if (const auto word = wordAt(oldIndex, 5); indexHeldId && word && *word != number)
                    return oldIndex + " does not hold family ID " + std::to_string(number);
                return std::string();
            };
        } else {
            run_.effect = [oldIndex, number] {
                const std::string key = std::string(testing::kMapsourceProducts) + "\\" +
                                        std::to_string(number);
                if (!testing::keyExists(key)) return key + " is missing";
                if (const auto word = wordAt(oldIndex, 3); word && *word != number)
                    return oldIndex + " does not hold product code " + std::to_string(number);
                return std::string();
            };
        }
    }

    void locate()
    {
        const InstalledMapset* row = pickRow();
        if (!row) return;
        const auto& mapsets = collection_.mapsets;
        const std::string chosen =
            mapsets[static_cast<std::size_t>(step_.choice) % mapsets.size()].folder;
        scripted::chooseNextFolder(catalogue::storedFolder(chosen));
        armed([&] { catalogue::runMapsetCommand(catalogue::kLocateFolderCommand, rowNumber_); });
        // Locate Folder says nothing when it is done, and does nothing for a bundle.
        succeeded_ = !catalogue::isBundle(*row);
        // A missing folder is the only problem the check names; what the entry itself holds (a
        // TYP with a stale family ID, an ID that another mapset shares) shows once it is found.
        if (catalogue::hasProblem(*row, catalogue::ProblemKind::MissingFolder))
            for (const auto kind : {catalogue::ProblemKind::ForeignTyp,
                                    catalogue::ProblemKind::SharedFamilyId,
                                    catalogue::ProblemKind::UnreadableFamilyId})
                run_.acceptedProblems.insert(static_cast<int>(kind));
        const std::string key = filesKey(*row);
        const std::string stored = catalogue::storedFolder(chosen);
        run_.effect = [key, stored] {
            const auto loc = testing::textValue(key, "LOC");
            return loc && platform::sameTextIgnoringCase(*loc, stored)
                       ? std::string()
                       : key + " does not name the folder " + stored;
        };
    }

    void menuCommand(int command)
    {
        const InstalledMapset* row = pickRow();
        if (!row) return;
        const bool asked = catalogue::hasProblem(*row, catalogue::ProblemKind::MissingFolder);
        armed([&] { catalogue::runMapsetCommand(command, rowNumber_); });
        succeeded_ = asked && !step_.declines;
        const std::string key = run_.operatedKey;
        run_.effect = [key] {
            return testing::keyExists(key) ? key + " is still registered" : std::string();
        };
    }

    void fixTyp()
    {
        const InstalledMapset* row = pickRow();
        if (!row) return;
        const bool offered = catalogue::hasProblem(*row, catalogue::ProblemKind::ForeignTyp);
        if (!row->typ.empty()) run_.backedUp.push_back(row->typ);
        armed([&] { catalogue::runMapsetCommand(catalogue::kFixTypCommand, rowNumber_); });
        succeeded_ = offered;
        const std::string typ = row->typ;
        const int id = row->id;
        run_.effect = [typ, id] {
            return wordAt(typ, mapfile::kTypFamilyIdPosition) == id
                       ? std::string()
                       : typ + " does not hold family ID " + std::to_string(id);
        };
    }

    void repair()
    {
        run_.repairs = true;
        armed([] { catalogue::scanInstalledMapsets(); });
        succeeded_ = true;
        // Each entry is repaired on its own: one that the scan says it did not fix stays, and the
        // others' repairs are the result in part.
        std::set<std::string> notFixed;
        for (const auto& message : scripted::shownMessages()) {
            for (const std::string start : {"Mapset ", "No copy of Products\\"}) {
                const std::string& text = message.text;
                const std::size_t end = text.find(start == "Mapset " ? " was not fixed: "
                                                                     : " could be saved");
                if (text.rfind(start, 0) == 0 && end != std::string::npos)
                    notFixed.insert(text.substr(start.size(), end - start.size()));
            }
        }
        partial_ = !notFixed.empty();
        run_.effect = [notFixed] {
            for (const std::string& key : testing::subkeyNames(testing::kMapsourceProducts))
                if (platform::numberFromText(key) <= 0 && !notFixed.contains(key))
                    return "the old product entry " + key + " is still there";
            return std::string();
        };
    }

    void exportBundle()
    {
        const InstalledMapset* row = pickRow();
        if (!row) return;
        const std::string out = collection_.root + "\\exported";
        platform::createDirectory(out);
        run_.recycles = true; // an older bundle there goes to the Recycle Bin
        run_.operatedFolder = out;
        console({"export", cli::keyOf(*row), out, "--yes"}, toolsFor(step_.choice % 50 == 7 ? 2 : 1));
        run_.effect = [out] {
            std::error_code error;
            for (const auto& entry :
                 std::filesystem::directory_iterator(testing::hostPath(out), error))
                if (std::filesystem::exists(entry.path() / "Info.xml")) return std::string();
            return "no bundle in " + out;
        };
    }

    void attributeSave()
    {
        std::vector<std::string> maps = chosenMaps();
        const std::string map = maps[static_cast<std::size_t>(step_.number) % maps.size()];
        run_.mayRewrite = {map};
        run_.chosenFiles = {map};
        console({"attr", map, "--priority", std::to_string(step_.number % 40),
                 "--transparent", step_.choice % 2 == 0 ? "yes" : "no", "--yes"},
                {});
    }

    // Where Move is pointed: the collection's folders, one made for it, another mapset's, a
    // drive root, a folder inside its own, names that cannot be made.
    std::string moveTarget(const InstalledMapset& row)
    {
        const auto& mapsets = collection_.mapsets;
        const PlannedMapset& other = mapsets[static_cast<std::size_t>(step_.choice) % mapsets.size()];
        std::string made;
        switch (step_.choice % 7) {
        case 0: return other.folder;
        case 1: return folderPart(other.folder);
        case 2: return step_.number % 2 == 0 ? "E:" : "E:\\";
        case 3: made = collection_.root + "\\moved\\" + hostileFolderName(random_); break;
        case 4: made = catalogue::storedFolder(row.loc) + "\\inside"; break;
        case 5: return collection_.root + "\\moved\\" + step_.text; // mostly not there
        default: made = collection_.root + "\\moved\\" + step_.text; break;
        }
        // Making the folder is the user's doing in the folder chooser, not the operation's.
        platform::createDirectory(folderPart(made));
        platform::createDirectory(made);
        return made;
    }

    void move()
    {
        const InstalledMapset* row = pickRow();
        if (!row) return;
        run_.recycles = true;
        const std::string chosen = moveTarget(*row);
        const std::string oldFolder = catalogue::storedFolder(row->loc);
        // Windows walks ".." and finds a folder typed with blanks or dots at its end without them.
        std::string found = catalogue::storedFolder(chosen);
        found += "\\";
        for (std::size_t dot; (dot = found.find("\\.\\")) != std::string::npos;) found.erase(dot, 2);
        for (std::size_t up; (up = found.find("\\..\\")) != std::string::npos;) {
            const std::size_t parent = up == 0 ? std::string::npos : found.rfind('\\', up - 1);
            if (parent == std::string::npos) break;
            found.erase(parent, up + 3 - parent);
        }
        found = catalogue::storedFolder(found);
        if (namePart(found).find_first_not_of('.') != std::string::npos)
            while (found.back() == ' ' || found.back() == '.') found.pop_back();
        const std::string newFolder = catalogue::joinPath(found, namePart(oldFolder));
        // The files the mapset takes along, as they are now: what its entry names in its folder
        // and the maps its index lists. Its maps are its own even where another mapset's
        // files lie beside them.
        std::vector<std::pair<std::string, std::optional<std::string>>> moved;
        std::vector<std::string> named = {row->tdb, row->bmap, row->typ};
        for (const char* value : {catalogue::kValueIdx, catalogue::kValueMdr})
            if (const auto path = testing::textValue(run_.operatedKey, value)) named.push_back(*path);
        if (const auto index = mapfile::readTdbIndex(row->tdb, mapfile::CutShortTdb::refuse))
            for (const std::uint32_t map : index->mapNumbers) {
                named.push_back(catalogue::joinPath(oldFolder, mapfile::mapFileName(map)));
                run_.chosenFiles.push_back(named.back());
            }
        for (const std::string& path : named)
            if (!path.empty() && platform::sameTextIgnoringCase(folderPart(path), oldFolder))
                moved.emplace_back(namePart(path), testing::readWholeWindowsFile(path));
        const std::string key = filesKey(*row);
        const std::string name = row->name.empty() ? row->keyName : row->name;
        if (step_.number % 3 == 0) {
            // The console's move; a declining user leaves out --yes.
            std::vector<std::string> arguments = {"move", cli::keyOf(*row), chosen};
            if (!step_.declines) arguments.push_back("--yes");
            console(arguments, {});
            // Old files that would not go leave the mapset moved all the same, and it says so.
            for (const auto& message : run_.messages)
                if (message.find("Mapset " + name + " is now in ") != std::string::npos)
                    run_.outcome = Outcome::Success;
        } else {
            scripted::chooseNextFolder(chosen);
            armed([&] { catalogue::moveMapset(rowNumber_, {}); });
            const bool done = testing::messageShown("Mapset " + name + " moved to " + newFolder + ".");
            succeeded_ = done || shownStartingWith("Mapset " + name + " is now in ");
            partial_ = !done && succeeded_;
        }
        run_.effect = [key, newFolder, moved] {
            const auto loc = testing::textValue(key, "LOC");
            if (!loc || !platform::sameTextIgnoringCase(catalogue::storedFolder(*loc), newFolder))
                return key + " does not name the folder " + newFolder;
            for (const auto& [file, bytes] : moved)
                if (testing::readWholeWindowsFile(catalogue::joinPath(newFolder, file)) != bytes)
                    return file + " did not arrive whole in " + newFolder;
            return std::string();
        };
    }

    // Save for GPS's file: an older one of that name in the collection's GPS folder, a new one
    // there under a hostile name, a drive root, another mapset's folder, a folder not there.
    std::string gpsFile()
    {
        const auto& mapsets = collection_.mapsets;
        switch (step_.choice % 6) {
        case 0: return collection_.gpsFile;
        case 1: return folderPart(collection_.gpsFile) + "\\" + hostileFolderName(random_) + ".img";
        case 2: return "E:\\gmapsupp.img";
        case 3:
            return mapsets[static_cast<std::size_t>(step_.number) % mapsets.size()].folder +
                   "\\gmapsupp.img";
        case 4: return collection_.root + "\\no folder\\gmapsupp.img";
        default: return folderPart(collection_.gpsFile) + "\\" + step_.text + ".img";
        }
    }

    void saveForGps()
    {
        std::vector<std::string> keys;
        if (const InstalledMapset* row = pickRow()) keys.push_back(cli::keyOf(*row));
        if (keys.empty()) return;
        // Now and then two mapsets in one file.
        if (step_.number % 4 == 0 && catalogue::mapsetCount > 1)
            keys.push_back(cli::keyOf(
                catalogue::installedMapsets[1 + rowNumber_ % catalogue::mapsetCount]));
        // The registry stays as it is, the operated row's included.
        run_.operatedKey.clear();
        run_.operatedFolder.clear();
        const std::string file = gpsFile();
        run_.chosenFiles = {file};
        run_.recycles = true; // an older file of that name
        std::vector<std::string> arguments = {"gmapsupp", file};
        arguments.insert(arguments.end(), keys.begin(), keys.end());
        if (!step_.declines) arguments.push_back("--yes");
        const auto older = testing::readWholeWindowsFile(file);
        const bool asideBefore = platform::fileSize(file + ".old") != platform::kNoSuchPath;
        // Now and then mkgmap fails, writes nothing, or leaves a map out without a word.
        const Tools tools = toolsFor(1);
        const std::vector<std::string> orders = {"fail", "no-output", "drop-last-map"};
        const std::filesystem::path control =
            testing::hostPath(tools.folder) / "standin-control.txt";
        const auto order = static_cast<std::size_t>((step_.number % 8 + 8) % 8);
        if (order < orders.size()) std::ofstream(control) << "mkgmap " << orders[order] << "\n";
        // The stand-in's copy of the file it made: what the saved file must be. The same maps
        // saved again make the same bytes as the older file.
        const std::filesystem::path madeCopy =
            testing::hostPath(tools.folder) / "standin-java-gmapsupp.img";
        std::filesystem::remove(madeCopy);
        console(arguments, tools);
        std::filesystem::remove(control);
        const auto made = testing::readWholeFile(madeCopy);
        run_.effect = [file, older, made, asideBefore] {
            const auto now = testing::readWholeWindowsFile(file);
            if (!now) return "no GPS map " + file;
            if (!made) return "mkgmap made no GPS map for " + file;
            if (now != made)
                return file + (older && now == older ? " is still the older file"
                                                     : " is not the GPS map mkgmap made");
            if (!asideBefore && platform::fileSize(file + ".old") != platform::kNoSuchPath)
                return "the older file is still beside it as " + file + ".old";
            std::error_code error;
            for (const auto& entry : std::filesystem::directory_iterator(
                     testing::hostPath(folderPart(file)), error))
                if (entry.path().filename().string().rfind("Oxlo GPS", 0) == 0)
                    return "mkgmap's work folder is left beside " + file;
            return std::string();
        };
    }

    bool shownStartingWith(const std::string& text) const
    {
        for (const auto& message : scripted::shownMessages())
            if (message.text.rfind(text, 0) == 0) return true;
        return false;
    }

    const Step& step_;
    const Collection& collection_;
    RandomSource random_; // names drawn during the step, the same on every replay
    StepRun run_;
    InstalledMapset row_;
    int rowNumber_ = 0;
    bool succeeded_ = false;
    bool warned_ = false;
    bool declined_ = false;
    bool consoleUsed_ = false;
    bool partial_ = false;
    bool armed_ = false;
    bool declinedTypStamp_ = false;
};

} // namespace

Step drawStep(RandomSource& random)
{
    Step step;
    // Weighted so that the operations that change most come most often.
    static const std::vector<Operation> kDraw = {
        Operation::Create, Operation::Create, Operation::Install, Operation::Install,
        Operation::Install, Operation::Uninstall, Operation::UninstallWithFiles,
        Operation::UninstallWithFiles, Operation::Rename, Operation::Rename,
        Operation::FamilyId, Operation::FamilyId, Operation::FamilyId, Operation::ProductCode,
        Operation::LocateFolder, Operation::RemoveEntry, Operation::FixTyp, Operation::FixTyp,
        Operation::Repair, Operation::ExportBundle, Operation::AttributeSave, Operation::Move,
        Operation::Move, Operation::SaveForGps, Operation::SaveForGps};
    step.operation = random.pick(kDraw);
    step.row = random.below(1000);
    step.choice = random.below(1000);
    step.declines = random.percent(5);
    step.text = random.percent(60) ? hostileMapsetName(random)
                                   : "Gen " + std::to_string(random.below(100));
    const int numbers = random.below(10);
    step.number = numbers < 4   ? 6000 + random.below(1001)
                  : numbers < 6 ? random.pick(std::vector<int>{4711, 4712, 6005, 6006, 6007,
                                                               6008, 6100, 6110})
                  : numbers < 8 ? 100 + random.below(101)
                                : random.pick(std::vector<int>{0, 1, 65535, 70000, -5});
    const int fault = random.below(100);
    if (fault < 25) {
        step.fault = Fault::FailingCall;
        step.failingCall = random.percent(70) ? random.between(1, 30) : random.between(31, 200);
    } else if (fault < 32) {
        step.fault = Fault::NoRecycleBin;
    }
    return step;
}

std::string describeStep(const Step& step)
{
    std::string text = kOperationNames[static_cast<std::size_t>(step.operation)] +
                       " row " + std::to_string(step.row) + " choice " +
                       std::to_string(step.choice) + " number " + std::to_string(step.number) +
                       " text \"" + step.text + "\"";
    if (step.declines) text += ", the user declines";
    if (step.fault == Fault::FailingCall)
        text += ", call " + std::to_string(step.failingCall) + " fails";
    if (step.fault == Fault::NoRecycleBin) text += ", no Recycle Bin";
    return text;
}

StepRun runStep(const Step& step, const Collection& collection)
{
    return StepRunner(step, collection).run();
}

} // namespace oxlo::generated
