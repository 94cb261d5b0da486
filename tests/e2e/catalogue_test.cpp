// The catalogue as a newcomer meets it: mapsets registered by hand with Wine's own `reg add` (in
// the 32-bit view, where MapSource looks) are listed by Oxlo, an old-form product entry is
// repaired on request, and a mapset is uninstalled through the real buttons and boxes.
#include "e2e_test.h"

#include <fstream>
#include <iterator>

namespace oxlo::e2e {
namespace {

const std::string kMapsource = "SOFTWARE\\Garmin\\Mapsource";
const std::string kFamilies = kMapsource + "\\Families\\";
const std::string kProducts = kMapsource + "\\Products\\";
using Rows = std::vector<std::vector<std::string>>;

class Catalogue : public EndToEndTest {
protected:
    void SetUp() override
    {
        deleteRegistryTree32(HKEY_LOCAL_MACHINE, kMapsource);
        data_ = requiredEnvironment("OXLO_E2E_DATA");
    }

    void TearDown() override
    {
        if (oxlo_.running()) {
            oxlo_.terminate();
        }
        deleteRegistryTree32(HKEY_LOCAL_MACHINE, kMapsource);
    }

    // `reg add HKLM\<key> [/v name /t type /d data] /reg:32 /f`, as a user would type it.
    void regAdd(const std::string& key, const std::string& valueArguments)
    {
        Process reg = Process::start("C:\\windows\\system32\\reg.exe", workFolder(),
                                     "add \"HKLM\\" + key + "\" " + valueArguments +
                                         " /reg:32 /f");
        const auto exitCode = reg.waitForExit(milliseconds(20000));
        ASSERT_TRUE(exitCode.has_value()) << "reg add " << key << " did not end";
        ASSERT_EQ(*exitCode, 0u) << "reg add " << key << " " << valueArguments;
    }

    void regAddText(const std::string& key, const std::string& name, const std::string& text)
    {
        regAdd(key, "/v " + name + " /t REG_SZ /d \"" + text + "\"");
    }

    // A mapset folder holding a copy of the mkgmap index (product code 152, or `code`), a map,
    // and the overview map.
    std::string makeMapsetFolder(const std::string& name, int code = 152)
    {
        const std::string folder = workFolder() + "\\" + name;
        makeEmptyFolder(folder);
        const std::string tdb = folder + "\\" + name + ".TDB";
        copyFile(data_ + "\\village.tdb", tdb);
        copyFile(data_ + "\\village-opaque.img", folder + "\\63240002.img");
        copyFile(data_ + "\\village-transparent.img", folder + "\\" + name + ".img");
        if (code != 152) {
            std::fstream file(tdb, std::ios::in | std::ios::out | std::ios::binary);
            file.seekp(3);
            file.put(static_cast<char>(code & 0xFF));
            file.put(static_cast<char>(code >> 8));
        }
        return folder;
    }

    HWND waitForLabel(HWND window, const std::string& text)
    {
        HWND label = nullptr;
        waitUntil([&] { return (label = findControl(window, "Static", text)) != nullptr; });
        return label;
    }

    MessageBoxInfo expectBox(const std::string& title, const std::string& text,
                             std::vector<int> buttons)
    {
        auto box = waitForMessageBox(oxlo_.id());
        if (!box) {
            ADD_FAILURE() << "no box \"" << text << "\"";
            return {};
        }
        EXPECT_EQ(box->title, title);
        EXPECT_EQ(box->text, text);
        EXPECT_EQ(box->buttons, buttons);
        return *box;
    }

    void answer(const MessageBoxInfo& box, int button)
    {
        ASSERT_NE(box.handle, nullptr);
        answerMessageBox(box, button);
        ASSERT_TRUE(waitForWindowGone(box.handle));
    }

