// The .reg files that Oxlo writes, imported by Wine's own regedit as a double-click would: the key
// comes back value by value, in the 32-bit view where MapSource reads it. Windows builds only.
#include "catalogue/backup_fixture.h"

#include "catalogue/installed_mapsets.h"
#include "catalogue/registry_file.h"
#include "catalogue/uninstall.h"
#include "platform/portable/scripted_ui.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>

namespace oxlo::testing {
namespace {

using namespace oxlo::platform;
using namespace std::literals;
namespace scripted = oxlo::platform::scripted;

const std::string kAlps = kFamilies + "\\Alps";

// `regedit /s FILE`, waiting for its end.
void importWithRegedit(const std::string& file)
{
    const ProgramHandle regedit =
        runProgram("regedit.exe", "/s \"" + file + "\"", "", kRunKeepHandle | kRunPipeOutput);
    ASSERT_NE(regedit, 0);
    while (programRunning(regedit) == 1) readProgramOutput(regedit);
    releaseProgram(regedit);
}

catalogue::RegistryTree alpsNow()
{
    const auto tree = catalogue::readRegistryTree(kLocalMachine, kAlps);
    return tree ? *tree : catalogue::RegistryTree{};
}

// Values and keys compared after an import, and how many of them differ.
struct Comparison {
    int values = 0;
    int differences = 0;
};

// Compares `now` with the `saved` key value by value (type and bytes) and key by key, names
// exactly as saved; each value or key missing, changed or added is a difference.
void compareKeys(const catalogue::RegistryTree& saved, const catalogue::RegistryTree& now,
                 const std::string& where, Comparison& comparison)
{
    const auto differ = [&](const std::string& what) {
        ++comparison.differences;
        ADD_FAILURE() << where << ": " << what;
    };
    for (const catalogue::RegistryTreeValue& value : saved.values) {
        ++comparison.values;
        const auto found = std::find_if(now.values.begin(), now.values.end(),
                                        [&](const auto& v) { return v.name == value.name; });
        if (found == now.values.end())
            differ("value \"" + value.name + "\" is missing");
        else if (found->type != value.type || found->bytes != value.bytes ||
                 found->stored != value.stored)
            differ("value \"" + value.name + "\" changed");
    }
    if (now.values.size() > saved.values.size()) differ("values were added");
    for (const auto& [name, contents] : saved.subkeys) {
        const auto found = std::find_if(now.subkeys.begin(), now.subkeys.end(),
                                        [&](const auto& key) { return key.first == name; });
        if (found == now.subkeys.end())
            differ("key " + name + " is missing");
        else
            compareKeys(contents, found->second, where + "\\" + name, comparison);
    }
    if (now.subkeys.size() > saved.subkeys.size()) differ("keys were added");
}

// Saves the key, deletes the catalogue, imports the copy and compares it with what was saved.
Comparison saveDeleteAndImport(const std::string& key)
{
    Comparison comparison;
    const std::optional<catalogue::RegistryTree> saved =
        catalogue::readRegistryTree(kLocalMachine, key);
    const std::string file = freshTestFolder("registry-import") + "\\copy.reg";
    EXPECT_TRUE(saved.has_value() && catalogue::saveRegistryKey(key, file));
    if (!saved) return comparison;
    cleanMapsource();
    importWithRegedit(file);
    const std::optional<catalogue::RegistryTree> now =
        catalogue::readRegistryTree(kLocalMachine, key);
    if (!now) {
        ADD_FAILURE() << key << " did not come back";
        ++comparison.differences;
    } else {
        compareKeys(*saved, *now, key, comparison);
    }
    return comparison;
}

class RegistryImport : public BackupTest {
protected:
    void SetUp() override
    {
        BackupTest::SetUp();
        putValue(kAlps, "ID", kRegBinary, {0x71, 0x17});
        putText(kAlps, "TYP", "C:\\Maps\\\"Alps\" 1.TYP");
        putValue(kAlps, "Path", kRegExpandSz, textBytes("%SystemRoot%\\Alps"));
        putValue(kAlps, "List", kRegMultiSz, {'a', 0, 'b', 'c', 0, 0});
        putValue(kAlps, "Count", kRegDword, {0x78, 0x56, 0x34, 0x12});
        putValue(kAlps, "Long", kRegBinary, std::vector<unsigned char>(100, 0xAB));
        putText(kAlps + "\\1", "LOC", folder_ + "\\Alps");
        putText(kAlps + "\\1", "TDB", makeTdb("Alps\\Alps.TDB", 7));
        putText(kAlps + "\\1\\Deeper", "", "default value");
    }
    // regedit removes the catalogue too, so that keys which the registry functions of the seam
    // cannot name (letters outside its code page) go as well.
    void TearDown() override
    {
        const std::string file = folder_ + "\\clean.reg";
        std::ofstream(hostPath(file), std::ios::binary)
            << "REGEDIT4\r\n\r\n[-HKEY_LOCAL_MACHINE\\" << registryImportPath(kMapsource) << "]\r\n";
        importWithRegedit(file);
        BackupTest::TearDown();
    }
};

TEST_F(RegistryImport, ASavedEntryComesBackExactlyAfterItWasDeletedOrChanged)
{
    const catalogue::RegistryTree before = alpsNow();
    const std::string file = folder_ + "\\Alps.reg";
    ASSERT_TRUE(catalogue::saveRegistryKey(kAlps, file));
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"deleted", [] { cleanMapsource(); }},
        {"changed", [] {
             putText(kAlps + "\\1", "LOC", "D:\\Elsewhere");
             putText(kAlps + "\\1", "Extra", "not in the copy");
             putKey(kAlps + "\\2");
         }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        change();
        ASSERT_FALSE(catalogue::sameRegistryTree(alpsNow(), before));
        importWithRegedit(file);
        EXPECT_TRUE(catalogue::sameRegistryTree(alpsNow(), before));
        EXPECT_EQ(rawValue(kAlps, "Path")->bytes, textBytes("%SystemRoot%\\Alps"));
        EXPECT_EQ(rawValue(kAlps, "List")->type, kRegMultiSz);
    }
}

TEST_F(RegistryImport, TheCopyOfAnUninstallPutsTheMapsetBack)
{
    const catalogue::RegistryTree before = alpsNow();
    catalogue::scanInstalledMapsets();
    scripted::answerNextMessage(kAnswerYes); // uninstall
    scripted::answerNextMessage(kAnswerNo);  // keep the files
    scripted::answerNextMessage(kAnswerOk);
    catalogue::uninstallMapset(1);
    ASSERT_FALSE(keyExists(kAlps));
    const auto names = copies();
    ASSERT_EQ(names.size(), 1u);
    importWithRegedit(catalogue::backupFolder() + "\\" + names[0]);
    EXPECT_TRUE(catalogue::sameRegistryTree(alpsNow(), before));
    catalogue::scanInstalledMapsets();
    EXPECT_EQ(listRows(), std::vector<std::string>{"FID6001|Alps"});
}

// Keys, value names and texts in Cyrillic, Polish and Japanese (ソ and 表 end in the byte 0x5C in
// Shift-JIS) come back without a character changed.
TEST_F(RegistryImport, NamesAndTextsInEveryScriptComeBack)
{
    const std::string key = kFamilies + "\\Карты Łódź ソ表";
    putText(key, "Имя", "C:\\Карты\\Łódź\\ソ表");
    putText(key, "", "Łódź \"ソ\" 表\\");
    putValue(key, "Łódź", kRegExpandSz, textBytes("%SystemRoot%\\ソ表"));
    putValue(key, "表", kRegMultiSz, textBytes(std::string("Карты\0Łódź\0ソ表 𠮷\0"sv)));
    putValue(key, "ソ\"\\", kRegBinary, {0x83, 0x5C, 0x00, 0xFF});
    putValue(key, "Строки", kRegSz, textBytes("ソ\r\nŁ"));
    putText(key + "\\Łódź\\ソ表", "Карты", std::string(300, 'x') + "ё");
    const Comparison comparison = saveDeleteAndImport(key);
    EXPECT_EQ(comparison.values, 7);
    EXPECT_EQ(comparison.differences, 0);
}

// Random keys and values of every type, saved, imported and compared: a seeded property test of
// OXLO_REGISTRY_ENTRIES values (300 by default) from OXLO_REGISTRY_SEED (1 by default).
class RandomEntries {
public:
    RandomEntries(unsigned seed, bool everyScript) : random_(seed)
    {
        letters_ = {"a", "Z", "0", " ", "\"", "\\", "=", "[", "]", "@", ";", "-", ".", "%"};
        if (everyScript)
            for (const char* letter : {"Ж", "ё", "К", "ы", "Ł", "ó", "ź", "ą", "ę", "ś", "ソ",
                                       "表", "日", "語", "ア", "𠮷"})
                letters_.push_back(letter);
    }
    std::size_t below(std::size_t limit) { return random_() % limit; }
    // 1 to maxLength letters; a key name holds no backslash and starts and ends with no blank.
    std::string text(std::size_t maxLength, bool keyName = false)
    {
        std::string text;
        for (std::size_t n = 1 + below(maxLength); n > 0; --n) {
            const std::string& letter = letters_[below(letters_.size())];
            if (!keyName || (letter != "\\" && letter != " ")) text += letter;
        }
        return keyName && text.empty() ? "k" : text;
    }
    std::vector<unsigned char> bytes(std::size_t length)
    {
        std::vector<unsigned char> bytes(length);
        for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(random_());
        return bytes;
    }
    // A value of a random type with data that fits it, as the registry takes it. Some texts hold
    // a line break or a NUL, or end without their NUL: those go into the file as hex(1). Some are
    // no UTF-16 text (`stored`, their bytes as the registry holds them).
    catalogue::RegistryTreeValue value()
    {
        if (below(6) == 0) {
            // regedit adds a NUL unit to text data that does not end in one (Wine's was seen to),
            // so the texts here keep their NUL and break UTF-16 by a lone surrogate before it.
            constexpr unsigned kTextTypes[] = {kRegSz, kRegExpandSz, kRegMultiSz};
            catalogue::RegistryTreeValue raw{text(12), kTextTypes[below(3)], {}, true};
            const std::string units = utf16LittleEndian(text(20));
            raw.bytes.assign(units.begin(), units.end());
            const unsigned char surrogate[] = {0x00, static_cast<unsigned char>(0xD8 + below(8))};
            raw.bytes.insert(raw.bytes.begin() + 2 * below(raw.bytes.size() / 2 + 1), surrogate,
                             surrogate + 2);
            raw.bytes.insert(raw.bytes.end(), {0, 0});
            return raw;
        }
        constexpr unsigned kTypes[] = {kRegSz,    kRegSz,   kRegSz,   kRegExpandSz, kRegMultiSz,
                                       kRegBinary, kRegDword, kRegNone, 11 /* QWORD */, 0x1234};
        catalogue::RegistryTreeValue value{below(8) == 0 ? "" : text(12), kTypes[below(10)], {}};
        switch (value.type) {
        case kRegSz:
        case kRegExpandSz: {
            const std::string inner[] = {"", "%", "\r\n", std::string(1, '\0')};
            value.bytes = textBytes(text(30) + inner[below(4)] + text(30));
            if (below(6) == 0) value.bytes.pop_back();
            break;
        }
        case kRegMultiSz:
            for (std::size_t n = below(5); n > 0; --n) {
                const std::vector<unsigned char> part = textBytes(text(15));
                value.bytes.insert(value.bytes.end(), part.begin(), part.end());
            }
            value.bytes.push_back(0);
            break;
        case kRegDword: value.bytes = bytes(below(4) == 0 ? below(9) : 4); break;
        default: value.bytes = bytes(below(200)); break;
        }
        return value;
    }

private:
    std::mt19937 random_;
    std::vector<std::string> letters_;
};

unsigned numberFromEnvironment(const char* name, unsigned otherwise)
{
    const char* text = std::getenv(name);
    return text && *text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : otherwise;
}

void roundTripRandomEntries(bool everyScript)
{
    const unsigned count = numberFromEnvironment("OXLO_REGISTRY_ENTRIES", 300);
    const unsigned seed = numberFromEnvironment("OXLO_REGISTRY_SEED", 1);
    RandomEntries random(seed, everyScript);
    const std::string root = kFamilies + "\\Random";
    std::vector<std::string> keys = {root};
    for (unsigned i = 0; i < count; ++i) {
        if (random.below(8) == 0 && keys.size() < 60) {
            const std::string& parent = keys[random.below(keys.size())];
            keys.push_back(parent + "\\" + random.text(10, true));
        }
        const catalogue::RegistryTreeValue value = random.value();
        const std::string& key = keys[random.below(keys.size())];
        if (value.stored)
            putStoredValue(key, value.name, value.type, {value.bytes.begin(), value.bytes.end()});
        else
            putValue(key, value.name, value.type, value.bytes);
    }
    const Comparison comparison = saveDeleteAndImport(root);
    std::printf("regedit round trip (%s, seed %u): %u entries imported, %d values compared, "
                "%d differences\n", everyScript ? "every script" : "ASCII", seed, count,
                comparison.values, comparison.differences);
    EXPECT_EQ(comparison.differences, 0);
    EXPECT_GT(comparison.values, static_cast<int>(count) * 3 / 4) << "few names repeat";
}

TEST_F(RegistryImport, RandomEntriesInAsciiComeBack) { roundTripRandomEntries(false); }

TEST_F(RegistryImport, RandomEntriesInEveryScriptComeBack) { roundTripRandomEntries(true); }

} // namespace
} // namespace oxlo::testing
