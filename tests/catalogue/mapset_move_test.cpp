// Move Mapset on mkgmap's Hills: the whole move, what it leaves in the old folder, and every
// refusal before anything is copied.
#include "catalogue/move_fixture.h"

#include "catalogue/mapset_menu.h"
#include "catalogue/mapset_move.h"
#include "platform/portable/scripted_ui.h"
#include "platform/services.h"

#include <gtest/gtest.h>

#include <functional>

namespace oxlo::testing {
namespace {

using namespace oxlo::platform;
namespace fs = std::filesystem;

class MapsetMove : public MoveTest {
protected:
    // The question of moving Hills into target_.
    std::string question() const
    {
        return "Move mapset Hills from " + hills_ + " to " + moved_ +
               "? Its files are copied, checked, and then go from " + hills_ +
               " to the Recycle Bin.";
    }
    bool move(const std::string& chosen)
    {
        return catalogue::moveMapsetTo(hillsRow(), chosen, {[this](const std::string& line) {
                                                       progress_.push_back(line);
                                                   }, [this] { ++progressDone_; }});
    }
    std::vector<std::string> progress_;
    int progressDone_ = 0;
};

TEST_F(MapsetMove, MovesEveryFileAndPathThenRecyclesTheOldFolder)
{
    emptyTrash();
    const std::string before = catalogueText();
    const std::string entryBefore = catalogue::registryFileText(
        kFamilies + "\\Hills", *catalogue::readRegistryTree(kLocalMachine, kFamilies + "\\Hills"));

    scripted::answerNextMessage(kAnswerNo);
    EXPECT_FALSE(move(target_ + "\\"));
    EXPECT_EQ(shownMessagesWithFlags(), std::vector<std::string>{question() + " [36]"});
    EXPECT_EQ(catalogueText(), before);
    EXPECT_FALSE(fs::exists(hostPath(moved_))) << "nothing copied before the Yes";

    scripted::answerNextMessage(kAnswerYes);
    scripted::answerNextMessage(kAnswerOk);
    // Typed with a dot and a blank at its end, the name finds the folder without them.
    EXPECT_TRUE(move(target_ + ". "));
    EXPECT_EQ(shownMessagesWithFlags(), (std::vector<std::string>{question() + " [36]", question() + " [36]",
                                                        "Mapset Hills moved to " + moved_ + ". [64]"}));
    EXPECT_EQ(entryPaths(), pathsIn(moved_));
    expectFilesOf(moved_, hillsFiles());
    EXPECT_FALSE(fs::exists(hostPath(hills_))) << "the emptied old folder goes";
    EXPECT_TRUE(fs::exists(trashFolder() / "Hills.tdb")) << "recycled, not deleted";
    EXPECT_EQ(textValue(kUninstallEntry, "InstallLocation"), moved_);
    EXPECT_EQ(textValue(kUninstallEntry, "UninstallString"),
              "\"" + moved_ + "\\uninstall.exe\" /S");
    EXPECT_EQ(textValue(kUninstallEntry, "DisplayName"), "Hills");
    ASSERT_EQ(copies().size(), 1u);
    EXPECT_EQ(copyText(copies()[0]), entryBefore) << "the entry as it was, saved first";
    ASSERT_EQ(progress_.size(), 7u);
    EXPECT_EQ(progress_.front(), "Moving Hills: 1 of 7 files");
    EXPECT_EQ(progress_.back(), "Moving Hills: 7 of 7 files");
    EXPECT_EQ(progressDone_, 1);
    EXPECT_EQ(catalogue::installedMapsets[1].loc, moved_) << "rescanned";
    EXPECT_TRUE(catalogue::installedMapsets[1].problems.empty());
}

TEST_F(MapsetMove, OtherFilesStayAndATypAnotherFamilyNamesIsCopied)
{
    makeFile("Hills\\notes.txt", "mine");
    addFamily("Dales", kRegBinary, {0x76, 0x17}, folder_ + "\\Dales", folder_ + "\\Dales\\D.tdb");
    putText(kFamilies + "\\Dales", "TYP", hills_ + "\\HILLS.TYP");
    catalogue::scanInstalledMapsets();
    // An identical copy in the target is no obstacle.
    fs::create_directories(hostPath(moved_));
    fs::copy_file(hostPath(hills_ + "\\63250001.img"), hostPath(moved_ + "\\63250001.img"));

    scripted::answerNextMessage(kAnswerYes);
    scripted::answerNextMessage(kAnswerOk);
    EXPECT_TRUE(move(target_));
    EXPECT_EQ(entryPaths(), pathsIn(moved_));
    expectFilesOf(moved_, hillsFiles());
    EXPECT_EQ(textValue(kFamilies + "\\Dales", "TYP"), hills_ + "\\HILLS.TYP");
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(hostPath(hills_)))
        left.push_back(textOfPath(entry.path().filename()));
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"hills.typ", "notes.txt"}));
}

