#include "mapfile/img_directory.h"

#include "mapfile/map_file.h"

#include <set>
#include <utility>

namespace oxlo::mapfile {

namespace {

constexpr std::size_t kEntrySize = 512;
constexpr std::size_t kSignaturePosition = 0x10;
constexpr std::size_t kDirectoryStartPosition = 0x40;
constexpr std::size_t kHeaderSize = 0x200;

// The file's bytes as written: each XORed with the byte at position 0.
class ImgBytes {
public:
    explicit ImgBytes(std::span<const std::uint8_t> bytes)
        : bytes_(bytes), key_(bytes.empty() ? 0 : bytes[0])
    {
    }
    std::size_t size() const { return bytes_.size(); }
    std::uint8_t at(std::size_t position) const
    {
        return static_cast<std::uint8_t>(bytes_[position] ^ key_);
    }
    std::uint32_t number(std::size_t position, int length) const
    {
        std::uint32_t value = 0;
        for (int i = length - 1; i >= 0; --i) value = (value << 8) | at(position + i);
        return value;
    }
    std::string text(std::size_t position, std::size_t length) const
    {
        std::string text;
        for (std::size_t i = 0; i < length; ++i) text += static_cast<char>(at(position + i));
        return text;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::uint8_t key_;
};

struct Entry {
    bool used = false;
    std::string name, type;
    std::uint32_t size = 0;
    std::uint32_t part = 0;
};

Entry entryAt(const ImgBytes& img, std::size_t position)
{
    std::string name = img.text(position + 1, 8);
    name.erase(name.find_last_not_of(' ') + 1);
    return {img.at(position) == 1, name, img.text(position + 9, 3), img.number(position + 12, 4),
            img.number(position + 16, 2)};
}

bool isImg(const ImgBytes& img)
{
    return img.size() >= kHeaderSize && img.text(kSignaturePosition, 6) == "DSKIMG";
}

std::size_t directoryStart(const ImgBytes& img)
{
    return img.at(kDirectoryStartPosition) * kEntrySize;
}

} // namespace

std::optional<std::size_t> imgDirectoryEnd(std::span<const std::uint8_t> head)
{
    const ImgBytes img(head);
    if (!isImg(img)) return std::nullopt;
    const std::size_t start = directoryStart(img);
    if (start < kHeaderSize || start + kEntrySize > img.size()) return std::nullopt;
    const Entry first = entryAt(img, start);
    // The header's own entry, which every writer puts first, tells where the directory ends.
    if (!first.used || !first.name.empty()) return std::nullopt;
    return std::max<std::size_t>(first.size, start + kEntrySize);
}

std::optional<std::vector<ImgSubfile>> readImgDirectory(std::span<const std::uint8_t> bytes)
{
    const std::optional<std::size_t> end = imgDirectoryEnd(bytes);
    if (!end) return std::nullopt;
    const ImgBytes img(bytes);
    const std::size_t last = std::min(*end, img.size());
    std::vector<ImgSubfile> subfiles;
    std::set<std::pair<std::string, std::string>> seen;
    for (std::size_t at = directoryStart(img) + kEntrySize; at + kEntrySize <= last;
         at += kEntrySize) {
        const Entry entry = entryAt(img, at);
        // Further parts of a big subfile repeat its name; only the first holds its size.
        if (!entry.used || entry.name.empty() || !seen.emplace(entry.name, entry.type).second)
            continue;
        subfiles.push_back({entry.name, entry.type, entry.size});
    }
    return subfiles;
}

std::optional<std::vector<ImgSubfile>> readImgDirectoryOf(const std::string& path)
{
    const auto asBytes = [](const std::string& text) {
        return std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()),
                                             text.size());
    };
    const std::optional<std::string> head = readFileStart(path, kImgHeadSize);
    if (!head) return std::nullopt;
    const std::optional<std::size_t> end = imgDirectoryEnd(asBytes(*head));
    if (!end || *end > kMaxImgDirectorySize) return std::nullopt;
    if (*end <= head->size()) return readImgDirectory(asBytes(*head));
    const std::optional<std::string> whole = readFileStart(path, *end);
    if (!whole || whole->size() < *end) return std::nullopt;
    return readImgDirectory(asBytes(*whole));
}

} // namespace oxlo::mapfile
