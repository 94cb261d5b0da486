// The IMG directory reader, from memory: it never reads outside the bytes, each subfile it lists
// has an entry whose name and type it holds, the bytes past the directory's end change nothing,
// and scrambling every byte with another XOR byte gives the same list.
#include "fuzz_support.h"

#include "mapfile/img_directory.h"

#include <cstdint>
#include <vector>

namespace {

using oxlo::fuzz::printable;
using oxlo::fuzz::require;

bool sameList(const std::optional<std::vector<oxlo::mapfile::ImgSubfile>>& a,
              const std::optional<std::vector<oxlo::mapfile::ImgSubfile>>& b)
{
    if (a.has_value() != b.has_value()) return false;
    if (!a) return true;
    if (a->size() != b->size()) return false;
    for (std::size_t i = 0; i < a->size(); ++i)
        if ((*a)[i].name != (*b)[i].name || (*a)[i].type != (*b)[i].type ||
            (*a)[i].size != (*b)[i].size)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    const auto context = [&] {
        return " (bytes " + printable({reinterpret_cast<const char*>(data), size}) + ")";
    };
    const auto read = oxlo::mapfile::readImgDirectory(bytes);
    const auto end = oxlo::mapfile::imgDirectoryEnd(bytes);
    require(read.has_value() == end.has_value(),
            [&] { return "a list without a directory end, or the other way" + context(); });
    if (!read) return 0;
    const std::size_t entries = std::min(*end, size) / 512;
    require(read->size() <= entries, [&] { return "more subfiles than entries" + context(); });
    for (const auto& subfile : *read)
        require(subfile.name.size() <= 8 && !subfile.name.empty() && subfile.type.size() == 3,
                [&] { return "subfile '" + printable(subfile.name) + "'" + context(); });
    if (*end < size)
        require(sameList(read, oxlo::mapfile::readImgDirectory(bytes.first(*end))),
                [&] { return "the bytes after the directory count" + context(); });
    // Of exactly `size` bytes, so that a read past the end is caught; filled through pointers, as
    // the iterator loop of -O1 cost more than the reads themselves.
    std::vector<std::uint8_t> scrambled(size);
    std::uint8_t* const out = scrambled.data();
    for (std::size_t i = 0; i < size; ++i) out[i] = data[i] ^ 0xA5;
    require(sameList(read, oxlo::mapfile::readImgDirectory(scrambled)),
            [&] { return "another XOR byte gives another list" + context(); });
    return 0;
}
