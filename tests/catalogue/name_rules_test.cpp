// What a mapset name and a stored path may be, how stored paths are joined, and which paths of a
// bundle's Info.xml stay inside it: the rules that Create, the install, Edit, Locate Folder and
// the console share.
#include "catalogue/name_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace oxlo::testing {
namespace {

std::string repeated(const std::string& text, std::size_t times)
{
    std::string result;
    for (std::size_t i = 0; i < times; ++i) result += text;
    return result;
}

TEST(NameRules, AMapsetNameIsAKeyNameWithoutBlanksAtItsEnds)
{
    const std::string map = "\xF0\x9F\x97\xBA"; // U+1F5FA, two UTF-16 characters
    const struct {
        std::string name;
        bool usable;
    } cases[] = {
        {"Alps", true},
        {"Topo Deutschland 2024", true},
        {"", false},
        {" Alps", false},
        {"Alps ", false},
        {"\tAlps", false},
        {"Alps\n", false},
        {"Alps\\West", false},
        {"Alps/West", true}, // a key name may hold it; Create refuses it as a folder name
        {repeated("x", 255), true},
        {repeated("x", 256), false},
        {repeated("\xC3\x96", 255), true}, // Ö, one UTF-16 character in two bytes
        {repeated("\xC3\x96", 256), false},
        {repeated(map, 127) + "x", true},
        {repeated(map, 128), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("name \"" + c.name + "\" (" + std::to_string(c.name.size()) + " bytes)");
        EXPECT_EQ(catalogue::isUsableMapsetName(c.name), c.usable);
    }
}

TEST(NameRules, AStoredPathHasAtMostTheCharactersTheScanReadsBack)
{
    const std::string root = "C:\\";
    const struct {
        std::string path;
        bool storable;
    } cases[] = {
        {"", true},
        {root + repeated("a", 251), true},
        {root + repeated("a", 252), false},
        {root + repeated("\xC3\x96", 251), true}, // 505 bytes, 254 characters
        {root + repeated("\xC3\x96", 252), false},
        {root + repeated("\xF0\x9F\x97\xBA", 251), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.path.size()) + " bytes");
        EXPECT_EQ(catalogue::isStorablePath(c.path), c.storable);
    }
}

TEST(NameRules, StoredPathsNameADriveRootWithItsBackslashAndNeverDoubleOne)
{
    const struct {
        const char* folder;
        const char* stored; // storedFolder
        const char* joined; // joinPath with "Sp.tdb"
    } cases[] = {
        {"D:", "D:\\", "D:\\Sp.tdb"},
        {"D:\\", "D:\\", "D:\\Sp.tdb"},
        {"d:\\\\", "d:\\", "d:\\Sp.tdb"},
        {"D:\\Maps", "D:\\Maps", "D:\\Maps\\Sp.tdb"},
        {"D:\\Maps\\", "D:\\Maps", "D:\\Maps\\Sp.tdb"},
        {"D:\\\\Maps\\\\Alps\\\\", "D:\\Maps\\Alps", "D:\\Maps\\Alps\\Sp.tdb"},
        {"\\\\server\\share\\", "\\\\server\\share", "\\\\server\\share\\Sp.tdb"},
        {"\\\\server\\\\share", "\\\\server\\share", "\\\\server\\share\\Sp.tdb"},
        {"", "", "Sp.tdb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("folder \"") + c.folder + "\"");
        EXPECT_EQ(catalogue::storedFolder(c.folder), c.stored);
        EXPECT_EQ(catalogue::joinPath(c.folder, "Sp.tdb"), c.joined);
        EXPECT_EQ(catalogue::joinPath(c.folder, "\\Sp.tdb"), c.joined);
        // The folder of a file joined so is the folder as stored.
        EXPECT_EQ(catalogue::folderOf(c.joined), c.stored);
    }
}

TEST(NameRules, InfoXmlPathsThatLeaveTheBundleAreFound)
{
    const struct {
        const char* path;
        bool leaves;
    } cases[] = {
        {"", false},
        {"alps.typ", false},
        {"Product1/Alps.tdb", false},
        {"Product1\\Alps", false},
        {".\\alps.typ", false},
        {"..alps.typ", false},
        {"a..b/x.tdb", false},
        {"../Other.gmap/other.typ", true},
        {"..\\other.typ", true},
        {"Product1/../../other.typ", true},
        {"Product1\\..", true},
        {"...\\other.typ", true}, // Windows drops the trailing dots of a part
        {". .\\other.typ", true},
        {"C:\\Maps\\other.typ", true},
        {"C:other.typ", true},
        {"\\Maps\\other.typ", true},
        {"/Maps/other.typ", true},
        {"\\\\server\\share\\other.typ", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("path \"") + c.path + "\"");
        EXPECT_EQ(catalogue::leavesFolder(c.path), c.leaves);
    }
}

} // namespace
} // namespace oxlo::testing
