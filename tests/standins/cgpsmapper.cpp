// Stand-in for cgpsmapper.exe in tests: takes `-e "NAME.mp"`, reads NAME.mp in the current folder
// and writes the overview map NAME.IMG and the mapset index NAME.TDB. The index is laid out as
// the .TDB files that mkgmap writes (version 4.07): a product header block (type 0x50, 16-bit
// length, product code at bytes 3-4, family ID at bytes 5-6, version, series name from byte 9,
// NUL-terminated, product version, family name), a copyright block (0x44), the overview map
// block (0x42) and a trailer (0x54). The family ID is left 0 for the installer to stamp. It
// prints every argument it got, one a line, so a test sees the command line it was given.
// What it is told to do by "standin-control.txt" is described in standin_control.h.
#include "standin_control.h"

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void putWord(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void putText(Bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

void putBlock(Bytes& out, std::uint8_t type, const Bytes& body) {
    out.push_back(type);
    putWord(out, static_cast<unsigned>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
}

Bytes mapsetIndex(const std::string& name, unsigned productCode) {
    Bytes header;
    putWord(header, productCode);
    putWord(header, 0); // family ID
    putWord(header, 407);
    putText(header, name);
    putWord(header, 100);
    putText(header, name);
    // The rest of a 4.07 header as mkgmap writes it (levels, code page, flags).
    const Bytes tail = {0x00, 0x12, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x18};
    header.insert(header.end(), tail.begin(), tail.end());
    header.insert(header.end(), 23, 0x00);
    const Bytes end = {0x10, 0x27, 0x00, 0x00, 0x01, 0x00, 0x00};
    header.insert(header.end(), end.begin(), end.end());

    Bytes copyright = {0x06, 0x03, 0x00};
    putText(copyright, "Made by the cgpsmapper stand-in of Oxlo's tests");

    Bytes overview;
    putWord(overview, 0);
    putWord(overview, 0); // map number, parent
    for (int i = 0; i < 4; ++i) putWord(overview, 0), putWord(overview, 0); // bounds
    putText(overview, name + " overview");

    Bytes index;
    putBlock(index, 0x50, header);
    putBlock(index, 0x44, copyright);
    putBlock(index, 0x42, overview);
    putBlock(index, 0x54, Bytes(20, 0x00));
    return index;
}

} // namespace

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
    const Bytes index = mapsetIndex(name, productCode);
    const std::size_t indexSize = control.has("short-index") ? 3 : index.size();
    std::ofstream tdb(name + ".TDB", std::ios::binary);
    tdb.write(reinterpret_cast<const char*>(index.data()), static_cast<std::streamsize>(indexSize));
    control.say("Wrote " + name + ".IMG and " + name + ".TDB");
    return 0;
}
