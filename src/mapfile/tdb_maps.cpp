#include "mapfile/tdb_maps.h"

#include "platform/services.h"

namespace oxlo::mapfile {
namespace {
constexpr int kTdbMapsFileNumber = 2; // the map file number: never open at the same time
constexpr std::int64_t kMaxTdbSize = 16 * 1024 * 1024;
} // namespace

std::optional<std::vector<std::uint32_t>> readTdbMapNumbers(const std::string& tdbPath)
{
    const std::int64_t size = platform::fileSize(tdbPath);
    if (size < 0 || size > kMaxTdbSize) return std::nullopt;
    if (platform::openFileForReading(kTdbMapsFileNumber, tdbPath) == 0) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    const std::size_t read = platform::readData(kTdbMapsFileNumber, bytes.data(), bytes.size());
    platform::closeFile(kTdbMapsFileNumber);
    if (read != bytes.size()) return std::nullopt;
    const auto byte = [&](std::size_t at) { return static_cast<std::uint32_t>(
                                                static_cast<unsigned char>(bytes[at])); };
    std::vector<std::uint32_t> numbers;
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (at + 3 > bytes.size()) return std::nullopt;
        const std::size_t length = byte(at + 1) | byte(at + 2) << 8;
        const std::size_t data = at + 3;
        if (data + length > bytes.size()) return std::nullopt;
        if (byte(at) == kTdbDetailMapBlock && length >= 4)
            numbers.push_back(byte(data) | byte(data + 1) << 8 | byte(data + 2) << 16 |
                              byte(data + 3) << 24);
        at = data + length;
    }
    return numbers;
}

} // namespace oxlo::mapfile
