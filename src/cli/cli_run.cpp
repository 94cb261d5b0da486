// The command line itself: CLI11 parses it, each command's function does the work.
#include "cli/cli.h"
#include "cli/commands.h"

#include <CLI/CLI.hpp>

#include <exception>
#include <sstream>

namespace oxlo::cli {

namespace {

constexpr const char* kVersion = "oxlo 1.04";

struct Parsed {
    bool json = false;
    bool yes = false;
    bool deleteFiles = false;
    bool stampTyp = false;
    std::vector<std::string> names;
    std::string name;
    std::string file;
    std::optional<int> priority;
    std::string transparent;
    CreateOptions create;
    EditOptions edit;
};

// A command on one mapset that may ask questions.
CLI::App* mapsetCommand(CLI::App& app, const char* name, const char* description,
                        std::string& mapset, bool& yes) {
    CLI::App* command = app.add_subcommand(name, description);
    command->add_option("MAPSET", mapset, "Key, name or code.")->required();
    command->add_flag("--yes", yes, "Answer Yes to the questions.");
    return command;
}

void addCommands(CLI::App& app, Parsed& p) {
    CLI::App* list = app.add_subcommand("list", "List the installed mapsets and their problems.");
    list->add_flag("--json", p.json, "Write a JSON array of the mapsets.");

    CLI::App* check = app.add_subcommand("check", "Check mapsets; exit status 1 when any has a "
                                                  "problem.");
    check->add_flag("--json", p.json, "Write a JSON array of the checked mapsets.");
    check->add_option("MAPSET", p.names, "Key, name or code (all mapsets when none is given).");

    CLI::App* install = app.add_subcommand("install", "Register a downloaded mapset where it "
                                                      "lies.");
    install->add_option("TDB-OR-FOLDER", p.name, "Its index (.TDB) or the folder holding it.")
        ->required();
    install->add_flag("--yes", p.yes, "Answer Yes to the questions.");
    install->add_flag("--stamp-typ", p.stampTyp, "Give a TYP file of another family the "
                                                 "mapset's family ID (a copy is kept as .bak).");

    CLI::App* uninstall = app.add_subcommand("uninstall", "Uninstall a mapset (a copy of its "
                                                          "registry entry is kept).");
    uninstall->add_option("MAPSET", p.name, "Key, name or code.")->required();
    uninstall->add_flag("--delete-files", p.deleteFiles, "Delete the mapset's files too.");
    uninstall->add_flag("--yes", p.yes, "Answer Yes to the questions.");

    CLI::App* create = app.add_subcommand("create", "Build and register a mapset from .IMG maps.");
    create->add_option("NAME", p.create.name, "The mapset's name.")->required();
    create->add_option("MAP", p.create.maps, "The .IMG maps.")->required();
    create->add_option("--compiler", p.create.compiler, "mkgmap or cgpsmapper.")
        ->check(CLI::IsMember({"mkgmap", "cgpsmapper"}));
    create->add_option("--folder", p.create.folder, "The mapset folder (Custom mode).");
    create->add_option("--family-id", p.create.familyId, "The family ID, 6000 to 7000 (Custom "
                                                         "mode).");
    create->add_option("--typ", p.create.typ, "A TYP file for the mapset.");
    create->add_flag("--yes", p.create.yes, "Answer Yes to the questions.");

    CLI::App* exportBundle = app.add_subcommand("export", "Make a BaseCamp bundle of a "
                                                          "registered mapset with mkgmap.");
    exportBundle->add_option("MAPSET", p.name, "Key, name or code.")->required();
    exportBundle->add_option("FOLDER", p.file, "Where NAME.gmap goes.")->required();
    exportBundle->add_flag("--yes", p.yes, "Answer Yes to the questions.");

    CLI::App* move = app.add_subcommand("move", "Move a registered mapset's files into a folder "
                                                "(as FOLDER\\its folder's name) and its "
                                                "registry entry with them.");
    move->add_option("MAPSET", p.name, "Key, name or code.")->required();
    move->add_option("FOLDER", p.file, "The folder to move it into.")->required();
    move->add_flag("--yes", p.yes, "Answer Yes to the questions.");
    CLI::App* gmapsupp = app.add_subcommand("gmapsupp", "Save mapsets into one GPS map file "
                                                        "with mkgmap.");
    gmapsupp->add_option("FILE", p.file, "The GPS map file (gmapsupp.img).")->required();
    gmapsupp->add_option("MAPSET", p.names, "Keys, names or codes.")->required();
    gmapsupp->add_flag("--yes", p.yes, "Answer Yes to the questions.");

    CLI::App* backup = app.add_subcommand("backup", "Save a mapset's registry entry as a .reg "
                                                    "file; prints its path.");
    backup->add_option("MAPSET", p.name, "Key, name or code.")->required();
    backup->add_option("FILE", p.file, "The .reg file (default: the folder of the automatic "
                                       "copies).");

    CLI::App* edit = mapsetCommand(app, "edit", "Rename a mapset or change its family ID or "
                                                "product code.", p.name, p.edit.yes);
    edit->add_option("--name", p.edit.name, "The new name.");
    edit->add_option("--family-id", p.edit.familyId, "The new family ID (a family).");
    edit->add_option("--product-code", p.edit.productCode, "The new product code (a product).");
    mapsetCommand(app, "locate", "Point a mapset's registry entry at the folder it was moved to.",
                  p.name, p.yes)
        ->add_option("FOLDER", p.file, "The folder that now holds its files.")
        ->required();
    mapsetCommand(app, "remove-entry", "Remove the registry entry of a mapset whose folder is "
                                       "gone.", p.name, p.yes);
    mapsetCommand(app, "fix-typ", "Give a mapset's TYP file its family ID (a copy is kept as "
                                  ".bak).", p.name, p.yes);

    CLI::App* attr = app.add_subcommand("attr", "Show or change maps' draw priority and "
                                                "transparency.");
    attr->add_option("MAP", p.names, "The .IMG maps.")->required();
    attr->add_option("--priority", p.priority, "Draw priority, 1 to 31.");
    attr->add_option("--transparent", p.transparent, "yes or no.")
        ->check(CLI::IsMember({"yes", "no"}));
    attr->add_flag("--yes", p.yes, "Answer Yes to the questions.");
}

int dispatch(CLI::App& app, const Parsed& p, const Streams& streams) {
    const std::string command = app.get_subcommands().front()->get_name();
    if (command == "list") return listMapsets(streams, p.json);
    if (command == "check") return checkMapsets(streams, p.json, p.names);
    if (command == "backup") return backUpMapset(streams, p.name, p.file);
    if (command == "export") return exportMapset(streams, p.name, p.file, p.yes);
    // Asks for the rights itself, once the mapset is known to be a registered one.
    if (command == "move") return moveMapset(streams, p.name, p.file, p.yes);
    if (command == "gmapsupp") return saveForGps(streams, p.file, p.names, p.yes);
    if (command == "attr") {
        std::optional<bool> transparent;
        if (!p.transparent.empty()) transparent = p.transparent == "yes";
        return mapAttributes(streams, p.names, p.priority, transparent, p.yes);
    }
    // These need the rights only for a registered mapset, so they ask once it is found.
    if (command == "edit") return editMapset(streams, p.name, p.edit);
    if (command == "locate") return locateMapset(streams, p.name, p.file, p.yes);
    if (command == "remove-entry") return removeMapsetEntry(streams, p.name, p.yes);
    if (command == "fix-typ") return fixTypFamilyId(streams, p.name, p.yes);
    // The rest change HKEY_LOCAL_MACHINE and the shared mapset folders.
    if (!haveAdministratorRights(streams)) return kExitElevationRequired;
    if (command == "install") return installMapset(streams, p.name, p.yes, p.stampTyp);
    if (command == "uninstall") return uninstallMapset(streams, p.name, p.deleteFiles, p.yes);
    return createMapset(streams, p.create);
}

// The command that the line's first word names, or none.
CLI::App* namedCommand(CLI::App& app, const std::vector<std::string>& arguments) {
    for (CLI::App* command : app.get_subcommands({}))
        if (!arguments.empty() && command->get_name() == arguments.front()) return command;
    return nullptr;
}

// The usage of the command that the line names, else of the program.
std::string usageFor(CLI::App& app, const std::vector<std::string>& arguments) {
    CLI::App* command = namedCommand(app, arguments);
    return command ? command->help() : app.help();
}

} // namespace

int run(const std::vector<std::string>& arguments, const Streams& streams) {
    CLI::App app("Oxlo: MapSource mapsets from a console.", "oxlo");
    app.set_version_flag("--version", kVersion);
    app.require_subcommand(1);
    Parsed parsed;
    addCommands(app, parsed);
    try {
        // CLI11 takes the arguments last to first.
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        streams.out(usageFor(app, arguments));
        return kExitDone;
    } catch (const CLI::CallForVersion&) {
        streams.out(std::string(kVersion) + "\n");
        return kExitDone;
    } catch (const CLI::ParseError& error) {
        // CLI11 says only that a command is required when the first word names none.
        const bool unknownCommand = !arguments.empty() && !arguments.front().starts_with("-") &&
                                    !namedCommand(app, arguments);
        streams.err("oxlo: " +
                    (unknownCommand ? "unknown command: " + arguments.front()
                                    : std::string(error.what())) +
                    "\n" + usageFor(app, arguments));
        return kExitUsage;
    }
    // A failure no command expected still ends as a message and a failed status, never as a
    // crash that leaves the user without a word.
    try {
        return dispatch(app, parsed, streams);
    } catch (const std::exception& error) {
        streams.err(std::string("oxlo: ") + error.what() + "\n");
    } catch (...) {
        streams.err("oxlo: an unexpected failure stopped the command.\n");
    }
    return kExitFailed;
}

} // namespace oxlo::cli