TEST_F(MapsetMove, RefusesBeforeCopyingAnything)
{
    const std::string longFolder = target_ + "\\" + std::string(237 - target_.size(), 'a');
    const struct {
        const char* what;
        std::function<void()> arrange;
        std::string chosen;
        std::string text;
    } cases[] = {
        {"another mapset's folder",
         [&] { addFamily("Dales", kRegBinary, {0x76, 0x17}, moved_, makeFile("Target\\Hills\\D.tdb")); },
         target_,
         "The folder " + moved_ + " holds mapset Families\\Dales. Please choose another mapset "
                                  "name or folder."},
        {"a path the scan cannot read back",
         [&] { fs::create_directories(hostPath(longFolder)); }, longFolder,
         "The path " + longFolder + "\\Hills\\Hills_mdr.img is longer than the 254 characters "
         "that MapSource's registry entries can hold. Nothing was changed."},
        {"a file of other content in the way",
         [&] { makeFile("Target\\Hills\\63250002.img", "other"); }, target_,
         "63250002.img is in the way in " + moved_ + "."},
        {"a folder in the way",
         [&] { fs::create_directories(hostPath(moved_ + "\\Hills.tdb")); }, target_,
         "Hills.tdb is in the way in " + moved_ + "."},
        {"a missing map", [&] { fs::remove(hostPath(hills_ + "\\63250002.img")); }, target_,
         hills_ + " lacks 1 of the mapset's 2 maps, the first being 63250002.img."},
        {"a missing search index", [&] { fs::remove(hostPath(hills_ + "\\Hills_mdr.img")); },
         target_, "The search index " + hills_ + "\\Hills_mdr.img does not exist."},
        {"a missing TYP file", [&] { fs::remove(hostPath(hills_ + "\\hills.typ")); }, target_,
         "The TYP file " + hills_ + "\\hills.typ does not exist."},
        {"its own folder", [] {}, folder_, "Mapset Hills is in " + hills_ + " already."},
        {"a folder that is not there", [] {}, folder_ + "\\Nowhere",
         "The folder " + folder_ + "\\Nowhere does not exist."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        scripted::resetScript();
        SetUp();
        c.arrange();
        const std::string before = catalogueText();
        const auto inTarget = [&] {
            std::vector<std::string> names;
            for (const auto& entry : fs::recursive_directory_iterator(hostPath(target_)))
                names.push_back(textOfPath(entry.path()));
            return names;
        };
        const auto targetBefore = inTarget();
        scripted::answerNextMessage(kAnswerOk);
        EXPECT_FALSE(move(c.chosen));
        EXPECT_EQ(textsAndFlags("Move Mapset"), (Shown{{c.text, 0x30}}));
        EXPECT_EQ(catalogueText(), before);
        EXPECT_EQ(inTarget(), targetBefore);
        EXPECT_TRUE(copies().empty());
    }
}

TEST_F(MapsetMove, TheMenuAsksForTheFolderWithTheMapsetsName)
{
    scripted::chooseNextFolder("");
    catalogue::runMapsetCommand(catalogue::kMoveMapsetCommand, 1);
    ASSERT_EQ(scripted::shownChoosers().size(), 1u);
    EXPECT_EQ(scripted::shownChoosers()[0].title, "Choose the folder to move mapset Hills into");
    EXPECT_TRUE(scripted::shownMessages().empty()) << "a Cancel does nothing";
    EXPECT_EQ(entryPaths(), pathsIn(hills_));
}

} // namespace
} // namespace oxlo::testing
