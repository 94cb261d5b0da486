// The mapset index (.TDB) that the stand-in compilers write, laid out as the .TDB files that
// mkgmap writes (version 4.07): a product header block (type 0x50, 16-bit length, product code at
// bytes 3-4, family ID at bytes 5-6, version, series name from byte 9, NUL-terminated, product
// version, family name), a copyright block (0x44), the overview map block (0x42) and a trailer
// (0x54).
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace standin {

using Bytes = std::vector<std::uint8_t>;

inline void putWord(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

inline void putText(Bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

inline void putBlock(Bytes& out, std::uint8_t type, const Bytes& body) {
    out.push_back(type);
    putWord(out, static_cast<unsigned>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
}

inline Bytes mapsetIndex(const std::string& name, unsigned productCode, unsigned familyId,
                         const std::string& copyrightText) {
    Bytes header;
    putWord(header, productCode);
    putWord(header, familyId);
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
    putText(copyright, copyrightText);

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

inline void writeBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

} // namespace standin
