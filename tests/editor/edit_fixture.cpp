#include "edit_fixture.h"

#include "editor/edit_mapset_window.h"
#include "resources/shared_resources.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "support/file_bytes.h"
#include "support/folder_test.h"

#include <algorithm>
#include <filesystem>

namespace oxlo::editor_test {

namespace scripted = platform::scripted;
using platform::kLocalMachine;

namespace {

constexpr int kScratchFile = 31;

// Holds a key open for the lifetime of the object.
struct Key {
    platform::RegistryHandle handle = 0;
    explicit Key(const std::string& path) {
        if (platform::registryOpenKey(kLocalMachine, path, platform::RegistryAccess::Read,
                                      &handle) != platform::kRegistryOk)
            handle = 0;
    }
    ~Key() {
        if (handle != 0) platform::registryCloseKey(handle);
    }
};

void writeText(const std::string& key, const std::string& name, const std::string& text) {
    platform::writeRegistryValue(kLocalMachine, key, name, text, platform::kValueText, "");
}

} // namespace

RegistryValue textValue(const std::string& text) {
    RegistryValue value{platform::kRegSz, Bytes(text.begin(), text.end())};
    value.bytes.push_back(0);
    return value;
}

void addFamilyExtras(const std::string& loc) {
    const auto lm = platform::kLocalMachine;
    platform::writeRegistryValue(lm, kFamilies + "Alpen", "Extra", "77", platform::kValueDword, "");
    platform::writeRegistryValue(lm, kFamilies + "Alpen\\1", "MDR", loc + "\\Alpen_mdr.img", 1, "");
    platform::createRegistryKey(lm, kFamilies + "Alpen\\2", "");
    platform::writeRegistryValue(lm, kFamilies + "Alpen\\2", "LOC", "C:\\Other", 1, "");
}

KeyValues valuesOf(const std::string& path) {
    KeyValues values;
    Key key(path);
    if (key.handle == 0) return values;
    char name[16384];
    for (unsigned index = 0;; ++index) {
        unsigned length = sizeof name;
        if (platform::registryEnumValue(key.handle, index, name, &length) != platform::kRegistryOk)
            break;
        RegistryValue value;
        unsigned size = 0;
        platform::registryQueryValue(key.handle, name, &value.type, nullptr, &size);
        value.bytes.resize(size);
        platform::registryQueryValue(key.handle, name, &value.type, value.bytes.data(), &size);
        values[std::string(name, length)] = value;
    }
    return values;
}

std::vector<std::string> subkeysOf(const std::string& path) {
    std::vector<std::string> names;
    Key key(path);
    if (key.handle == 0) return names;
    char name[256];
    for (unsigned index = 0;; ++index) {
        unsigned length = sizeof name;
        if (platform::registryEnumKey(key.handle, index, name, &length) != platform::kRegistryOk)
            break;
        names.emplace_back(name, length);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool keyExists(const std::string& path) { return Key(path).handle != 0; }

namespace {
void dumpInto(std::map<std::string, KeyValues>& dump, const std::string& relative) {
    const std::string path = kMapsource + relative;
    dump[relative] = valuesOf(path);
    for (const auto& subkey : subkeysOf(path)) dumpInto(dump, relative + "\\" + subkey);
}
} // namespace

RegistryDump registryDump() {
    RegistryDump dump;
    if (keyExists(kMapsource)) dumpInto(dump, "");
    return dump;
}

RegistryDump withProductKeyMoved(RegistryDump dump, const std::string& from,
                                 const std::string& to) {
    const std::string prefix = "\\Products\\" + from;
    RegistryDump moved;
    for (auto& [path, values] : dump) {
        const bool inside = path == prefix || path.starts_with(prefix + "\\");
        moved[inside ? "\\Products\\" + to + path.substr(prefix.size()) : path] = values;
    }
    return moved;
}

Bytes testData(const std::string& file) {
    const std::string bytes = testing::readWholeFile(OXLO_TEST_DATA "/" + file).value_or("");
    return Bytes(bytes.begin(), bytes.end());
}

Bytes readBytes(const std::string& path) {
    Bytes bytes;
    if (platform::openFileForReading(kScratchFile, path) == 0) return bytes;
    std::uint8_t buffer[4096];
    while (const std::size_t got = platform::readData(kScratchFile, buffer, sizeof buffer))
        bytes.insert(bytes.end(), buffer, buffer + got);
    platform::closeFile(kScratchFile);
    return bytes;
}

void writeBytes(const std::string& path, const Bytes& bytes) {
    ASSERT_NE(platform::createFile(kScratchFile, path), 0) << path;
    platform::writeString(kScratchFile, std::string(bytes.begin(), bytes.end()));
    platform::closeFile(kScratchFile);
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(testing::hostPath(folder)))
        names.push_back(testing::textOfPath(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

int productCodeOf(const Bytes& tdb) {
    return tdb.size() < 5 ? -1 : tdb[3] | (tdb[4] << 8);
}

std::string storedNameOf(const Bytes& tdb) {
    std::string name;
    for (std::size_t i = 9; i < tdb.size() && tdb[i] != 0; ++i) name.push_back(static_cast<char>(tdb[i]));
    return name;
}

void EditMapsetTest::SetUp() {
    platform::deleteRegistryTree(kLocalMachine, kMapsource);
    catalogue::installedMapsets = {};
    resources::labelFont = platform::loadFont("MS Sans Serif", 10, true);
    loc = testing::freshFolderForThisTest() + "\\Alps";
    ASSERT_NE(platform::createDirectory(loc), 0) << loc;
}

void EditMapsetTest::TearDown() { platform::deleteRegistryTree(kLocalMachine, kMapsource); }

catalogue::InstalledMapset EditMapsetTest::installAlpen(const std::string& form) {
    // Made by mkgmap: product code 150, stored name "Alpen".
    originalTdb = testData("alpen.tdb");
    EXPECT_EQ(productCodeOf(originalTdb), 150);
    EXPECT_EQ(storedNameOf(originalTdb), "Alpen");
    if (form != "F")
        return installProduct(loc, "Alpen", originalTdb, form == "N" ? "150" : "Alpen");

    writeBytes(mapPath("Alpen"), testData("alpen.img"));
    writeBytes(tdbPath("Alpen"), originalTdb);
    catalogue::InstalledMapset row;
    row.name = "Alpen";
    row.loc = loc;
    row.tdb = tdbPath("Alpen");
    row.form = form;
    row.branch = "Families";
    row.id = 6001;
    row.keyName = "Alpen";
    const std::string key = kFamilies + "Alpen";
    platform::createRegistryKey(kLocalMachine, key + "\\1", "");
    platform::writeRegistryValue(kLocalMachine, key, "ID", "6001", platform::kValueBinary, "");
    writeText(key, "TYP", loc + "\\Alpen.TYP");
    writeText(key + "\\1", "BMAP", mapPath("Alpen"));
    writeText(key + "\\1", "LOC", loc);
    writeText(key + "\\1", "TDB", tdbPath("Alpen"));
    return row;
}

catalogue::InstalledMapset EditMapsetTest::installProduct(const std::string& folder,
                                                          const std::string& name, const Bytes& tdb,
                                                          const std::string& keyName) {
    const std::string map = folder + "\\" + name + ".IMG";
    const std::string index = folder + "\\" + name + ".TDB";
    writeBytes(map, testData("alpen.img"));
    writeBytes(index, tdb);
    catalogue::InstalledMapset row;
    row.name = name;
    row.loc = folder;
    row.tdb = index;
    row.branch = "Products";
    row.id = static_cast<std::int16_t>(productCodeOf(tdb));
    row.keyName = keyName;
    row.form = platform::numberFromText(keyName) > 0 ? "N" : "O";
    const std::string key = kProducts + keyName;
    platform::createRegistryKey(kLocalMachine, key, "");
    writeText(key, "BMAP", map);
    writeText(key, "LOC", folder);
    writeText(key, "TDB", index);
    return row;
}

Shown EditMapsetTest::edit(catalogue::InstalledMapset& row, const char* name, const char* number,
                           int press) {
    catalogue::installedMapsets[1] = row;
    editor::openEditMapsetWindow();
    platform::setControlText(1, row.name);
    platform::setControlText(2, platform::textFromNumber(row.id));
    if (name) scripted::queueTyping(1, name);
    if (number) scripted::queueTyping(2, number);
    scripted::queueOtherEvent(); // ignored, like the fields' own events
    if (press < 0)
        scripted::queueClose();
    else
        scripted::queueControlEvent(press);
    for (int i = 0; i < 4; ++i) scripted::answerNextMessage(platform::kAnswerOk);

    editor::runEditMapsetWindow(1);
    row = catalogue::installedMapsets[1];
    EXPECT_EQ(scripted::pendingSteps(), 0);
    EXPECT_EQ(scripted::findWindow(2), nullptr) << "the window must be closed on return";
    return textsAndFlags("Edit Mapset");
}

std::string EditMapsetTest::numberFieldAtFirstBox(catalogue::InstalledMapset& row,
                                                 const std::string& typed) {
    catalogue::installedMapsets[1] = row;
    editor::openEditMapsetWindow();
    platform::setControlText(1, row.name);
    platform::setControlText(2, platform::textFromNumber(row.id));
    scripted::queueTyping(2, typed);
    scripted::queueControlEvent(5);
    // With no answer the first box stops the edit there, window still open.
    EXPECT_THROW(editor::runEditMapsetWindow(1), scripted::ScriptError);
    EXPECT_EQ(scripted::shownMessages().size(), 1u);
    const scripted::ControlRecord* field = scripted::findControl(2);
    const std::string text = field ? field->text : "<no control 2>";
    platform::closeWindow(2);
    return text;
}

void EditMapsetTest::installFamilyFiles() {
    Bytes typ = testData("village.typ");
    typ[0x2F] = 6001 & 0xFF;
    typ[0x30] = 6001 >> 8;
    writeBytes(loc + "\\Alpen.TYP", typ);
    writeBytes(loc + "\\Alpen.mdx", testData("alpen.mdx"));
    writeText(kFamilies + "Alpen", "IDX", loc + "\\Alpen.mdx");
}

std::vector<int> EditMapsetTest::familyIdsHeld(const std::string& tdb) const {
    const auto word = [](const Bytes& bytes, std::size_t at) {
        return at + 2 <= bytes.size() ? bytes[at] | (bytes[at + 1] << 8) : -1;
    };
    std::vector<int> ids;
    for (const std::string& family : subkeysOf(kFamilies))
        ids.push_back(word(valuesOf(kFamilies + family)["ID"].bytes, 0));
    const Bytes mdx = readBytes(loc + "\\Alpen.mdx");
    return {ids.size() == 1 ? ids[0] : -1, word(readBytes(tdb), 5), word(mdx, 20), word(mdx, 32),
            word(readBytes(loc + "\\Alpen.TYP"), 0x2F)};
}

KeyValues productValues(const std::string& loc, const std::string& name) {
    return {{"BMAP", textValue(loc + "\\" + name + ".IMG")},
            {"LOC", textValue(loc)},
            {"TDB", textValue(loc + "\\" + name + ".TDB")}};
}

void expectOnlyNameChanged(const Bytes& before, const Bytes& after, const std::string& name,
                           std::size_t oldLength) {
    SCOPED_TRACE("stored name " + name);
    ASSERT_EQ(after.size(), before.size());
    Bytes expected = before;
    for (std::size_t i = 0; i < oldLength; ++i)
        expected[9 + i] = i < name.size() ? static_cast<std::uint8_t>(name[i]) : ' ';
    EXPECT_EQ(after, expected);
}

void PrintTo(const RegistryValue& value, std::ostream* out) {
    *out << "type " << value.type << " bytes";
    for (const auto byte : value.bytes) *out << ' ' << int(byte);
}

void EditMapsetTest::expectUnchangedSince(const Snapshot& before) const {
    const Snapshot now = snapshot();
    EXPECT_EQ(now.files, before.files) << "file names in " << loc;
    EXPECT_TRUE(now.map == before.map) << "Alpen.IMG changed";
    EXPECT_TRUE(now.index == before.index) << "Alpen.TDB changed";
    EXPECT_EQ(now.products150, before.products150) << "Products\\150";
    EXPECT_EQ(now.productsAlpen, before.productsAlpen) << "Products\\Alpen";
    EXPECT_EQ(now.familyAlpen, before.familyAlpen) << "Families\\Alpen";
    EXPECT_EQ(now.familyAlpen1, before.familyAlpen1) << "Families\\Alpen\\1";
    EXPECT_EQ(now.families, before.families) << "Families";
    EXPECT_EQ(now.products, before.products) << "Products";
}

Snapshot EditMapsetTest::snapshot() const {
    Snapshot s;
    s.files = namesIn(loc);
    s.map = readBytes(mapPath("Alpen"));
    s.index = readBytes(tdbPath("Alpen"));
    s.products150 = valuesOf(kProducts + "150");
    s.productsAlpen = valuesOf(kProducts + "Alpen");
    s.familyAlpen = valuesOf(kFamilies + "Alpen");
    s.familyAlpen1 = valuesOf(kFamilies + "Alpen\\1");
    s.families = subkeysOf(kFamilies);
    s.products = subkeysOf(kProducts);
    return s;
}

} // namespace oxlo::editor_test
