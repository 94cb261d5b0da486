// The GPS map file that the java stand-in writes for --gmapsupp: an IMG header and directory
// (512-byte blocks, the directory from byte 0x400, the header's own entry first) listing the
// subfiles of the maps and TYP files added, with their sizes; their data is left out.
#pragma once

#include "mapset_index.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace standin {

class GmapsuppImage {
public:
    // Adds the subfiles that the map's own directory lists, unless one of their names is there
    // already: then nothing, and those names ("63240001.TRE") are given back.
    std::vector<std::string> addMap(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        const Bytes map{std::istreambuf_iterator<char>(in), {}};
        std::vector<Entry> found;
        const std::size_t first = map.size() > 0x40 ? map[0x40] * 512u + 512u : map.size();
        for (std::size_t at = first; at + 512 <= map.size(); at += 512) {
            if (map[at] != 1) break;
            found.push_back({std::string(map.begin() + at + 1, map.begin() + at + 9),
                             std::string(map.begin() + at + 9, map.begin() + at + 12),
                             number(map, at + 12)});
        }
        std::vector<std::string> clashes;
        for (const Entry& entry : found)
            if (names_.count({entry.name, entry.type}))
                clashes.push_back(entry.name + "." + entry.type);
        if (clashes.empty())
            for (const Entry& entry : found) add(entry);
        return clashes;
    }
    // Adds a TYP file as mkgmap names it: "x" and its name, in capitals, eight characters with
    // zeros in front; nothing when a TYP of that name is there.
    void addTyp(const std::string& path) {
        std::string name = "x" + path.substr(path.find_last_of("/\\") + 1);
        name = name.substr(0, name.rfind('.'));
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        name = name.size() >= 8 ? name.substr(0, 8) : std::string(8 - name.size(), '0') + name;
        std::ifstream in(path, std::ios::binary | std::ios::ate);
        if (!names_.count({name, "TYP"}))
            add({name, "TYP", static_cast<unsigned>(in.tellg())});
    }
    Bytes bytes() const {
        const std::size_t end = 0x400 + 512 * (entries_.size() + 1);
        Bytes image(end, 0);
        const std::string signature = "DSKIMG";
        std::copy(signature.begin(), signature.end(), image.begin() + 0x10);
        image[0x40] = 2;
        image[0x61] = 9;
        image[0x1FE] = 0x55;
        image[0x1FF] = 0xAA;
        put(image, 0x400, {"        ", "   ", static_cast<unsigned>(end)});
        image[0x410] = 3;
        for (std::size_t i = 0; i < entries_.size(); ++i) put(image, 0x600 + 512 * i, entries_[i]);
        return image;
    }

private:
    struct Entry {
        std::string name, type;
        unsigned size = 0;
    };
    static unsigned number(const Bytes& bytes, std::size_t at) {
        return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | unsigned(bytes[at + 3]) << 24;
    }
    static void put(Bytes& image, std::size_t at, const Entry& entry) {
        image[at] = 1;
        std::copy(entry.name.begin(), entry.name.end(), image.begin() + at + 1);
        std::copy(entry.type.begin(), entry.type.end(), image.begin() + at + 9);
        for (int i = 0; i < 4; ++i)
            image[at + 12 + i] = static_cast<std::uint8_t>(entry.size >> (8 * i));
        std::fill(image.begin() + at + 32, image.begin() + at + 512, 0xFF);
    }
    void add(const Entry& entry) {
        names_.insert({entry.name, entry.type});
        entries_.push_back(entry);
    }

    std::vector<Entry> entries_;
    std::set<std::pair<std::string, std::string>> names_;
};

} // namespace standin
