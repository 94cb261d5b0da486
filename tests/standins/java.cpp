// Stand-in for java.exe running mkgmap.jar in tests: `java [-D...] -jar PATH\mkgmap.jar OPTIONS
// TILES`. It refuses to run without "-jar" and an existing file named mkgmap.jar, as java does,
// takes "-c FILE" as mkgmap does (each line "option: value" or "option=value", "#" comments,
// input-file relative to FILE's folder; the lines as read go to "standin-java-config.txt"), and
// acts as mkgmap does with --tdbfile and --index: each tile must be a Garmin map ("DSKIMG" at byte
// 16), and into --output-dir (the current folder without it) it writes the mapset index
// NAME.tdb (see mapset_index.h: product ID, family ID and series name from the options), the
// overview map NAME.img (with a TRE header), and the search index NAME.mdx and NAME_mdr.img, where
// NAME is --overview-mapname. Like mkgmap it prints only to standard error. It writes its
// arguments, one a line, to "standin-java-arguments.txt" in the current folder.
//
// Orders in "standin-control.txt" (see standin_control.h) for the tool "mkgmap": fail, no-output,
// flood, silent, slow, and
//   no-index     write the mapset index and overview map, but no search index
//   no-overview  write the mapset index only
//   exit-1       write everything, then end with status 1 (mkgmap after an error)
//
// With --gmapsupp it also writes gmapsupp.img into the output folder as mkgmap does: an IMG
// directory (gmapsupp_image.h) of every map's subfiles, as the map's own directory names them,
// and of each TYP file as "x" and its name; a map whose subfile names are already in it is left
// out with only a warning, and a TYP of a name already there is left out in silence, both with
// exit status 0. The order "drop-last-map" leaves the last map out in silence. A copy of the file
// goes to "standin-java-gmapsupp.img" in the current folder, for tests whose output folder goes.
#include "gmapsupp_image.h"
#include "mapset_index.h"
#include "standin_control.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

