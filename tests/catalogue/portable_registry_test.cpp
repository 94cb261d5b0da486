// Cases that need control over the registry which only the in-memory registry gives: keys that
// refuse deletion, another computer, stale handles and leaked ones.
#include "catalogue/catalogue_fixture.h"

#include "catalogue/installed_mapsets.h"
#include "catalogue/registry_tree.h"
#include "catalogue/uninstall.h"
#include "platform/portable/memory_registry.h"
#include "platform/portable/scripted_ui.h"
#include "platform/registry.h"
#include "platform/services.h"

#include <gtest/gtest.h>

namespace oxlo::testing {
namespace {

using namespace oxlo::platform;
using Rows = std::vector<std::string>;

class PortableRegistry : public CatalogueTest {
protected:
    void SetUp() override
    {
        memory_registry::reset();
        CatalogueTest::SetUp();
    }
    void TearDown() override
    {
        CatalogueTest::TearDown();
        EXPECT_EQ(memory_registry::openHandleCount(), 0) << "a registry handle was not closed";
        memory_registry::reset();
    }
};

TEST_F(PortableRegistry, DeleteTreePassesOverASubkeyThatCannotBeDeleted)
{
    const std::string tree = kFamilies + "\\Tree";
    for (const char* key : {"\\a\\deep", "\\b\\deep", "\\b\\deeper", "\\c", "\\d\\deep"}) {
        putKey(tree + key);
    }
    ASSERT_TRUE(memory_registry::setUndeletable(kLocalMachine, tree + "\\b\\deeper", true));
    ASSERT_TRUE(memory_registry::setUndeletable(kLocalMachine, tree + "\\c", true));

    // Ends (rather than taking up b or c again and again), deletes all it can, and says 0.
    EXPECT_EQ(deleteRegistryTree(kLocalMachine, tree), 0);
    EXPECT_EQ(subkeyNames(tree), (Rows{"b", "c"}));
    EXPECT_EQ(subkeyNames(tree + "\\b"), Rows{"deeper"});

    memory_registry::setUndeletable(kLocalMachine, tree + "\\b\\deeper", false);
    memory_registry::setUndeletable(kLocalMachine, tree + "\\c", false);
    EXPECT_EQ(deleteRegistryTree(kLocalMachine, tree), 1);
    EXPECT_FALSE(keyExists(tree));
}

TEST_F(PortableRegistry, UninstallOfAKeyThatCannotBeDeletedReportsItAndKeepsTheFiles)
{
    makeFile("Alps\\Alps.img");
    addFamily("Alps", kRegBinary, {0x71, 0x17}, folder_ + "\\Alps", folder_ + "\\Alps\\Alps.tdb");
    ASSERT_TRUE(memory_registry::setUndeletable(kLocalMachine, kFamilies + "\\Alps\\1", true));
    catalogue::scanInstalledMapsets();
    scripted::answerNextMessage(kAnswerYes);
    scripted::answerNextMessage(kAnswerOk);

    catalogue::uninstallMapset(1);

    const auto messages = scripted::shownMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].title, "Uninstall Mapset");
    EXPECT_EQ(messages[1].text, "The registry entry Families\\Alps could not be removed.");
    EXPECT_EQ(messages[1].flags, 0x30);
    EXPECT_TRUE(keyExists(kFamilies + "\\Alps\\1"));
    EXPECT_TRUE(fileExists(folder_ + "\\Alps\\Alps.img"));
    EXPECT_EQ(listRows(), Rows{"FID6001|Alps"});
    memory_registry::setUndeletable(kLocalMachine, kFamilies + "\\Alps\\1", false);
}

TEST_F(PortableRegistry, RepairKeepsTheOldEntryWhenTheNewOneCannotBeCompleted)
{
    // The old key cannot be deleted: the new key goes again, so the mapset keeps exactly its one
    // old entry (two would list it twice), and the user is told.
    const std::string tdb = makeTdb("Topo.TDB", 152);
    addProduct("Topo", folder_, tdb);
    ASSERT_TRUE(memory_registry::setUndeletable(kLocalMachine, kProducts + "\\Topo", true));
    scripted::answerNextMessage(kAnswerYes);
    scripted::answerNextMessage(kAnswerOk);

    catalogue::scanInstalledMapsets();

    EXPECT_FALSE(keyExists(kProducts + "\\152"));
    EXPECT_EQ(textValue(kProducts + "\\Topo", "TDB"), tdb);
    EXPECT_EQ(catalogue::installedMapsets[1].keyName, "Topo");
    const auto shown = scripted::shownMessages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, "Mapset Topo was not fixed: the registry entry Products\\Topo could "
                             "not be removed. Its registry entry stays as it is.");
    memory_registry::setUndeletable(kLocalMachine, kProducts + "\\Topo", false);
}

