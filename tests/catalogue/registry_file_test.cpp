// Registry keys written as .reg files: every value type in regedit's own notation, and the copies
// kept before a key is changed.
#include "catalogue/backup_fixture.h"

#include "catalogue/reg_file_reader.h"
#include "catalogue/registry_file.h"
#include "catalogue/registry_tree.h"
#include "platform/portable/scripted_ui.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>

namespace oxlo::testing {
namespace {

using namespace oxlo::platform;
using namespace std::literals;
namespace scripted = oxlo::platform::scripted;

using RegistryFile = CatalogueTest;

const std::string kBase = std::string(kMapsource) + "\\";

// The lines of a UTF-16LE file with byte-order mark, split at CR LF; empty when it has no mark.
std::vector<std::u16string> utf16Lines(const std::string& bytes)
{
    if (!bytes.starts_with("\xFF\xFE")) return {};
    std::u16string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      static_cast<unsigned char>(bytes[i + 1]) << 8);
    std::vector<std::u16string> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(u"\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::u16string::npos) return lines;
        start = end + 2;
    }
}

// A key below Mapsource as a .reg file names it: where the 32-bit view is a separate one, regedit
// reaches it through WOW6432Node.
std::u16string fileKey(const std::u16string& belowMapsource)
{
    return (registryHasSeparate32BitView()
                ? u"HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Garmin\\Mapsource\\"
                : u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Garmin\\Mapsource\\") +
           belowMapsource;
}

// The file of Families\Alps holding only the text LOC in its subkey 1.
std::vector<std::u16string> alpsFileLines()
{
    return {u"Windows Registry Editor Version 5.00",
            u"",
            u"[-" + fileKey(u"Families\\Alps") + u"]",
            u"",
            u"[" + fileKey(u"Families\\Alps") + u"]",
            u"",
            u"[" + fileKey(u"Families\\Alps\\1") + u"]",
            u"\"LOC\"=\"C:\\\\Maps\\\\Alps\"",
            u"",
            u""};
}

std::u16string repeated(const std::u16string& part, int times)
{
    std::u16string text;
    while (times-- > 0) text += part;
    return text;
}

TEST_F(RegistryFile, EveryValueIsWrittenAsRegeditWritesIt)
{
    const std::string key = kFamilies + "\\Łódź";
    const struct {
        const char* name;
        unsigned type;
        std::vector<unsigned char> bytes;
        std::u16string line; // as regedit 5 writes it, in the file's UTF-16
    } values[] = {
        {"ID", kRegBinary, {0x71, 0x17}, u"\"ID\"=hex:71,17"},
        {"Ort", kRegSz, textBytes("Łódź \"ソ表\" C:\\Карты"),
         u"\"Ort\"=\"Łódź \\\"ソ表\\\" C:\\\\Карты\""},
        {"", kRegSz, textBytes("default"), u"@=\"default\""},
        {"Path", kRegExpandSz, textBytes("%A%ё"), u"\"Path\"=hex(2):25,00,41,00,25,00,51,04,00,00"},
        // The width of a line counts the UTF-16 units of the name: 21 bytes fit on the first.
        {"Карта", kRegMultiSz, textBytes(std::string("Łódź\0ソ表\0Карта\0"sv)),
         u"\"Карта\"=hex(7):41,01,f3,00,64,00,7a,01,00,00,bd,30,68,88,00,00,1a,04,30,04,40,\\"},
        {nullptr, 0, {}, u"  04,42,04,30,04,00,00,00,00"},
        {"Count", kRegDword, {0x78, 0x56, 0x34, 0x12}, u"\"Count\"=dword:12345678"},
        {"Short", kRegDword, {0x01, 0x02}, u"\"Short\"=hex(4):01,02"},
        {"Big", 11, {1, 0, 0, 0, 0, 0, 0, 0}, u"\"Big\"=hex(b):01,00,00,00,00,00,00,00"},
        {"None", kRegNone, {}, u"\"None\"=hex(0):"},
        // Texts that "..." cannot give back.
        {"Lines", kRegSz, {'a', '\r', '\n', 'b', 0},
         u"\"Lines\"=hex(1):61,00,0d,00,0a,00,62,00,00,00"},
        {"Inner", kRegSz, {'a', 0, 'b', 0}, u"\"Inner\"=hex(1):61,00,00,00,62,00,00,00"},
        {"Open", kRegSz, {'a', 'b'}, u"\"Open\"=hex(1):61,00,62,00"},
        {"𠮷\\\"", kRegSz, {0}, u"\"𠮷\\\\\\\"\"=\"\""},
        {"Long", kRegBinary, std::vector<unsigned char>(30, 0xAB),
         u"\"Long\"=hex:" + repeated(u"ab,", 22) + u"\\"},
        {nullptr, 0, {}, u"  " + repeated(u"ab,", 7) + u"ab"},
    };
    const std::u16string lodz = u"[" + fileKey(u"Families\\Łódź");
    std::map<std::string, std::vector<std::u16string>> linesOfValue;
    const char* name = nullptr;
    for (const auto& value : values) {
        if (value.name) putValue(key, name = value.name, value.type, value.bytes);
        linesOfValue[name].push_back(value.line);
    }
    putText(key + "\\ソ表", "LOC", "C:\\Maps");
    // The key is deleted first, then written anew with its values in enumeration order.
    std::vector<std::u16string> expected = {u"Windows Registry Editor Version 5.00", u"",
                                            u"[-" + lodz.substr(1) + u"]", u"", lodz + u"]"};
    const auto tree = catalogue::readRegistryTree(kLocalMachine, key);
    ASSERT_TRUE(tree.has_value());
    // Windows adds the NUL that a text's size leaves out; the in-memory registry keeps it out.
    for (const auto& value : tree->values)
        if (value.name == "Open" && !value.stored)
            linesOfValue["Open"] = {u"\"Open\"=\"ab\""};
    for (const auto& value : tree->values)
        expected.insert(expected.end(), linesOfValue[value.name].begin(),
                        linesOfValue[value.name].end());
    expected.insert(expected.end(), {u"", lodz + u"\\ソ表]", u"\"LOC\"=\"C:\\\\Maps\"", u"", u""});

    const std::string file = folder_ + "\\Lodz.reg";
    ASSERT_TRUE(catalogue::saveRegistryKey(key, file));
    const std::vector<std::u16string> lines = utf16Lines(hostFileText(file));
    for (std::size_t i = 0; i < std::max(lines.size(), expected.size()); ++i) {
        SCOPED_TRACE("line " + std::to_string(i + 1));
        EXPECT_EQ(i < lines.size() ? lines[i] : u"(none)",
                  i < expected.size() ? expected[i] : u"(none)");
    }
}

TEST_F(RegistryFile, ASavedKeyIsItsTextAndAMissingKeyLeavesNoFile)
{
    const std::string key = kFamilies + "\\Alps";
    putText(key + "\\1", "LOC", "C:\\Maps\\Alps");
    const std::string file = folder_ + "\\Alps.reg";
    ASSERT_TRUE(catalogue::saveRegistryKey(key, file));
    EXPECT_EQ(utf16Lines(hostFileText(file)), alpsFileLines());

    const std::string none = folder_ + "\\None.reg";
    EXPECT_FALSE(catalogue::saveRegistryKey(kFamilies + "\\None", none));
    EXPECT_FALSE(fileExists(none));
}

// The key's path as a .reg file names it, after "HKEY_LOCAL_MACHINE\".
std::string fileKeyOf(const std::string& key) { return registryImportPath(key); }

std::u16string utf16Of(const std::string& text)
{
    std::u16string units;
    for (const char c : text) units += static_cast<char16_t>(static_cast<unsigned char>(c));
    return units;
}

// Texts whose bytes are no UTF-16 text, or would not come back through UTF-8, go into the file as
// their bytes and into a copy of the key unchanged; a whole text stays text.
TEST_F(RegistryFile, TextsThatAreNoUtf16AreWrittenAndCopiedByteForByte)
{
    const std::string key = kFamilies + "\\Raw", copy = kFamilies + "\\Copy";
    const struct {
        const char* name;
        unsigned type;
        std::string bytes;
        const char* line; // ASCII, after the name and "="
        bool stored;
    } values[] = {
        {"Lone high", kRegSz, "A\0\x00\xD8\0\0"s, "hex(1):41,00,00,d8,00,00", true},
        {"Lone low", kRegSz, "\x00\xDC\0\0"s, "hex(1):00,dc,00,00", true},
        {"Odd", kRegSz, "A\0B"s, "hex(1):41,00,42", true},
        {"One byte", kRegSz, "A", "hex(1):41", true},
        {"Open", kRegSz, "A\0B\0"s, "hex(1):41,00,42,00", true},
        {"Swapped", kRegMultiSz, "\x00\xDC\x00\xD8\0\0\0\0"s, "hex(7):00,dc,00,d8,00,00,00,00",
         true},
        {"Expand", kRegExpandSz, "%\0X\0%"s, "hex(2):25,00,58,00,25", true},
        {"Pair", kRegSz, "\x42\xD8\xB7\xDF\0\0"s, nullptr, false}, // 𠮷, a whole text
    };
    for (const auto& value : values) putStoredValue(key, value.name, value.type, value.bytes);
    const auto tree = catalogue::readRegistryTree(kLocalMachine, key);
    ASSERT_TRUE(tree.has_value());
    const std::string text = catalogue::registryFileText(key, *tree);
    const std::vector<std::u16string> lines = utf16Lines(text);
    const RegFileValues read = readRegFile(text);
    ASSERT_TRUE(catalogue::copyRegistryTree(kLocalMachine, key, copy));
    for (const auto& value : values) {
        SCOPED_TRACE(value.name);
        const std::string exact = std::to_string(value.type) + ":" + value.bytes;
        const auto found = std::find_if(tree->values.begin(), tree->values.end(),
                                        [&](const auto& v) { return v.name == value.name; });
        ASSERT_NE(found, tree->values.end());
        EXPECT_EQ(found->stored, value.stored);
        const std::u16string line = u"\"" + utf16Of(value.name) + u"\"=" +
                                    (value.line ? utf16Of(value.line) : u"\"𠮷\"");
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end());
        EXPECT_EQ(read.at(fileKeyOf(key)).at(value.name), exact);
        EXPECT_EQ(storedValue(copy, value.name), exact);
    }
}

// Random values of every type, texts of random bytes among them, from OXLO_REGISTRY_SEED (1 by
// default): the file written for them reads back as the same types and bytes, and so does a copy
// of the key.
TEST_F(RegistryFile, RandomValuesComeBackFromTheFileAndTheCopy)
{
    const char* seedText = std::getenv("OXLO_REGISTRY_SEED");
    const unsigned seed = seedText && *seedText ? static_cast<unsigned>(std::atoi(seedText)) : 1;
    std::mt19937 random(seed);
    const auto below = [&](std::size_t limit) { return random() % limit; };
    const std::string root = kFamilies + "\\Random";
    const std::string keys[] = {root, root + "\\Sub ソ", root + "\\Sub ソ\\Deeper"};
    const unsigned types[] = {kRegSz, kRegSz, kRegExpandSz, kRegMultiSz, kRegBinary, kRegDword,
                              kRegNone, 11 /* QWORD */};
    const char* letters[] = {"a", "Z", " ", "\"", "\\", "=", "@", "[", "]", "Ж", "ソ", "𠮷"};
    std::map<std::pair<std::string, std::string>, std::string> put;
    for (int n = 0; n < 150; ++n) {
        std::string name;
        for (std::size_t k = below(6); k > 0; --k) name += letters[below(std::size(letters))];
        const unsigned type = types[below(std::size(types))];
        std::string bytes;
        if (type == kRegDword && below(3) != 0) {
            bytes = std::string(4, 'x');
        } else {
            for (std::size_t k = below(24); k > 0; --k) bytes += static_cast<char>(below(256));
            // Half of the texts are whole ones, some with a lone surrogate left in.
            if (type != kRegBinary && type != kRegDword && below(2) == 0)
                bytes = utf16LittleEndian(name + "x" + letters[below(std::size(letters))]) +
                        (below(4) == 0 ? "\x00\xD8"s : ""s) + "\0\0"s;
        }
        const std::string& where = keys[below(std::size(keys))];
        putStoredValue(where, name, type, bytes);
        put[{fileKeyOf(where), name}] = std::to_string(type) + ":" + bytes;
    }
    const auto tree = catalogue::readRegistryTree(kLocalMachine, root);
    ASSERT_TRUE(tree.has_value());
    const RegFileValues read = readRegFile(catalogue::registryFileText(root, *tree));
    ASSERT_TRUE(catalogue::copyRegistryTree(kLocalMachine, root, kFamilies + "\\Copy"));
    int differences = 0;
    for (const auto& [where, exact] : put) {
        const auto key = read.find(where.first);
        const bool inFile = key != read.end() && key->second.contains(where.second) &&
                            key->second.at(where.second) == exact;
        const std::string copyKey =
            kFamilies + "\\Copy" + where.first.substr(fileKeyOf(root).size());
        if (!inFile || storedValue(copyKey, where.second) != exact) {
            ++differences;
            ADD_FAILURE() << where.first << " \"" << where.second << "\" changed";
        }
    }
    std::printf("random values (seed %u): %zu written, read back and copied, %d differences\n",
                seed, put.size(), differences);
    EXPECT_GT(put.size(), 100u) << "few names repeat";
}

using RegistryBackup = BackupTest;

TEST_F(RegistryBackup, CopiesAreNamedByTimeAndKeyAndNeverReplaced)
{
    const std::string key = kFamilies + "\\Alps";
    putText(key + "\\1", "LOC", "C:\\Maps\\Alps");
    ASSERT_TRUE(catalogue::backUpKey("Families\\Alps", "Test"));
    ASSERT_TRUE(catalogue::backUpKey("Families\\Alps", "Test"));
    const auto names = copies();
    ASSERT_EQ(names.size(), 2u);
    // "YYYYMMDD-HHMMSS Families-Alps.reg", a second one in the same second with " (2)".
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        ASSERT_GE(name.size(), 16u);
        EXPECT_EQ(name[8], '-');
        EXPECT_EQ(name.substr(15, 14), " Families-Alps");
        EXPECT_TRUE(name.ends_with(".reg"));
        EXPECT_EQ(utf16Lines(copyText(name)), alpsFileLines());
    }
    EXPECT_TRUE(scripted::shownMessages().empty());
}

