// Which mapset names can become a folder: the shared check of the Create and Edit windows.
#include "catalogue/mapset_names.h"
#include "catalogue/name_rules.h"

#include <gtest/gtest.h>

namespace oxlo::testing {
namespace {

TEST(MapsetNames, DeviceNamesAreRefusedInAnyCaseWithOrWithoutExtension)
{
    for (const char* name : {"CON", "con", "Prn", "AUX", "nul", "NUL.txt", "com1", "COM9",
                             "lpt1", "LPT9.img", "Con .x", "aux.tar.gz"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(catalogue::isUsableFolderName(name));
    }
}

TEST(MapsetNames, NamesThatOnlyResembleDevicesAreFolderNames)
{
    for (const char* name : {"CONSOLE", "Icon", "COM0", "COM10", "LPT", "AUXI", "NULL", "xCON",
                             "Alps", "Topo Deutschland", "CON-Alps"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(catalogue::isUsableFolderName(name));
    }
}

TEST(MapsetNames, NamesWindowsWouldChangeOrRefuseAreNoFolderNames)
{
    for (const char* name : {"", ".", "..", "a:b", "a|b", "a?", "x.", "x ", "a\tb", "a<b"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(catalogue::isUsableFolderName(name));
    }
}

TEST(MapsetNames, PathsCompareAsWindowsComparesThem)
{
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        {"C:\\Garmin\\Alps", "c:\\GARMIN\\alps", true},
        {"C:\\Garmin\\Alps", "C:\\Garmin\\Alps\\", true},
        {"C:\\Garmin\\\\Alps", "C:\\Garmin\\Alps", true},
        {"\\\\server\\maps", "\\\\SERVER\\Maps\\", true},
        {"C:\\", "C:\\", true},
        {"C:\\Garmin\\Alps", "C:\\Garmin\\Alps2", false},
        {"C:\\Garmin\\Alps", "D:\\Garmin\\Alps", false},
        {"\\\\server\\maps", "\\server\\maps", false},
        {"", "C:\\", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " | " + c.b);
        EXPECT_EQ(catalogue::samePath(c.a, c.b), c.same);
        EXPECT_EQ(catalogue::samePath(c.b, c.a), c.same);
    }
}

TEST(MapsetNames, AMovedFolderTakesItsFilesAlongAlsoFromAndToADriveRoot)
{
    struct Case {
        const char* path;
        const char* from;
        const char* to;
        const char* moved; // nullptr: not in the folder
    };
    const Case cases[] = {
        {"C:\\Maps\\Alps\\Alps.TDB", "C:\\Maps\\Alps", "D:\\Alps", "D:\\Alps\\Alps.TDB"},
        {"C:\\Maps\\Alps", "c:\\maps\\alps\\", "D:\\Alps", "D:\\Alps"},
        {"Q:\\Alps.TDB", "Q:\\", "D:\\Alps", "D:\\Alps\\Alps.TDB"},
        {"Q:\\", "Q:\\", "D:\\Alps", "D:\\Alps"},
        {"C:\\Maps\\Alps\\Alps.TDB", "C:\\Maps\\Alps", "F:\\", "F:\\Alps.TDB"},
        {"Q:\\Alps.TDB", "Q:\\", "F:\\", "F:\\Alps.TDB"},
        {"Q:\\Sub\\Alps.TDB", "Q:\\", "F:\\", nullptr},
        {"C:\\Maps\\Alps2\\Alps.TDB", "C:\\Maps\\Alps", "F:\\", nullptr},
        {"C:\\Maps\\Alps.TDB", "C:\\Maps\\Alps", "F:\\", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " from " + c.from + " to " + c.to);
        const auto moved = catalogue::pathMovedTo(c.path, c.from, c.to);
        EXPECT_EQ(moved.value_or("<not moved>"), c.moved ? c.moved : "<not moved>");
    }
}

} // namespace
} // namespace oxlo::testing
