// Uninstalling catalogue rows through the scripted dialogs: which key goes, what is asked, and
// which files go with it.
#include "catalogue/bundle_folders.h"
#include "catalogue/catalogue_fixture.h"

#include "catalogue/installed_mapsets.h"
#include "catalogue/uninstall.h"
#include "platform/host_files.h"
#include "platform/portable/scripted_ui.h"
#include "platform/services.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace oxlo::testing {
namespace {

using namespace oxlo::platform;
using catalogue::scanInstalledMapsets;
using catalogue::uninstallMapset;
using Rows = std::vector<std::string>;

// Every message of the test since the first `from` must be one of the uninstall's, in this order.
void expectMessages(const Shown& expected, std::size_t from = 0)
{
    const auto shown = scripted::shownMessages();
    ASSERT_GE(shown.size(), from);
    EXPECT_EQ(textsAndFlags("Uninstall Mapset", {shown.begin() + static_cast<std::ptrdiff_t>(from), shown.end()}),
              expected);
}

const Shown::value_type kFileQuestion{"Do you wish to delete the mapset files?", 0x24};
const Shown::value_type kSuccess{"Uninstall Successful.", 0x40};

std::string confirmation(const std::string& key)
{
    return "Proceed to uninstall mapset '" + key + "' ?";
}

class Uninstall : public CatalogueTest {
protected:
    void SetUp() override
    {
        CatalogueTest::SetUp();
        alpsFolder_ = folder_ + "\\Alps";
        for (const char* file : {"Alps.img", "Alps.tdb", "Alps.mdx", "Alps.mp", "63240001.img",
                                 "63240002.img"}) {
            makeFile(std::string("Alps\\") + file);
        }
        addFamily("Alps", kRegBinary, {0x71, 0x17}, alpsFolder_, alpsFolder_ + "\\Alps.tdb");
        addFamily("Dolomites", kRegBinary, {0x72, 0x17}, "C:\\Dol", "C:\\Dol\\Dol.TDB");
    }

