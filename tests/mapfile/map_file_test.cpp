// Map file access on real maps made by mkgmap (tests/data, see tools/make_test_maps.sh) and on
// built files for the edges of the search.
#include "mapfile/map_file.h"

#include "support/file_bytes.h"
#include "support/folder_test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace oxlo::testing {
namespace {

namespace fs = std::filesystem;
using mapfile::MapAttributes;
using mapfile::mapAttributes;
using mapfile::readMapAttributes;
using mapfile::readWordAtOffset;
using mapfile::writeValueAtOffset;
using Bytes = std::vector<char>;

const std::string kTre = "GARMIN TRE";
const MapAttributes kSentinel{-77, 0xEE, 0xDD};

class MapFile : public FolderTest {
protected:
    void SetUp() override
    {
        FolderTest::SetUp();
        mapAttributes = kSentinel;
    }

    // A copy of a checked-in map in the test folder, so that patches never reach tests/data.
    std::string copyOfData(const std::string& name)
    {
        const std::string path = folder_ + "\\" + name;
        fs::copy_file(fs::path(OXLO_TEST_DATA) / name, hostPath(path));
        return path;
    }

    std::string writeBytes(const std::string& name, const Bytes& bytes)
    {
        const std::string path = folder_ + "\\" + name;
        std::ofstream(hostPath(path), std::ios::binary).write(bytes.data(),
                                                               static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    static Bytes readBytes(const std::string& path)
    {
        const std::string bytes = readWholeWindowsFile(path).value_or("");
        return Bytes(bytes.begin(), bytes.end());
    }

    static void expectUnchanged()
    {
        EXPECT_EQ(mapAttributes.headerEnd, kSentinel.headerEnd);
        EXPECT_EQ(mapAttributes.transparency, kSentinel.transparency);
        EXPECT_EQ(mapAttributes.drawPriority, kSentinel.drawPriority);
    }
};

// A TRE header as a map holds it: length, signature, then the attribute bytes at 0x3F and 0x40.
void putHeader(Bytes& bytes, std::size_t start, unsigned char transparency, unsigned char priority)
{
    bytes.resize(std::max(bytes.size(), start + 0x41 + 8), '\0');
    bytes[start] = static_cast<char>(188);
    std::copy(kTre.begin(), kTre.end(), bytes.begin() + static_cast<std::ptrdiff_t>(start) + 2);
    bytes[start + 0x3F] = static_cast<char>(transparency);
    bytes[start + 0x40] = static_cast<char>(priority);
}

TEST_F(MapFile, AttributesOfMapsMadeByMkgmap)
{
    struct Case {
        const char* file;
        std::int64_t treStart;
        int transparency, priority;
    } cases[] = {
        {"village-transparent.img", 3586 - 2, 3, 25},
        {"village-opaque.img", 3586 - 2, 1, 20},
        {"village-two-maps.img", 6658 - 2, 3, 22}, // the first map's; the second has 1 and 18
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        mapAttributes = kSentinel;
        EXPECT_EQ(readMapAttributes(copyOfData(c.file), kTre, 10), 0);
        EXPECT_EQ(mapAttributes.headerEnd, c.treStart + 12);
        EXPECT_EQ(mapAttributes.transparency, c.transparency);
        EXPECT_EQ(mapAttributes.drawPriority, c.priority);
    }
}

// The byte comes as it is, above 127 too; the attribute panel shows it signed (-56).
TEST_F(MapFile, PriorityByte200IsReadAsTheByteItIs)
{
    const std::string map = copyOfData("village-priority200.img");
    EXPECT_EQ(readMapAttributes(map, kTre, 10), 0);
    EXPECT_EQ(mapAttributes.drawPriority, 200);
    EXPECT_EQ(static_cast<unsigned char>(
                  readBytes(map).at(static_cast<std::size_t>(mapAttributes.headerEnd + 52))),
              200);
}

TEST_F(MapFile, SavingChangesExactlyTheTwoAttributeBytesOfTheFirstMap)
{
    const std::string map = copyOfData("village-two-maps.img");
    const Bytes before = readBytes(map);
    ASSERT_EQ(readMapAttributes(map, kTre, 10), 0);
    const std::int64_t headerEnd = mapAttributes.headerEnd;

    writeValueAtOffset(map, headerEnd + 52, 1, 0, "", "Byte");
    writeValueAtOffset(map, headerEnd + 53, 7, 0, "", "Byte");

    const Bytes after = readBytes(map);
    ASSERT_EQ(after.size(), before.size());
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (after[i] != before[i]) {
            changed.push_back(i);
        }
    }
    EXPECT_EQ(changed, (std::vector<std::size_t>{static_cast<std::size_t>(headerEnd + 51),
                                                 static_cast<std::size_t>(headerEnd + 52)}));
    mapAttributes = kSentinel;
    ASSERT_EQ(readMapAttributes(map, kTre, 10), 0);
    EXPECT_EQ(mapAttributes.transparency, 1);
    EXPECT_EQ(mapAttributes.drawPriority, 7);
}

TEST_F(MapFile, ProductCodeAndFamilyIdFromTheMkgmapIndex)
{
    const std::string tdb = copyOfData("village.tdb");
    EXPECT_EQ(readWordAtOffset(tdb, 4), "152");
    EXPECT_EQ(readWordAtOffset(tdb, 6), "6001");
}

TEST_F(MapFile, WordsAreUnsignedLittleEndianAndMissingBytesCountAsZero)
{
    const std::string path = writeBytes("words.tdb", {0x50, 0x00, '\x80', '\xFF', '\xFF', 0x34});
    EXPECT_EQ(readWordAtOffset(path, 3), "65408");
    EXPECT_EQ(readWordAtOffset(path, 4), "65535");
    EXPECT_EQ(readWordAtOffset(path, 6), "52"); // a lone last byte
    EXPECT_EQ(readWordAtOffset(path, 7), "0");  // past the end
    EXPECT_EQ(readWordAtOffset(writeBytes("empty.tdb", {}), 4), "0");
}

TEST_F(MapFile, ReadingAWordNeverCreatesTheFile)
{
    const std::string missing = folder_ + "\\Missing.TDB";
    EXPECT_EQ(readWordAtOffset(missing, 4), "");
    EXPECT_FALSE(fs::exists(hostPath(missing)));
    EXPECT_EQ(readWordAtOffset(folder_, 4), "") << "a folder is no file";
}

TEST_F(MapFile, WritesPatchInPlaceByKind)
{
    const Bytes original{'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'a', 'b', 'c', 'd'};
    struct Case {
        const char* what;
        std::int64_t offset;
        int byteValue, wordValue;
        const char* text;
        const char* kind;
        std::size_t position;
        Bytes written;
    } cases[] = {
        {"word", 6, 99, 6001, "xx", "Word", 5, {0x71, 0x17}},
        {"value", 4, 99, 152, "xx", "Value", 3, {'\x98', 0x00}},
        {"other kind", 4, 99, -1, "xx", "word", 3, {'\xFF', '\xFF'}},
        {"byte", 1, 0x1C8, 6001, "xx", "Byte", 0, {'\xC8'}},
        {"text", 10, 99, 6001, "Alps", "Text", 9, {'A', 'l', 'p', 's'}},
        {"empty text", 10, 99, 6001, "", "Text", 9, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = writeBytes("patch.tdb", original);
        writeValueAtOffset(path, c.offset, c.byteValue, c.wordValue, c.text, c.kind);
        Bytes expected = original;
        std::copy(c.written.begin(), c.written.end(),
                  expected.begin() + static_cast<std::ptrdiff_t>(c.position));
        EXPECT_EQ(readBytes(path), expected);
    }
}

TEST_F(MapFile, WritingIntoAMissingFileLeavesItMissing)
{
    const std::string missing = folder_ + "\\Missing.TDB";
    writeValueAtOffset(missing, 6, 0, 6001, "", "Word");
    writeValueAtOffset(missing, 10, 0, 0, "Alps", "Text");
    EXPECT_FALSE(fs::exists(hostPath(missing)));
}

TEST_F(MapFile, MissingEmptyOrFolderPathsGiveMinusOneAndKeepTheAttributes)
{
    EXPECT_EQ(readMapAttributes(folder_ + "\\none.img", kTre, 10), -1);
    EXPECT_EQ(readMapAttributes(writeBytes("empty.img", {}), kTre, 10), -1);
    EXPECT_EQ(readMapAttributes(folder_, kTre, 10), -1);
    EXPECT_EQ(readMapAttributes(folder_ + "\\", kTre, 10), -1);
    expectUnchanged();
}

TEST_F(MapFile, AMapWithoutTheSignatureKeepsTheAttributes)
{
    Bytes bytes(5000, 'G');
    const std::string partial = "GARMIN TR";
    std::copy(partial.begin(), partial.end(), bytes.end() - 9);
    EXPECT_EQ(readMapAttributes(writeBytes("plain.img", bytes), kTre, 10), 0);
    expectUnchanged();
}

TEST_F(MapFile, ASignatureWhoseAttributeBytesLiePastTheEndIsNotFound)
{
    // headerEnd + 52, the draw priority, is the last byte: found.
    Bytes fits(100, '\0');
    std::copy(kTre.begin(), kTre.end(), fits.begin() + 37); // headerEnd 47, priority at 99
    fits[98] = 3;
    fits[99] = 9;
    EXPECT_EQ(readMapAttributes(writeBytes("fits.img", fits), kTre, 10), 0);
    EXPECT_EQ(mapAttributes.headerEnd, 47);
    EXPECT_EQ(mapAttributes.drawPriority, 9);

    // One byte shorter: the priority would lie past the end.
    mapAttributes = kSentinel;
    fits.pop_back();
    EXPECT_EQ(readMapAttributes(writeBytes("short.img", fits), kTre, 10), 0);
    expectUnchanged();
}

TEST_F(MapFile, TheSearchInPiecesFindsWhatASearchOfTheWholeFileFinds)
{
    // Signatures placed across and around the border between two pieces, each file also holding
    // a later header that must not be taken.
    const std::size_t border = mapfile::kSearchChunkSize;
    for (std::size_t start = border - 12; start <= border + 1; ++start) {
        SCOPED_TRACE("signature at " + std::to_string(start));
        Bytes bytes(border * 2 + 500, 'G');
        putHeader(bytes, start - 2, 3, static_cast<unsigned char>(start % 31 + 1));
        putHeader(bytes, border * 2, 1, 30);
        const auto whole = std::search(bytes.begin(), bytes.end(), kTre.begin(), kTre.end());
        const std::int64_t expectedEnd = (whole - bytes.begin()) + 10;

        mapAttributes = kSentinel;
        EXPECT_EQ(readMapAttributes(writeBytes("border.img", bytes), kTre, 10), 0);
        EXPECT_EQ(mapAttributes.headerEnd, expectedEnd);
        EXPECT_EQ(mapAttributes.transparency, bytes[static_cast<std::size_t>(expectedEnd + 51)]);
        EXPECT_EQ(mapAttributes.drawPriority, bytes[static_cast<std::size_t>(expectedEnd + 52)]);
    }
}

TEST_F(MapFile, HeadersBeyondFourGibibytesAreFound)
{
    // A sparse file: 4 GiB + 1 MiB of zeros with the first header beyond 4 GiB.
    const std::string path = folder_ + "\\large.img";
    const std::int64_t start = (std::int64_t{1} << 32) + 4321;
    {
        std::ofstream out(hostPath(path), std::ios::binary);
        Bytes header;
        putHeader(header, 0, 3, 17);
        out.seekp(start);
        out.write(header.data(), static_cast<std::streamsize>(header.size()));
    }
    fs::resize_file(hostPath(path), static_cast<std::uintmax_t>(start) + (1 << 20));

    EXPECT_EQ(readMapAttributes(path, kTre, 10), 0);
    EXPECT_EQ(mapAttributes.headerEnd, start + 12);
    EXPECT_EQ(mapAttributes.transparency, 3);
    EXPECT_EQ(mapAttributes.drawPriority, 17);

    writeValueAtOffset(path, start + 12 + 53, 21, 0, "", "Byte");
    std::ifstream in(hostPath(path), std::ios::binary);
    in.seekg(start + 0x40);
    EXPECT_EQ(in.get(), 21);
    in.close();
    fs::remove(hostPath(path));
}

} // namespace
} // namespace oxlo::testing
