// Registry keys written as .reg files: every value type in regedit's own notation, and the copies
// kept before a key is changed.
#include "catalogue/backup_fixture.h"

#include "catalogue/registry_file.h"
#include "platform/portable/scripted_ui.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

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
        if (value.name == "Open" && !value.bytes.empty() && value.bytes.back() == 0)
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
    const auto messages = scripted::shownMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Uninstall Mapset");
    EXPECT_EQ(messages[0].text, "No copy of Families\\Alps could be saved, so it was not changed.");
    EXPECT_EQ(messages[0].flags, 0x30);
}

} // namespace
} // namespace oxlo::testing
