// The mapset index parser of the install and the bundle export: the names are NUL-free texts that
// the file holds followed by a NUL, a header block at the start gives the words at offsets 3 and
// 5, each map number is one of the file's 0x4C blocks, and the parse that refuses a block cut
// short gives nothing or the same index.
#include "fuzz_support.h"

#include "mapfile/tdb_index.h"

#include <cstdint>
#include <string>

namespace {

using oxlo::mapfile::CutShortTdb;
using oxlo::fuzz::printable;
using oxlo::fuzz::require;

unsigned byteAt(const std::string& file, std::size_t position)
{
    return static_cast<unsigned char>(file[position]);
}

bool heldWithNul(const std::string& file, const std::string& text)
{
    return text.find('\0') == std::string::npos && file.find(text + '\0') != std::string::npos;
}

std::string littleEndian(std::uint32_t number)
{
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(number >> shift & 0xFF);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string file(reinterpret_cast<const char*>(data), size);
    const auto context = [&] { return " (file " + printable(file) + ")"; };

    const auto whole = oxlo::mapfile::parseTdbIndex(file, CutShortTdb::refuse);
    const auto parsed = oxlo::mapfile::parseTdbIndex(file, CutShortTdb::keepWhatWasRead);
    if (!parsed) {
        require(!whole, [&] { return "only the whole file's parse gives an index" + context(); });
        return 0;
    }
    require(!whole || (whole->mapNumbers == parsed->mapNumbers &&
                       whole->seriesName == parsed->seriesName &&
                       whole->familyName == parsed->familyName),
            [&] { return "the whole file's parse differs from the one up to a cut" + context(); });
    require(heldWithNul(file, parsed->seriesName),
            [&] { return "series name '" + printable(parsed->seriesName) + "'" + context(); });
    require(parsed->familyName.empty() || heldWithNul(file, parsed->familyName),
            [&] { return "family name '" + printable(parsed->familyName) + "'" + context(); });
    if (byteAt(file, 0) == 0x50) {
        require(parsed->productId == (byteAt(file, 3) | byteAt(file, 4) << 8) &&
                    parsed->familyId == (byteAt(file, 5) | byteAt(file, 6) << 8),
                [&] { return "the IDs are not the words at offsets 3 and 5" + context(); });
    }
    for (const std::uint32_t number : parsed->mapNumbers) {
        require(file.find(littleEndian(number)) != std::string::npos,
                [&] { return "map number " + std::to_string(number) + context(); });
    }
    return 0;
}
