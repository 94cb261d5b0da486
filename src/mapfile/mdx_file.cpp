#include "mapfile/mdx_file.h"

#include "platform/services.h"

#include <cstring>

namespace oxlo::mapfile {

namespace {

// Its own number, so that no file the caller has open is closed by ours.
constexpr int kMdxFileNumber = 4;

constexpr std::size_t kMdxHeaderSize = 14;
constexpr std::uint32_t kFamilyIdInRecord = 6;

std::uint32_t little(const unsigned char* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

} // namespace

std::optional<std::vector<HeldWord>> readMdxFamilyIds(const std::string& path) {
    const std::int64_t size = platform::fileSize(path);
    if (size < static_cast<std::int64_t>(kMdxHeaderSize) ||
        platform::openFileForReading(kMdxFileNumber, path) == 0)
        return std::nullopt;
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    std::size_t got = 0;
    for (std::size_t more = 1; got < bytes.size() && more != 0; got += more)
        more = platform::readData(kMdxFileNumber, bytes.data() + got, bytes.size() - got);
    platform::closeFile(kMdxFileNumber);
    if (got != bytes.size() || std::memcmp(bytes.data(), "Midx", 4) != 0) return std::nullopt;
    const std::uint32_t recordSize = little(&bytes[6], 4);
    const std::uint32_t count = little(&bytes[10], 4);
    if (recordSize < kFamilyIdInRecord + 2 ||
        (bytes.size() - kMdxHeaderSize) / recordSize < count)
        return std::nullopt;
    std::vector<HeldWord> ids;
    for (std::uint32_t record = 0; record < count; ++record) {
        const std::size_t at =
            kMdxHeaderSize + std::size_t{record} * recordSize + kFamilyIdInRecord;
        const auto id = static_cast<std::uint16_t>(little(&bytes[at], 2));
        ids.push_back({static_cast<std::int64_t>(at), id});
    }
    return ids;
}

} // namespace oxlo::mapfile