TEST_F(RegistryBackup, ACopyIsNamedWithoutTheLettersAFileNameCannotHold)
{
    const struct {
        const char* key;
        const char* name;
    } cases[] = {
        {"Families\\OSM 03/2024", "Families-OSM 03-2024.reg"},
        {"Families\\a:b*c?\"d\"<e>|f", "Families-a-b-c--d--e--f.reg"},
        {"Families\\Tab\tEnd", "Families-Tab-End.reg"},
        {"Products\\Alps. .", "Products-Alps.reg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        const std::string key = kBase + c.key;
        putText(key, "LOC", "C:\\Maps");
        EXPECT_TRUE(catalogue::backUpKey(c.key, "Test"));
        const auto names = copies();
        ASSERT_EQ(names.size(), 1u);
        EXPECT_EQ(names[0].substr(16), c.name);
        const std::u16string path(c.key, c.key + std::char_traits<char>::length(c.key)); // ASCII
        EXPECT_EQ(utf16Lines(copyText(names[0])),
                  (std::vector<std::u16string>{u"Windows Registry Editor Version 5.00", u"",
                                               u"[-" + fileKey(path) + u"]", u"",
                                               u"[" + fileKey(path) + u"]",
                                               u"\"LOC\"=\"C:\\\\Maps\"", u"", u""}));
        std::filesystem::remove(hostPath(catalogue::backupFolder() + "\\" + names[0]));
    }
    EXPECT_TRUE(scripted::shownMessages().empty());
}

TEST_F(RegistryBackup, ACopyThatCannotBeWrittenIsReported)
{
    putText(kFamilies + "\\Alps\\1", "LOC", "C:\\Maps\\Alps");
    blockCopies();
    scripted::answerNextMessage(kAnswerOk);
    EXPECT_FALSE(catalogue::backUpKey("Families\\Alps", "Uninstall Mapset"));
    EXPECT_EQ(textsAndFlags("Uninstall Mapset"),
              (Shown{{"No copy of Families\\Alps could be saved, so it was not changed.", 0x30}}));
}

// A name with a line break ends the line of the file: the copy fails, so the change waiting for
// it is not made, and the user hears why.
TEST_F(RegistryBackup, ANameWithALineBreakMakesTheCopyFail)
{
    const struct {
        const char* subkey; // below Families\Alps
        const char* valueName;
        bool saved;
    } cases[] = {
        {"", "a\nb", false},
        {"", "a\rb", false},
        {"1", "\n", false},
        {"x\ny", "LOC", false},
        {"1", "a b \"c\" \\", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::string(c.subkey) + "|" + c.valueName));
        cleanMapsource();
        const std::string key = kFamilies + "\\Alps";
        putText(*c.subkey ? key + "\\" + c.subkey : key, c.valueName, "C:\\Maps");
        const std::string file = folder_ + "\\Alps.reg";
        EXPECT_EQ(catalogue::saveRegistryKey(key, file), c.saved);
        EXPECT_EQ(fileExists(file), c.saved);
        const std::size_t shown = scripted::shownMessages().size();
        if (!c.saved) scripted::answerNextMessage(kAnswerOk);
        EXPECT_EQ(catalogue::backUpKey("Families\\Alps", "Uninstall Mapset"), c.saved);
        const auto messages = scripted::shownMessages();
        ASSERT_EQ(messages.size(), shown + (c.saved ? 0 : 1));
        if (!c.saved) {
            EXPECT_EQ(messages.back().text,
                      "No copy of Families\\Alps could be saved, so it was not changed.");
        }
        std::filesystem::remove_all(hostPath(catalogue::backupFolder()));
    }
}

} // namespace
} // namespace oxlo::testing