    std::string alpsFolder_;
};

TEST_F(Uninstall, FamilyKeyGoesWithItsSubkeyAndNoKeepsTheFiles)
{
    scanInstalledMapsets();
    scripted::answerNextMessage(kAnswerYes);
    scripted::answerNextMessage(kAnswerNo);
    scripted::answerNextMessage(kAnswerOk);

    uninstallMapset(1);

    expectMessages({{confirmation("Families\\Alps"), 0x24}, kFileQuestion, kSuccess});
    EXPECT_FALSE(keyExists(kFamilies + "\\Alps"));
    EXPECT_TRUE(keyExists(kFamilies + "\\Dolomites\\1"));
    EXPECT_EQ(listRows(), Rows{"FID6002|Dolomites"});
    EXPECT_EQ(label(), "1 Installed Mapsets");
    EXPECT_TRUE(fileExists(alpsFolder_ + "\\Alps.tdb"));
    EXPECT_TRUE(fileExists(alpsFolder_ + "\\63240002.img"));
}

TEST_F(Uninstall, NoToTheConfirmationChangesNothing)
{
    scanInstalledMapsets();
    const Rows before = listRows();
    scripted::answerNextMessage(kAnswerNo);
    scripted::answerNextMessage(kAnswerOk);

    uninstallMapset(1);

    expectMessages({{confirmation("Families\\Alps"), 0x24}, {"Uninstall Cancelled.", 0x40}});
    EXPECT_TRUE(keyExists(kFamilies + "\\Alps\\1"));
    EXPECT_EQ(listRows(), before);
    EXPECT_TRUE(fileExists(alpsFolder_ + "\\Alps.img"));
}

TEST_F(Uninstall, YesToTheFileQuestionRemovesTheFolderOnlyWhenNothingElseIsLeft)
{
    makeFile("Alps\\Alps.reg");
    makeFile("Alps\\Alps.TYP");
    emptyTrash();
    scanInstalledMapsets();
    scripted::answerNextMessage(kAnswerYes);
    scripted::answerNextMessage(kAnswerYes);
    scripted::answerNextMessage(kAnswerOk);
    uninstallMapset(1);
    expectMessages({{confirmation("Families\\Alps"), 0x24}, kFileQuestion, kSuccess});
    EXPECT_FALSE(std::filesystem::exists(hostPath(alpsFolder_)));
    // In the Recycle Bin, from where the user can restore them.
    for (const char* file : {"Alps.img", "Alps.tdb", "Alps.mdx", "Alps.mp", "63240001.img",
                             "63240002.img", "Alps.reg", "Alps.TYP"}) {
        SCOPED_TRACE(file);
        const std::filesystem::path recycled = trashFolder() / file;
        EXPECT_TRUE(std::filesystem::exists(recycled));
    }

    // The same with a file of another kind beside the mapset, and a TYP file that another family
    // names: the folder and those files stay.
    const std::string dolFolder = folder_ + "\\Dol";
    for (const char* file : {"Dol.img", "Dol.TDB", "Dol.mdx", "Dol.mp", "readme.txt", "Dol.typ"}) {
        makeFile(std::string("Dol\\") + file);
    }
    putText(kFamilies + "\\Dolomites\\1", "LOC", dolFolder);
    addFamily("Topo", kRegBinary, {0x73, 0x17}, "C:\\Topo", "C:\\Topo\\Topo.TDB");
    putText(kFamilies + "\\Topo", "TYP", dolFolder + "\\Dol.typ");
    scanInstalledMapsets();
    const std::size_t shownBefore = scripted::shownMessages().size();
    scripted::answerNextMessage(kAnswerYes);
    scripted::answerNextMessage(kAnswerYes);
    scripted::answerNextMessage(kAnswerOk);
    scripted::answerNextMessage(kAnswerOk);
    uninstallMapset(1);
    expectMessages({{confirmation("Families\\Dolomites"), 0x24},
                    kFileQuestion,
                    {dolFolder + "\\Dol.typ stays because mapset Families\\Topo uses it too.", 0x40},
                    kSuccess},
                   shownBefore);
    EXPECT_FALSE(keyExists(kFamilies + "\\Dolomites"));
    EXPECT_TRUE(fileExists(dolFolder + "\\readme.txt"));
    EXPECT_TRUE(fileExists(dolFolder + "\\Dol.typ"));
    for (const char* file : {"Dol.img", "Dol.TDB", "Dol.mdx", "Dol.mp"}) {
        SCOPED_TRACE(file);
        EXPECT_FALSE(fileExists(dolFolder + "\\" + file));
    }
    EXPECT_EQ(label(), "1 Installed Mapsets");
}

TEST_F(Uninstall, NumericProductRowAddressesTheKeyItWasReadFrom)
{
    // Key 999 holds a mapset whose .TDB says 152; key 152 is a different mapset.
    const std::string tdb = makeTdb("Prod\\Alps.tdb", 152);
    addProduct("999", folder_ + "\\Prod", tdb);
    putText(kProducts + "\\152", "LOC", "C:\\Other");
    putText(kProducts + "\\152", "TDB", "C:\\Other\\Other.TDB");
    scanInstalledMapsets();
    ASSERT_EQ(listRows().at(3), "COD152|Alps"); // after Products\152, "COD0|Other"
    scripted::answerNextMessage(kAnswerYes);
    scripted::answerNextMessage(kAnswerNo);
    scripted::answerNextMessage(kAnswerOk);

    uninstallMapset(4);

    expectMessages({{confirmation("Products\\999"), 0x24}, kFileQuestion, kSuccess});
    EXPECT_FALSE(keyExists(kProducts + "\\999"));
    EXPECT_EQ(textValue(kProducts + "\\152", "LOC"), "C:\\Other");
    EXPECT_EQ(listRows(), (Rows{"FID6001|Alps", "FID6002|Dolomites", "COD0|Other"}));
}

TEST_F(Uninstall, OldFormProductRowDeletesItsNamedKey)
{
    const std::string tdb = makeTdb("Topo\\Topo.TDB", 152);
    addProduct("Topo", folder_ + "\\Topo", tdb);
    scripted::answerNextMessage(kAnswerNo); // leave it in the old form
    scanInstalledMapsets();
    ASSERT_EQ(catalogue::installedMapsets[3].form, "O");
    scripted::answerNextMessage(kAnswerYes);
    scripted::answerNextMessage(kAnswerYes);
    scripted::answerNextMessage(kAnswerOk);

    uninstallMapset(3);

    const auto messages = scripted::shownMessages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[1].text, confirmation("Products\\Topo"));
    EXPECT_EQ(messages[3].text, "Uninstall Successful.");
    EXPECT_FALSE(keyExists(kProducts + "\\Topo"));
    EXPECT_TRUE(keyExists(kProducts));
    EXPECT_FALSE(fileExists(tdb));
    EXPECT_EQ(listRows().size(), 2u);
}

