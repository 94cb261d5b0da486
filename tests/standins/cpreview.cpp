// Stand-in for cpreview.exe in tests: reads the control file named on its command line (default
// "Oxlo.txt") in the current folder and writes the overview map source NAME.mp, NAME taken from
// the "FileName=" line. The source holds, per map, one [RGN40] section that the build keeps, and
// two that it must take out: one with Type=6 as its first line, one with a Type=7 line later.
// What it is told to do by "standin-control.txt" is described in standin_control.h.
#include "standin_control.h"

#include <fstream>
#include <string>
#include <vector>

namespace {

std::string valueAfter(const std::string& line, const std::string& key) {
    return line.rfind(key, 0) == 0 ? line.substr(key.size()) : std::string();
}

} // namespace

int main(int argc, char** argv) {
    const standin::Control control("cpreview");
    const std::string controlFile = argc > 1 ? argv[1] : "Oxlo.txt";
    control.say("cPreview stand-in 1.0");
    control.floodIfAsked("cpreview");
    if (control.has("fail")) {
        control.say("Error: cannot make a preview of " + controlFile);
        return 1;
    }

    std::ifstream input(controlFile, std::ios::binary);
    if (!input) {
        control.say("Error: cannot open " + controlFile);
        return 2;
    }
    if (control.has("keep-input")) {
        std::ofstream("cpreview-input.txt", std::ios::binary) << input.rdbuf();
        input.clear();
        input.seekg(0);
    }
    std::string name, familyId, productCode, mapsetName;
    std::vector<std::string> maps;
    for (std::string line; std::getline(input, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("FileName=", 0) == 0) name = valueAfter(line, "FileName=");
        if (line.rfind("FID=", 0) == 0) familyId = valueAfter(line, "FID=");
        if (line.rfind("ProductCode=", 0) == 0) productCode = valueAfter(line, "ProductCode=");
        if (line.rfind("MapSetName=", 0) == 0) mapsetName = valueAfter(line, "MapSetName=");
        if (line.rfind("IMG=", 0) == 0) maps.push_back(valueAfter(line, "IMG="));
    }
    control.say("Read " + controlFile + ": " + std::to_string(maps.size()) + " maps");
    if (name.empty()) {
        control.say("Error: no FileName= in " + controlFile);
        return 3;
    }
    if (control.has("no-output")) {
        control.say("Done");
        return 0;
    }

    std::ofstream source(name + ".mp", std::ios::binary);
    source << "[IMG ID]\r\nName=" << mapsetName << "\r\nID=" << familyId
           << "\r\nProductCode=" << productCode << "\r\nPreview=Y\r\nLevels=2\r\n"
           << "Level0=11\r\nLevel1=10\r\n[END-IMG ID]\r\n\r\n";
    int row = 0;
    for (const std::string& map : maps) {
        ++row;
        source << "[RGN40]\r\nType=0x4a\r\nLabel=" << map << "~[0x1d]" << map << "\r\n"
               << "Data0=(47." << row << ",11.0),(47." << row << ",11.5)\r\n[END]\r\n\r\n";
        source << "[RGN40]\r\nType=6\r\nLabel=Background " << map << "\r\n"
               << "Data0=(47." << row << ",11.0),(47." << row << ",11.2)\r\n[END]\r\n\r\n";
        source << "[RGN40]\r\nLabel=Coverage " << map << "\r\nType=7\r\n"
               << "Data0=(47." << row << ",11.1),(47." << row << ",11.3)\r\n[END]\r\n\r\n";
    }
    control.say("Wrote " + name + ".mp with " + std::to_string(3 * maps.size()) +
                " area sections");
    return 0;
}
