// The rules that Create, the install, Edit, Locate Folder and the console share: what a mapset
// name and a stored path may be, how stored paths are joined, which Info.xml paths leave a bundle.
#include "catalogue/name_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace oxlo::testing {
namespace {

std::string times(std::size_t count, const std::string& text)
{
    std::string result;
    while (count-- > 0) result += text;
    return result;
}

const std::string kUmlaut = "\xC3\x96";            // one UTF-16 character in two bytes
const std::string kMap = "\xF0\x9F\x97\xBA";       // U+1F5FA, two UTF-16 characters

TEST(NameRules, AMapsetNameIsAKeyNameWithoutBlanksAtItsEnds)
{
    const std::pair<std::string, bool> cases[] = {
        {"Alps", true}, {"Topo Deutschland 2024", true}, {"", false}, {" Alps", false},
        {"Alps ", false}, {"\tAlps", false}, {"Alps\n", false}, {"Alps\\West", false},
        {"Alps/West", true}, // a key name may hold it; Create refuses it as a folder name
        {times(255, "x"), true}, {times(256, "x"), false}, {times(255, kUmlaut), true},
        {times(256, kUmlaut), false}, {times(127, kMap) + "x", true}, {times(128, kMap), false},
    };
    for (const auto& [name, usable] : cases) {
        SCOPED_TRACE("\"" + name + "\" (" + std::to_string(name.size()) + " bytes)");
        EXPECT_EQ(catalogue::isUsableMapsetName(name), usable);
    }
}

TEST(NameRules, AStoredPathHasAtMostTheCharactersTheScanReadsBack)
{
    const std::pair<std::string, bool> cases[] = {
        {"", true}, {"C:\\" + times(251, "a"), true}, {"C:\\" + times(252, "a"), false},
        {"C:\\" + times(251, kUmlaut), true}, {"C:\\" + times(252, kUmlaut), false},
        {"C:\\" + times(251, kMap), true},
    };
    for (const auto& [path, storable] : cases) {
        SCOPED_TRACE(std::to_string(path.size()) + " bytes");
        EXPECT_EQ(catalogue::isStorablePath(path), storable);
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
        {"D:\\Maps\\", "D:\\Maps", "D:\\Maps\\Sp.tdb"},
        {"D:\\\\Maps\\\\Alps\\\\", "D:\\Maps\\Alps", "D:\\Maps\\Alps\\Sp.tdb"},
        {"\\\\server\\\\share\\", "\\\\server\\share", "\\\\server\\share\\Sp.tdb"},
        {"", "", "Sp.tdb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("folder \"") + c.folder + "\"");
        EXPECT_EQ(catalogue::storedFolder(c.folder), c.stored);
        EXPECT_EQ(catalogue::joinPath(c.folder, "Sp.tdb"), c.joined);
        EXPECT_EQ(catalogue::joinPath(c.folder, "\\Sp.tdb"), c.joined);
        EXPECT_EQ(catalogue::folderOf(c.joined), c.stored);
    }
}

TEST(NameRules, InfoXmlPathsThatLeaveTheBundleAreFound)
{
    const std::pair<const char*, bool> cases[] = {
        {"", false}, {"alps.typ", false}, {"Product1/Alps.tdb", false}, {".\\alps.typ", false},
        {"..alps.typ", false}, {"a..b/x.tdb", false}, {"../Other.gmap/other.typ", true},
        {"..\\other.typ", true}, {"Product1/../../other.typ", true}, {"Product1\\..", true},
        {"...\\other.typ", true}, {". .\\other.typ", true}, // Windows drops trailing dots
        {"C:\\Maps\\other.typ", true}, {"C:other.typ", true}, {"\\Maps\\other.typ", true},
        {"/Maps/other.typ", true}, {"\\\\server\\share\\other.typ", true},
    };
    for (const auto& [path, leaves] : cases) {
        SCOPED_TRACE(std::string("path \"") + path + "\"");
        EXPECT_EQ(catalogue::leavesFolder(path), leaves);
    }
}

} // namespace
} // namespace oxlo::testing
