// Stand-in for cgpsmapper.exe in tests: takes `-e "NAME.mp"`, reads NAME.mp in the current folder
// and writes the overview map NAME.IMG and the mapset index NAME.TDB (see mapset_index.h), whose
// family ID is left 0 for the installer to stamp. It prints every argument it got, one a line, so
// a test sees the command line it was given.
// What it is told to do by "standin-control.txt" is described in standin_control.h.
#include "mapset_index.h"
#include "standin_control.h"

#include <fstream>
#include <string>

int main(int argc, char** argv) {
    const standin::Control control("cgpsmapper");
    control.say("cGPSmapper stand-in 1.0");
    for (int i = 1; i < argc; ++i) control.say(std::string("argument: ") + argv[i]);
    control.floodIfAsked("cgpsmapper");
    if (argc != 3 || std::string(argv[1]) != "-e") {
        control.say("Error: usage cgpsmapper -e \"NAME.mp\"");
        return 2;
    }
    const std::string source = argv[2];
    if (source.size() < 4 || source.substr(source.size() - 3) != ".mp") {
        control.say("Error: " + source + " is not a .mp file");
        return 2;
    }
    const std::string name = source.substr(0, source.size() - 3);
    if (control.has("fail")) {
        control.say("Error E006: cannot compile " + source);
        return 1;
    }
    std::ifstream input(source, std::ios::binary);
    if (!input) {
        control.say("Error: cannot open " + source);
        return 3;
    }
    unsigned productCode = 1, sections = 0;
    for (std::string line; std::getline(input, line);) {
        if (line.rfind("ProductCode=", 0) == 0) productCode = std::stoul(line.substr(12));
        if (line.rfind("[RGN40]", 0) == 0) ++sections;
    }
    control.say("Compiled " + std::to_string(sections) + " area sections of " + source);
    if (control.has("no-output")) return 0;

    std::ofstream overview(name + ".IMG", std::ios::binary);
    const std::string signature = "DSKIMG stand-in overview map " + name;
    overview.write(signature.data(), static_cast<std::streamsize>(signature.size()));
    standin::Bytes index =
        standin::mapsetIndex(name, productCode, 0, "Made by the cgpsmapper stand-in of Oxlo's tests");
    if (control.has("short-index")) index.resize(3);
    standin::writeBytes(name + ".TDB", index);
    control.say("Wrote " + name + ".IMG and " + name + ".TDB");
    return 0;
}