TEST_F(PortableRegistry, ADeletionThatStopsHalfWayPutsBackWhatItTook)
{
    // Subkey 1 goes first, then the undeletable 2 stops the deletion of the family key.
    const std::string alps = kFamilies + "\\Alps";
    putValue(alps, "ID", kRegBinary, {0x71, 0x17});
    putText(alps + "\\1", "LOC", "C:\\Alps");
    putText(alps + "\\2", "LOC", "C:\\Alps2");
    ASSERT_TRUE(memory_registry::setUndeletable(kLocalMachine, alps + "\\2", true));

    EXPECT_FALSE(catalogue::deleteRegistryTreeOrKeep(kLocalMachine, alps));

    EXPECT_EQ(textValue(alps + "\\1", "LOC"), "C:\\Alps");
    EXPECT_EQ(textValue(alps + "\\2", "LOC"), "C:\\Alps2");
    ASSERT_TRUE(rawValue(alps, "ID").has_value());
    EXPECT_EQ(rawValue(alps, "ID")->bytes, (std::vector<unsigned char>{0x71, 0x17}));
    memory_registry::setUndeletable(kLocalMachine, alps + "\\2", false);
}

TEST_F(PortableRegistry, ANamedComputerHasItsOwnRegistry)
{
    memory_registry::addRemoteComputer("MAPSERVER");
    const std::string key = std::string(kMapsource) + "\\Remote";
    EXPECT_EQ(createRegistryKey(kLocalMachine, key, "\\\\MAPSERVER"), 1);
    EXPECT_EQ(writeRegistryValue(kLocalMachine, key, "LOC", "remote", kValueText, "\\\\MAPSERVER"),
              1);
    EXPECT_EQ(readRegistryValue(kLocalMachine, key, "LOC", "\\\\MAPSERVER"), "remote");
    EXPECT_FALSE(keyExists(key));
    EXPECT_EQ(readRegistryValue(kLocalMachine, key, "LOC", ""), "");
}

TEST_F(PortableRegistry, HandlesOfADeletedKeyGoStale)
{
    putKey(kFamilies + "\\Alps");
    RegistryHandle handle = 0;
    ASSERT_EQ(registryOpenKey(kLocalMachine, kFamilies + "\\Alps", RegistryAccess::Full, &handle),
              kRegistryOk);
    ASSERT_EQ(registryDeleteKey(kLocalMachine, kFamilies + "\\Alps"), kRegistryOk);
    const unsigned char bytes[2] = {1, 2};
    EXPECT_EQ(registrySetValue(handle, "ID", kRegBinary, bytes, 2),
              memory_registry::kRegistryKeyDeleted);
    char name[16];
    unsigned length = sizeof name;
    EXPECT_EQ(registryEnumKey(handle, 0, name, &length), memory_registry::kRegistryKeyDeleted);
    registryCloseKey(handle);
    EXPECT_EQ(registryDeleteKey(kLocalMachine, kFamilies), kRegistryOk);
}

TEST_F(PortableRegistry, ImportPathsNameTheThirtyTwoBitViewAsRegeditReachesIt)
{
    struct Case {
        bool separateView;
        std::string path, expected;
    };
    const std::vector<Case> cases = {
        {true, "SOFTWARE\\Garmin\\Mapsource\\Families\\Alps",
         "SOFTWARE\\WOW6432Node\\Garmin\\Mapsource\\Families\\Alps"},
        {true, "Software\\Garmin", "Software\\WOW6432Node\\Garmin"},
        {true, "SYSTEM\\Garmin", "SYSTEM\\Garmin"}, // only SOFTWARE is split into two views
        {false, "SOFTWARE\\Garmin\\Mapsource\\Families\\Alps",
         "SOFTWARE\\Garmin\\Mapsource\\Families\\Alps"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.path + (test.separateView ? " (64-bit)" : " (32-bit)"));
        memory_registry::setSeparate32BitView(test.separateView);
        EXPECT_EQ(registryImportPath(test.path), test.expected);
    }
    memory_registry::setSeparate32BitView(true);
}

} // namespace
} // namespace oxlo::testing