    std::string data_;
    Process oxlo_;
};

TEST_F(Catalogue, MapsetsRegisteredByHandAreListedRepairedAndUninstalled)
{
    // Families with a binary and a double-word ID; products under a code (152, and 999 whose
    // index says 152), and one in the old form under its name.
    const std::string alps = makeMapsetFolder("Alps");
    regAdd(kFamilies + "Alps", "/v ID /t REG_BINARY /d 7117");
    regAddText(kFamilies + "Alps\\1", "LOC", alps);
    regAddText(kFamilies + "Alps\\1", "TDB", alps + "\\Alps.TDB");
    regAdd(kFamilies + "Dolomites", "/v ID /t REG_DWORD /d 6002");
    regAddText(kFamilies + "Dolomites\\1", "LOC", "C:\\Maps\\Dolomites");
    const std::string village = makeMapsetFolder("Village");
    regAddText(kProducts + "152", "LOC", village);
    regAddText(kProducts + "152", "TDB", village + "\\Village.TDB");
    const std::string topo = makeMapsetFolder("Topo");
    regAddText(kProducts + "999", "LOC", topo);
    regAddText(kProducts + "999", "TDB", topo + "\\Topo.TDB");
    const std::string lakes = makeMapsetFolder("Lakes", 200);
    regAddText(kProducts + "Lakes", "LOC", lakes);
    regAddText(kProducts + "Lakes", "TDB", lakes + "\\Lakes.TDB");

    oxlo_ = startOxlo();
    answer(expectBox("Read Mapset",
                     "Mapset Lakes is incompatible with Mapsource 6.14.1 or later. Fix?",
                     {IDYES, IDNO}),
           IDYES);
    HWND window = waitForMainWindow(oxlo_);
    ASSERT_NE(window, nullptr);
    ASSERT_NE(waitForLabel(window, "5 Installed Mapsets"), nullptr);
    HWND list = findControl(window, "SysListView32", "");
    ASSERT_NE(list, nullptr);
    RemoteListView view(list);
    EXPECT_EQ(view.rows(), (Rows{{"FID6001", "Alps"},
                                 {"FID6002", "Dolomites"},
                                 {"COD152", "Village"},
                                 {"COD152", "Topo"},
                                 {"COD200", "Lakes"}}));

    // The repair moved Lakes under its code, with the three values MapSource reads.
    EXPECT_FALSE(registryKeyExists32(HKEY_LOCAL_MACHINE, kProducts + "Lakes"));
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, kProducts + "200", "LOC"), lakes);
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, kProducts + "200", "TDB"),
              lakes + "\\Lakes.TDB");
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, kProducts + "200", "BMAP"),
              lakes + "\\Lakes.IMG");
    saveScreenshot(window, "catalogue-listed");

    // Uninstall Topo: its key is 999 although its index holds 152, and 152 is Village's key.
    view.selectRow(3);
    clickButton(findControl(window, "Button", "&Uninstall"));
    answer(expectBox("Uninstall Mapset", "Proceed to uninstall mapset 'Products\\999' ?",
                     {IDYES, IDNO}),
           IDYES);
    answer(expectBox("Uninstall Mapset", "Do you wish to delete the mapset files?", {IDYES, IDNO}),
           IDYES);
    answer(expectBox("Uninstall Mapset", "Uninstall Successful.", {IDOK}), IDOK);

    ASSERT_NE(waitForLabel(window, "4 Installed Mapsets"), nullptr);
    EXPECT_EQ(view.rows(), (Rows{{"FID6001", "Alps"},
                                 {"FID6002", "Dolomites"},
                                 {"COD152", "Village"},
                                 {"COD200", "Lakes"}}));
    EXPECT_FALSE(registryKeyExists32(HKEY_LOCAL_MACHINE, kProducts + "999"));
    EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, kProducts + "152", "LOC"), village);
    EXPECT_FALSE(fileExists(topo + "\\Topo.TDB"));
    EXPECT_FALSE(fileExists(topo)) << "the emptied mapset folder stays";
    EXPECT_TRUE(fileExists(village + "\\Village.TDB"));

    // Declining the confirmation changes nothing.
    view.selectRow(0);
    clickButton(findControl(window, "Button", "&Uninstall"));
    answer(expectBox("Uninstall Mapset", "Proceed to uninstall mapset 'Families\\Alps' ?",
                     {IDYES, IDNO}),
           IDNO);
    answer(expectBox("Uninstall Mapset", "Uninstall Cancelled.", {IDOK}), IDOK);
    EXPECT_TRUE(registryKeyExists32(HKEY_LOCAL_MACHINE, kFamilies + "Alps\\1"));
    EXPECT_EQ(view.rowCount(), 4);
    EXPECT_TRUE(fileExists(alps + "\\Alps.TDB"));
}

} // namespace
} // namespace oxlo::e2e
