// Save for GPS through the real window: the row's context menu, the save dialog, mkgmap (the
// stand-in java.exe) and the boxes; a second save replacing the file after the dialog's question,
// with mkgmap leaving a map out, keeps the first file as it was.
#include "mkgmap_fixture.h"

#include <fstream>

namespace oxlo::e2e {
namespace {

constexpr char kGpsSaveTitle[] = "Save for GPS";

class SaveForGps : public MkgmapEndToEndTest {
protected:
    // Save for GPS from the first row's menu (its last item), `file` in `folder` chosen in the
    // save dialog.
    bool saveInto(HWND list, const std::string& folder, const std::string& file)
    {
        if (!chooseFromRowMenu(list, 1)) return false;
        HWND dialog = waitForFileDialog(oxlo_.id(), kGpsSaveTitle);
        if (!dialog) {
            ADD_FAILURE() << "Save for GPS opened no save dialog";
            return false;
        }
        chooseFiles(dialog, folder, {file});
        return true;
    }
};

TEST_F(SaveForGps, SavesTheMapsetAndKeepsTheFileWhenMkgmapLeavesAMapOut)
{
    const std::string hills = workFolder() + "\\Hills";
    makeEmptyFolder(hills);
    for (const char* file : {"Hills.tdb", "63250001.img", "63250002.img", "hills.typ"})
        copyFile(data_ + "\\ready\\Hills\\" + file, hills + "\\" + file);
    regAddFamily("Hills", "7517", hills, hills + "\\Hills.tdb"); // family ID 6005, as its TYP
    regAddText(kFamilies + "Hills", "TYP", hills + "\\hills.typ");
    const std::string out = workFolder() + "\\card";
    makeEmptyFolder(out);
    const std::string file = out + "\\gmapsupp.img";
    HWND window = nullptr;
    HWND list = startWithList("1 Installed Mapsets", &window);
    ASSERT_NE(list, nullptr);

    ASSERT_TRUE(saveInto(list, out, "gmapsupp.img"));
    const MessageBoxInfo ready = expectBox(
        kGpsSaveTitle, "The GPS map " + file + " is ready: mapset Hills, 2 maps. It goes into the Garmin "
                "folder of the device or of its memory card.", {IDOK});
    answer(ready, IDOK);
    EXPECT_EQ(names(out), std::vector<std::string>{"gmapsupp.img"}) << "no work folder is left";
    const std::string saved = fileText(file);
    for (const char* subfile : {"63250001TRE", "63250002TRE", "00XF6005TYP"})
        EXPECT_NE(saved.find(subfile), std::string::npos) << subfile << " is in the directory";

    std::ofstream(workFolder() + "\\standin-control.txt") << "mkgmap drop-last-map\n";
    ASSERT_TRUE(saveInto(list, out, "gmapsupp.img"));
    // The save dialog asks before a file is replaced.
    auto question = waitForMessageBox(oxlo_.id());
    ASSERT_TRUE(question.has_value()) << "the save dialog did not ask to replace the file";
    answer(*question, IDYES);
    auto failure = waitForMessageBox(oxlo_.id());
    ASSERT_TRUE(failure.has_value()) << "no message after mkgmap left a map out";
    EXPECT_EQ(failure->title, kGpsSaveTitle);
    EXPECT_NE(failure->text.find("\n\nmkgmap left 1 of the 2 maps out of " + file +
                                 ", the first being 63250002.img. Nothing was saved."),
              std::string::npos) << *failure;
    answer(*failure, IDOK);
    EXPECT_EQ(names(out), std::vector<std::string>{"gmapsupp.img"});
    EXPECT_EQ(fileText(file), saved) << "the first file stays as it was";
    EXPECT_TRUE(IsWindowEnabled(window));
}

} // namespace
} // namespace oxlo::e2e
