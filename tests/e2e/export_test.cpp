// Export BaseCamp Bundle through the real window: the row's context menu, the folder chooser,
// mkgmap (the stand-in java.exe) and the boxes; the bundle replaced on a second export, and a
// failing mkgmap leaving the chosen folder as it was. The registry entry and the mapset's files
// are compared before and after.
#include "mkgmap_fixture.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

namespace oxlo::e2e {
namespace {

namespace fs = std::filesystem;

constexpr char kExportTitle[] = "Export BaseCamp Bundle";

class ExportBundle : public MkgmapEndToEndTest {
protected:
    // Export from the first row's menu (the item before Save for GPS, the last one), `folder`
    // chosen in the folder chooser. False (the test has failed) when the menu or the chooser does
    // not come.
    bool exportInto(HWND list, const std::string& folder)
    {
        if (!chooseFromRowMenu(list, 2)) return false;
        HWND chooser =
            waitForTopLevelWindow(oxlo_.id(), "Browse for Folder", kDefaultWait, "#32770");
        if (!chooser) {
            ADD_FAILURE() << "Export opened no folder chooser";
            return false;
        }
        EXPECT_TRUE(waitUntil([&] {
            return findControl(chooser, "Static", "Choose where to save the BaseCamp bundle");
        })) << "the chooser does not say what it is for";
        chooseFolder(chooser, folder);
        return true;
    }
    void expectIcon(const MessageBoxInfo& box, int icon)
    {
        int shown = 0;
        waitUntil([&] { return (shown = messageBoxIcon(box.handle)) == icon; }, milliseconds(2000));
        EXPECT_EQ(shown, icon) << box;
    }
    void expectReady(const std::string& folder)
    {
        const MessageBoxInfo box =
            expectBox(kExportTitle,
                      "The BaseCamp bundle " + folder + "\\Alps.gmap is ready. Copy it into "
                      "Garmin\\Maps on the computer that should show it.",
                      {IDOK});
        expectIcon(box, MB_ICONASTERISK);
        answer(box, IDOK);
    }
    // Everything below `folder` by its path inside it, each file with its size and a hash of
    // its bytes (short enough to read in a failure).
    static std::map<std::string, std::string> contents(const std::string& folder)
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            std::string& seen = files[fs::relative(entry.path(), folder).string()];
            if (!entry.is_regular_file()) continue;
            const std::string bytes = fileText(entry.path().string());
            seen = std::to_string(bytes.size()) + " bytes, hash " +
                   std::to_string(std::hash<std::string>{}(bytes));
        }
        return files;
    }
    std::vector<std::optional<std::string>> entryValues() const
    {
        return {readRegistryString32(HKEY_LOCAL_MACHINE, kFamilies + "Alps", "TYP"),
                readRegistryString32(HKEY_LOCAL_MACHINE, kFamilies + "Alps\\1", "LOC"),
                readRegistryString32(HKEY_LOCAL_MACHINE, kFamilies + "Alps\\1", "TDB")};
    }
};

TEST_F(ExportBundle, ExportsReplacesTheOldBundleAndLeavesNothingWhenMkgmapFails)
{
    const std::string alps = makeMapsetFolder("Alps");
    copyFile(data_ + "\\village-opaque.img", alps + "\\63240021.img"); // the map its index lists
    copyFile(data_ + "\\village.tdb", alps + "\\alps.typ"); // mkgmap is given a copy of it
    regAddFamily("Alps", "7117", alps, alps + "\\Alps.TDB");
    regAddText(kFamilies + "Alps", "TYP", alps + "\\alps.typ");
    const std::string out = workFolder() + "\\out";
    makeEmptyFolder(out);
    const auto mapsetBefore = contents(alps);
    const auto entryBefore = entryValues();
    HWND window = nullptr;
    HWND list = startWithList("1 Installed Mapsets", &window);
    ASSERT_NE(list, nullptr);

    {
        SCOPED_TRACE("first export");
        ASSERT_TRUE(exportInto(list, out));
        expectReady(out);
        EXPECT_EQ(names(out), std::vector<std::string>{"Alps.gmap"}) << "no work folder is left";
        EXPECT_TRUE(fileExists(out + "\\Alps.gmap\\Info.xml"));
        std::ostringstream arguments;
        arguments << std::ifstream(workFolder() + "\\standin-java-config.txt").rdbuf();
        EXPECT_NE(arguments.str().find("input-file: " + alps + "\\63240021.img\n"),
                  std::string::npos) << arguments.str();
        EXPECT_EQ(arguments.str().find(alps + "\\alps.typ"), std::string::npos)
            << "mkgmap writes beside the TYP it is given: it gets a copy\n" << arguments.str();
    }

    const std::string question = "A BaseCamp bundle Alps.gmap exists in " + out +
                                 ". Replace it? The old one goes to the Recycle Bin.";
    const std::string trash = std::string("Z:") + requiredEnvironment("XDG_DATA_HOME") +
                              "\\Trash\\files\\Alps.gmap.old";
    {
        SCOPED_TRACE("second export, replacing");
        std::ofstream(out + "\\Alps.gmap\\first.txt") << "from the first export";
        ASSERT_TRUE(exportInto(list, out));
        const MessageBoxInfo box = expectBox(kExportTitle, question, {IDYES, IDNO});
        expectIcon(box, MB_ICONQUESTION);
        answer(box, IDYES);
        expectReady(out);
        EXPECT_EQ(names(out), std::vector<std::string>{"Alps.gmap"});
        EXPECT_TRUE(fileExists(out + "\\Alps.gmap\\Info.xml"));
        EXPECT_FALSE(fileExists(out + "\\Alps.gmap\\first.txt")) << "the old bundle was replaced";
        EXPECT_TRUE(fileExists(trash + "\\first.txt")) << "the old bundle is in the Recycle Bin";
    }

    {
        SCOPED_TRACE("third export, mkgmap failing");
        std::ofstream(workFolder() + "\\standin-control.txt") << "mkgmap fail\n";
        std::ofstream(out + "\\Alps.gmap\\second.txt") << "from the second export";
        const auto outBefore = contents(out);
        ASSERT_TRUE(exportInto(list, out));
        answer(expectBox(kExportTitle, question, {IDYES, IDNO}), IDYES);
        auto failure = waitForMessageBox(oxlo_.id());
        ASSERT_TRUE(failure.has_value()) << "no message after the failed export";
        EXPECT_EQ(failure->title, kExportTitle);
        EXPECT_NE(failure->text.find("stand-in told to fail"), std::string::npos) << *failure;
        expectIcon(*failure, MB_ICONEXCLAMATION);
        answer(*failure, IDOK);
        EXPECT_EQ(contents(out), outBefore) << "the old bundle stays and nothing is added";
    }

    EXPECT_EQ(contents(alps), mapsetBefore) << "the mapset's files are untouched";
    EXPECT_EQ(entryValues(), entryBefore) << "the registry entry is untouched";
    EXPECT_TRUE(IsWindowEnabled(window));
}

} // namespace
} // namespace oxlo::e2e