bool endsWithIgnoringCase(const std::string& text, const std::string& end) {
    if (text.size() < end.size()) return false;
    return std::equal(end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

bool isGarminMap(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char start[22] = {};
    in.read(start, sizeof start);
    return in.gcount() == sizeof start && std::string(start + 16, 6) == "DSKIMG";
}

// A small Garmin map: the image signature, and one TRE header with room for its attributes.
standin::Bytes garminMap(const std::string& subfile) {
    standin::Bytes map(1024, 0x00);
    const std::string image = "DSKIMG";
    std::copy(image.begin(), image.end(), map.begin() + 16);
    const std::string header = "GARMIN " + subfile;
    map[0x200] = 0x78; // header length
    std::copy(header.begin(), header.end(), map.begin() + 0x202);
    return map;
}

} // namespace

int main(int argc, char** argv) {
    // mkgmap writes its messages to standard error only.
    std::cout.rdbuf(std::cerr.rdbuf());
    const standin::Control control("mkgmap");
    {
        std::ofstream record("standin-java-arguments.txt", std::ios::binary);
        for (int i = 1; i < argc; ++i) record << argv[i] << '\n';
    }
    int first = 1; // the Java options before -jar
    while (first < argc && std::string(argv[first]).rfind("-D", 0) == 0) ++first;
    if (argc < first + 2 || std::string(argv[first]) != "-jar") {
        control.say("Usage: java -jar jarfile [args...]");
        return 1;
    }
    const std::string jar = argv[first + 1];
    if (!endsWithIgnoringCase(jar, "mkgmap.jar") || !std::ifstream(jar)) {
        control.say("Error: Unable to access jarfile " + jar);
        return 1;
    }
    control.say("Mkgmap version stand-in");
    control.floodIfAsked("mkgmap");

    std::map<std::string, std::string> options;
    std::vector<std::string> tiles;
    const auto option = [&](const std::string& name, const std::string& value) {
        if (name == "input-file")
            tiles.push_back(value);
        else
            options[name] = value;
    };
    for (int i = first + 2; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "-c" && i + 1 < argc) {
            const std::string file = argv[++i];
            const auto slash = file.find_last_of("/\\");
            const std::string folder = slash == std::string::npos ? "" : file.substr(0, slash + 1);
            std::ifstream config(file, std::ios::binary);
            if (!config) {
                control.say("SEVERE (global): Failed to read option file.");
                return 1;
            }
            std::ofstream record("standin-java-config.txt", std::ios::binary);
            for (std::string line; std::getline(config, line);) {
                if (!line.empty() && line.back() == '\r') line.pop_back();
                record << line << '\n';
                const auto split = line.find_first_of(":=");
                if (line.empty() || line[0] == '#' || split == std::string::npos) continue;
                const auto start = line.find_first_not_of(' ', split + 1);
                const std::string value = start == std::string::npos ? "" : line.substr(start);
                const std::string name = line.substr(0, split);
                // mkgmap reads a relative input file from the argument file's folder.
                const bool absolute = value.size() > 1 && (value[1] == ':' || value[0] == '/' ||
                                                           value[0] == '\\');
                option(name, name == "input-file" && !absolute ? folder + value : value);
            }
            continue;
        }
        if (argument.rfind("--", 0) != 0) {
            tiles.push_back(argument);
            continue;
        }
        const auto equals = argument.find('=');
        option(argument.substr(2, equals == std::string::npos ? equals : equals - 2),
               equals == std::string::npos ? std::string() : argument.substr(equals + 1));
    }
    if (control.has("fail")) {
        control.say("SEVERE (global): stand-in told to fail");
        return 1;
    }
    for (const std::string& tile : tiles) {
        if (!endsWithIgnoringCase(tile, ".typ") && !isGarminMap(tile)) {
            control.say("SEVERE (global): could not open file Failed to create or open file " +
                        tile + " (thrown in Main.endOptions())");
            control.say("Number of ExitExceptions: 1");
            return 1;
        }
        control.say("Read " + tile);
    }
    if (control.has("no-output")) return 0;

    const std::string folder = options.count("output-dir") ? options["output-dir"] + "/" : "";
    const std::string name =
        options.count("overview-mapname") ? options["overview-mapname"] : "osmmap";
    const auto number = [&](const char* option, unsigned fallback) {
        return options.count(option) ? static_cast<unsigned>(std::stoul(options[option]))
                                     : fallback;
    };
    const std::string series = options.count("series-name") ? options["series-name"] : "OSM map";
    standin::writeBytes(folder + name + ".tdb",
                        standin::mapsetIndex(series, number("product-id", 1),
                                             number("family-id", 6324),
                                             "Made by the java stand-in of Oxlo's tests"));
    if (!control.has("no-overview")) {
        standin::writeBytes(folder + name + ".img", garminMap("TRE"));
        if (!control.has("no-index") && options.count("index")) {
            standin::writeBytes(folder + name + ".mdx", {'M', 'i', 'd', 'x', 'd', 0x00});
            standin::writeBytes(folder + name + "_mdr.img", garminMap("MDR"));
        }
    }
    if (control.has("exit-1")) {
        control.say("SEVERE (global): stand-in told to end with status 1");
        return 1;
    }
    if (options.count("gmapsupp")) {
        standin::GmapsuppImage image;
        std::size_t maps = 0;
        for (const std::string& tile : tiles)
            maps += endsWithIgnoringCase(tile, ".typ") ? 0 : 1;
        for (const std::string& tile : tiles) {
            if (endsWithIgnoringCase(tile, ".typ")) {
                image.addTyp(tile);
            } else if (--maps > 0 || !control.has("drop-last-map")) {
                for (const std::string& clash : image.addMap(tile))
                    control.say("WARNING (global): Could not copy " + clash +
                                " uk.me.parabola.imgfmt.FileExistsException: File " + clash +
                                " already exists");
            }
        }
        standin::writeBytes(folder + "gmapsupp.img", image.bytes());
        standin::writeBytes("standin-java-gmapsupp.img", image.bytes());
    }
    if (options.count("gmapi")) {
        // The bundle as mkgmap lays it out, with the index and overview map's name.
        const std::string bundle = folder + name + ".gmap/";
        std::filesystem::create_directories(bundle + "Product1/" + name);
        // Each map unpacked into a folder named by its file name, eight characters at most.
        for (const std::string& tile : tiles) {
            if (endsWithIgnoringCase(tile, ".typ")) continue;
            // A Garmin map is whole blocks of 512 bytes: mkgmap skips one cut short with a
            // warning and still succeeds.
            if (std::filesystem::file_size(tile) % 512 != 0) {
                control.say("SEVERE (global): " + tile + " is not a complete map; skipped");
                continue;
            }
            const std::string stem = std::filesystem::path(tile).stem().string().substr(0, 8);
            std::filesystem::create_directories(bundle + "Product1/" + stem);
            standin::writeBytes(bundle + "Product1/" + stem + "/" + stem + ".TRE", garminMap("TRE"));
        }
        standin::writeBytes(bundle + "Product1/" + name + ".tdb",
                            standin::mapsetIndex(series, 1, number("family-id", 6324), "stand-in"));
        std::ofstream(bundle + "Info.xml", std::ios::binary)
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<MapProduct xmlns=\""
               "http://www.garmin.com/xmlschemas/MapProduct/v1\">\n <Name>"
            << options["family-name"] << "</Name>\n <ID>" << number("family-id", 6324)
            << "</ID>\n<SubProduct>\n <ID>1</ID>\n <BaseMap>" << name << "</BaseMap>\n <TDB>"
            << name << ".tdb</TDB>\n <Directory>Product1</Directory>\n</SubProduct>\n"
            << "</MapProduct>\n";
    }
    control.say("Number of ExitExceptions: 0");
    return 0;
}
