// gps_file_bench [MB]
// Save for GPS of one mapset of about MB megabytes (1024 unless given) with the real mkgmap:
// maps of 5 MiB each, made from Hills' first map with its RGN subfile padded and its subfiles
// named after each map's number, in 64 KiB blocks. Prints the time of the whole save (checks,
// mkgmap, the check of the new file's directory and its placing) against `cp` of the same maps,
// and what the file holds; asserts nothing. Natively Oxlo runs under the sanitizers, but nearly
// all the time is mkgmap's.
#include "gps_test_support.h"
#include "mkgmap_runtime.h"

#include "builder/gps_save.h"
#include "mapfile/img_directory.h"
#include "platform/portable/scripted_ui.h"
#include "platform/services.h"
#include "support/test_folder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace oxlo;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr std::size_t kMapSize = 5 * 1024 * 1024;
constexpr std::size_t kBlock = 64 * 1024;
constexpr std::uint32_t kFirstMap = 70000001;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void put(Bytes& bytes, std::size_t at, std::uint32_t value, int length)
{
    for (int i = 0; i < length; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

struct Subfile {
    std::string type;
    Bytes data;
};

// The subfiles of an IMG file with 512-byte blocks and one entry each, as mkgmap writes a map.
std::vector<Subfile> subfilesOf(const Bytes& map)
{
    std::vector<Subfile> subfiles;
    for (std::size_t at = map[0x40] * 512 + 512; at + 512 <= map.size() && map[at] == 1; at += 512) {
        Subfile subfile{std::string(map.begin() + at + 9, map.begin() + at + 12), {}};
        const std::size_t size = map[at + 12] | map[at + 13] << 8 | map[at + 14] << 16;
        for (std::size_t i = 0; i < 240 && subfile.data.size() < size; ++i) {
            const std::size_t block = map[at + 32 + 2 * i] | map[at + 33 + 2 * i] << 8;
            subfile.data.insert(subfile.data.end(), map.begin() + block * 512,
                                map.begin() + block * 512 + 512);
        }
        subfile.data.resize(size);
        subfiles.push_back(std::move(subfile));
    }
    return subfiles;
}

// The map `number`: the subfiles of `model` under its number, the RGN padded to make kMapSize.
Bytes bigMap(const std::vector<Subfile>& model, const Bytes& header, std::uint32_t number)
{
    Bytes image(kBlock, 0);
    std::copy(header.begin(), header.begin() + 512, image.begin());
    image[0x61] = 9;
    image[0x62] = 7; // 2^(9+7): 64 KiB blocks
    const auto entry = [&](std::size_t at, const std::string& name, const std::string& type,
                           std::size_t size, std::size_t firstBlock, std::size_t blocks) {
        image[at] = 1;
        std::copy(name.begin(), name.end(), image.begin() + at + 1);
        std::copy(type.begin(), type.end(), image.begin() + at + 9);
        put(image, at + 12, static_cast<std::uint32_t>(size), 4);
        std::fill(image.begin() + at + 32, image.begin() + at + 512, 0xFF);
        for (std::size_t i = 0; i < blocks; ++i)
            put(image, at + 32 + 2 * i, static_cast<std::uint32_t>(firstBlock + i), 2);
    };
    entry(0x400, "        ", "   ", kBlock, 0, 1);
    image[0x410] = 3;
    std::size_t used = 0;
    for (const Subfile& subfile : model) used += subfile.data.size();
    std::size_t block = 1, at = 0x600;
    for (const Subfile& subfile : model) {
        Bytes data = subfile.data;
        if (subfile.type == "RGN") data.resize(data.size() + kMapSize - kBlock * 4 - used, 0);
        const std::size_t blocks = (data.size() + kBlock - 1) / kBlock;
        entry(at, std::to_string(number), subfile.type, data.size(), block, blocks);
        data.resize(blocks * kBlock, 0);
        image.insert(image.end(), data.begin(), data.end());
        block += blocks;
        at += 512;
    }
    return image;
}

// A mapset index of family 7000 listing `count` maps from kFirstMap.
Bytes bigIndex(std::uint32_t count)
{
    Bytes index = {0x50, 0, 0, 1, 0, 0x58, 0x1B, 0x97, 0x01};
    const std::string name = "Big";
    index.insert(index.end(), name.begin(), name.end());
    index.insert(index.end(), {0, 100, 0});
    index.insert(index.end(), name.begin(), name.end());
    index.push_back(0);
    put(index, 1, static_cast<std::uint32_t>(index.size() - 3), 2);
    for (std::uint32_t i = 0; i < count; ++i) {
        Bytes block = {0x4C, 4, 0, 0, 0, 0, 0};
        put(block, 3, kFirstMap + i, 4);
        index.insert(index.end(), block.begin(), block.end());
    }
    return index;
}

void writeHost(const std::string& windowsPath, const Bytes& bytes)
{
    std::ofstream(testing::hostPath(windowsPath), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

int main(int argc, char** argv)
{
    const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1024;
    const auto count = static_cast<std::uint32_t>(megabytes * 1024 * 1024 / kMapSize);
    const std::string folder = testing::freshTestFolder("gps-file-bench");
    const std::string mapset = folder + "\\Big";
    fs::create_directories(testing::hostPath(mapset));
    std::ifstream in(fs::path(OXLO_TEST_DATA) / "ready" / "Hills" / "63250001.img", std::ios::binary);
    const Bytes model{std::istreambuf_iterator<char>(in), {}};
    const std::vector<Subfile> subfiles = subfilesOf(model);
    for (std::uint32_t i = 0; i < count; ++i)
        writeHost(mapset + "\\" + std::to_string(kFirstMap + i) + ".img",
                  bigMap(subfiles, model, kFirstMap + i));
    writeHost(mapset + "\\Big.tdb", bigIndex(count));
    testing::setGpsCatalogue({testing::familyRowIn(mapset, "Big", 7000)});

    const std::string copies = testing::hostPath(folder + "\\copies").string();
    fs::create_directories(copies);
    auto start = Clock::now();
    const std::string cp = "cp " + testing::hostPath(mapset).string() + "/*.img " + copies +
                           " && sync";
    if (std::system(cp.c_str()) != 0) std::printf("cp failed\n");
    const double copySeconds = secondsSince(start);

    platform::scripted::answerUnqueuedMessages([](const auto&) { return platform::kAnswerOk; });
    const auto& runtime = testing::mkgmapRuntime();
    testing::SilentProgress progress;
    const std::string file = folder + "\\gmapsupp.img";
    start = Clock::now();
    const std::string saved = builder::saveForGpsTo({1}, file, runtime.jar,
                                                    runtime.javaHome + "\\bin\\java.exe", progress,
                                                    builder::ReplaceQuestion::ask);
    const double saveSeconds = secondsSince(start);
    const auto messages = platform::scripted::shownMessages();
    const double mb = static_cast<double>(count) * kMapSize / (1024.0 * 1024.0);
    std::printf("maps: %u of 5 MiB, %.0f MiB in all\n", count, mb);
    std::printf("cp of the maps (and sync): %.1f s, %.0f MiB/s\n", copySeconds, mb / copySeconds);
    std::printf("Save for GPS: %.1f s, %.0f MiB/s\n", saveSeconds, mb / saveSeconds);
    if (saved.empty()) {
        std::printf("not saved: %s\n", messages.empty() ? "" : messages.back().text.c_str());
        return 1;
    }
    const auto directory = mapfile::readImgDirectoryOf(file);
    std::printf("file: %.0f MiB, %zu subfiles in its directory\n",
                static_cast<double>(platform::fileSize(file)) / (1024.0 * 1024.0),
                directory ? directory->size() : 0);
    fs::remove_all(testing::hostPath(folder));
    return 0;
}