TEST_F(Uninstall, FilesInAFolderAnotherMapsetUsesStayWithoutTheQuestion)
{
    struct Case {
        const char* what;
        std::string otherKey; // registered with Alps' folder, spelled otherwise; none for a bundle
        std::string shownKey;
    };
    const Case cases[] = {
        {"family, other case and a trailing backslash", kFamilies + "\\Alps2\\1",
         "Families\\Alps2"},
        {"numeric product", kProducts + "\\152", "Products\\152"},
        {"family installed with product ID 3", kFamilies + "\\Dales\\3", "Families\\Dales"},
        {"a folder in a BaseCamp bundle", "", "Maps\\Alps.gmap"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        std::string folder = alpsFolder_;
        if (c.otherKey.empty()) {
            // Alps registered where the bundle's own files lie.
            folder = addBundle(KnownFolder::ProgramData, "Alps.gmap") + "\\Product1";
            putText(kFamilies + "\\Alps\\1", "LOC", folder);
        } else {
            std::string upperCase = alpsFolder_;
            for (char& letter : upperCase) letter = static_cast<char>(std::toupper(letter));
            putText(c.otherKey, "LOC", upperCase + "\\");
            putText(c.otherKey, "TDB", alpsFolder_ + "\\Alps.tdb");
        }
        const auto sortedFiles = [&] {
            auto names = listFiles(folder, "*");
            std::sort(names.begin(), names.end());
            return names;
        };
        const auto filesBefore = sortedFiles();
        scanInstalledMapsets();
        scripted::answerNextMessage(kAnswerYes);
        scripted::answerNextMessage(kAnswerOk);
        scripted::answerNextMessage(kAnswerOk);
        const std::size_t before = scripted::shownMessages().size();

        uninstallMapset(1);

        const auto shown = scripted::shownMessages();
        ASSERT_EQ(shown.size(), before + 3);
        EXPECT_EQ(shown[before + 1].title, "Uninstall Mapset");
        EXPECT_EQ(shown[before + 1].text, "The mapset files stay in " + folder +
                                              " because mapset " + c.shownKey +
                                              " uses that folder too.");
        EXPECT_EQ(shown[before + 1].flags, 0x40);
        EXPECT_EQ(shown[before + 2].text, "Uninstall Successful.");
        EXPECT_FALSE(keyExists(kFamilies + "\\Alps"));
        EXPECT_FALSE(filesBefore.empty());
        EXPECT_EQ(sortedFiles(), filesBefore);
        clearBundleFolders();
    }
}

TEST_F(Uninstall, AKeyThatCannotBeOpenedIsNoSuccess)
{
    // A key name outside the ANSI code page lists as "??????", which names no key: it cannot be
    // opened, so it is reported as not removed (rather than as a copy that failed).
    scanInstalledMapsets();
    catalogue::installedMapsets[1].keyName = "??????";
    scripted::answerNextMessage(kAnswerYes);
    scripted::answerNextMessage(kAnswerOk);

    uninstallMapset(1);

    expectMessages({{confirmation("Families\\??????"), 0x24},
                    {"The registry entry Families\\?????? could not be removed.", 0x30}});
    EXPECT_TRUE(keyExists(kFamilies + "\\Alps\\1"));
    EXPECT_TRUE(fileExists(alpsFolder_ + "\\Alps.img"));
}

TEST_F(Uninstall, FilesThatCannotBeDeletedAreReportedInsteadOfSuccess)
{
    setHostReadOnly(alpsFolder_ + "\\Alps.tdb", true);
    scanInstalledMapsets();
    scripted::answerNextMessage(kAnswerYes);
    scripted::answerNextMessage(kAnswerYes);
    scripted::answerNextMessage(kAnswerOk);

    uninstallMapset(1);

    expectMessages({{confirmation("Families\\Alps"), 0x24},
                    kFileQuestion,
                    {"The mapset was uninstalled, but some of its files could not be deleted "
                     "from " + alpsFolder_ + ".", 0x30}});
    EXPECT_FALSE(keyExists(kFamilies + "\\Alps"));
    EXPECT_TRUE(fileExists(alpsFolder_ + "\\Alps.tdb"));
    EXPECT_FALSE(fileExists(alpsFolder_ + "\\Alps.img"));
    setHostReadOnly(alpsFolder_ + "\\Alps.tdb", false);
}

TEST_F(Uninstall, RowsOutsideTheTableAreIgnored)
{
    scanInstalledMapsets();
    uninstallMapset(0);
    uninstallMapset(3);
    EXPECT_TRUE(scripted::shownMessages().empty());
    EXPECT_EQ(subkeyNames(kFamilies), (Rows{"Alps", "Dolomites"}));
}

} // namespace
} // namespace oxlo::testing
