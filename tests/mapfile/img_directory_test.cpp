// The IMG directory reader: the subfiles of mkgmap's maps in tests/data, and directories laid out
// here, whole, scrambled with the XOR byte, cut short or broken, from memory and from a file.
#include "mapfile/img_directory.h"

#include "platform/host_files.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace oxlo::testing {
namespace {

using ImageBytes = std::vector<std::uint8_t>;

struct Subfile {
    std::string name, type;
    std::uint32_t size;
    std::uint16_t part = 0;
    std::uint8_t flag = 1;
};

void putNumber(ImageBytes& image, std::size_t at, std::uint32_t value, int length)
{
    for (int i = 0; i < length; ++i) image[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void putText(ImageBytes& image, std::size_t at, const std::string& text)
{
    std::copy(text.begin(), text.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
}

// An image with the directory at 512-byte unit 2 and `subfiles` after the header's own entry.
ImageBytes imageOf(const std::vector<Subfile>& subfiles)
{
    const std::size_t end = 0x400 + 512 * (subfiles.size() + 1);
    ImageBytes image(end, 0);
    putText(image, 0x10, "DSKIMG");
    image[0x40] = 2;
    image[0x61] = 9;
    std::vector<Subfile> entries{{"", "", static_cast<std::uint32_t>(end), 3}};
    entries.insert(entries.end(), subfiles.begin(), subfiles.end());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::size_t at = 0x400 + 512 * i;
        image[at] = entries[i].flag;
        putText(image, at + 1, (entries[i].name + "        ").substr(0, 8));
        putText(image, at + 9, (entries[i].type + "   ").substr(0, 3));
        putNumber(image, at + 12, entries[i].size, 4);
        putNumber(image, at + 16, entries[i].part, 2);
    }
    return image;
}

std::vector<std::string> namesIn(const std::optional<std::vector<mapfile::ImgSubfile>>& read)
{
    std::vector<std::string> names;
    if (!read) return {"(none)"};
    for (const auto& subfile : *read)
        names.push_back(subfile.name + "." + subfile.type + ":" + std::to_string(subfile.size));
    return names;
}

TEST(ImgDirectory, ListsEachSubfileOnceAndRefusesWhatIsNoImage)
{
    const std::vector<Subfile> maps = {{"63240011", "TRE", 716}, {"63240011", "RGN", 286},
                                       {"000XSTYL", "TYP", 178}};
    const std::vector<std::string> listed = {"63240011.TRE:716", "63240011.RGN:286",
                                             "000XSTYL.TYP:178"};
    struct Case {
        const char* what;
        std::function<void(ImageBytes&)> change;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"as written", [](ImageBytes&) {}, listed},
        {"scrambled with the XOR byte",
         [](ImageBytes& image) {
             for (auto& byte : image) byte ^= 0x5A;
         },
         listed},
        {"an entry not in use", [](ImageBytes& image) { image[0x600] = 0; },
         {"63240011.RGN:286", "000XSTYL.TYP:178"}},
        {"a second part repeating a name",
         [](ImageBytes& image) { putText(image, 0xA01, "63240011RGN"); },
         {"63240011.TRE:716", "63240011.RGN:286"}},
        {"the directory ending before the last entry",
         [](ImageBytes& image) { putNumber(image, 0x40C, 0x800, 4); }, {"63240011.TRE:716"}},
        {"the last entry cut off", [](ImageBytes& image) { image.resize(image.size() - 1); },
         {"63240011.TRE:716", "63240011.RGN:286"}},
        {"no signature", [](ImageBytes& image) { image[0x10] = 'X'; }, {"(none)"}},
        {"no header entry first", [](ImageBytes& image) { image[0x401] = 'A'; }, {"(none)"}},
        {"the directory past the bytes", [](ImageBytes& image) { image[0x40] = 200; }, {"(none)"}},
        {"only the header", [](ImageBytes& image) { image.resize(0x3FF); }, {"(none)"}},
    };
    for (const Case& c : cases) {
        ImageBytes image = imageOf(maps);
        c.change(image);
        EXPECT_EQ(namesIn(mapfile::readImgDirectory(image)), c.expected) << c.what;
    }
}

TEST(ImgDirectory, ReadsTheMapsOfTestDataAndOnlyFilesWithTheirWholeDirectory)
{
    const std::string folder = freshTestFolder("ImgDirectory");
    const std::filesystem::path data(OXLO_TEST_DATA);
    std::filesystem::copy_file(data / "village-two-maps.img", hostPath(folder + "\\two.img"));
    EXPECT_EQ(namesIn(mapfile::readImgDirectoryOf(folder + "\\two.img")),
              (std::vector<std::string>{"MAKEGMAP.MPS:155", "63240011.RGN:286",
                                        "63240011.TRE:716", "63240011.LBL:340",
                                        "63240012.RGN:350", "63240012.TRE:718",
                                        "63240012.LBL:340", "00006324.SRT:879"}));

    // A directory bigger than the first bytes read, then the same file cut inside it.
    std::vector<Subfile> many;
    for (int i = 0; i < 300; ++i) many.push_back({std::to_string(10000000 + i), "TRE", 1});
    const ImageBytes big = imageOf(many);
    const std::string file = folder + "\\big.img";
    for (const std::size_t length : {big.size(), big.size() - 512}) {
        std::ofstream(hostPath(file), std::ios::binary)
            .write(reinterpret_cast<const char*>(big.data()), static_cast<std::streamsize>(length));
        const auto read = mapfile::readImgDirectoryOf(file);
        EXPECT_EQ(read ? read->size() : 0u, length == big.size() ? 300u : 0u) << length;
    }
    EXPECT_FALSE(mapfile::readImgDirectoryOf(folder + "\\missing.img"));
}

} // namespace
} // namespace oxlo::testing
