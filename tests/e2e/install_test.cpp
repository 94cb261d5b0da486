// Installing downloaded mapsets (tests/data/ready, made by mkgmap) through the real window: the
// context menu on the empty list, its command with the file dialog, and folders and indexes
// dropped on the window (WM_DROPFILES with a drop block built in Oxlo's memory, as the shell
// hands it over). The registry is read back value by value.
#include "catalogue_fixture.h"

#include "driver/remote_memory.h"

#include <shlobj.h>

namespace oxlo::e2e {
namespace {

class InstallMapset : public CatalogueEndToEndTest {
protected:
    // tests/data/ready/NAME copied into the working folder.
    std::string ready(const std::string& name, const std::vector<std::string>& files)
    {
        const std::string folder = workFolder() + "\\" + name;
        makeEmptyFolder(folder);
        for (const std::string& file : files)
            copyFile(data_ + "\\ready\\" + name + "\\" + file, folder + "\\" + file);
        return folder;
    }
    // Drops `paths` on the window as the shell does: a DROPFILES block with wide paths, in the
    // receiving process's memory (Wine takes a fixed block's address as its handle).
    void drop(HWND window, const std::vector<std::string>& paths)
    {
        std::wstring names;
        for (const std::string& path : paths) names += std::wstring(path.begin(), path.end()) + L'\0';
        names += L'\0';
        DROPFILES header{};
        header.pFiles = sizeof header;
        header.fWide = TRUE;
        dropBlocks_.push_back(
            std::make_unique<RemoteMemory>(oxlo_.id(), sizeof header + names.size() * 2));
        dropBlocks_.back()->write(0, &header, sizeof header);
        dropBlocks_.back()->write(sizeof header, names.data(), names.size() * 2);
        PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(dropBlocks_.back()->address()),
                     0);
    }
    static std::vector<unsigned char> binary(const std::string& key, const std::string& name)
    {
        std::vector<unsigned char> bytes(16);
        DWORD size = static_cast<DWORD>(bytes.size());
        if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name.c_str(),
                         RRF_RT_REG_BINARY | RRF_SUBKEY_WOW6432KEY, nullptr, bytes.data(),
                         &size) != ERROR_SUCCESS)
            return {};
        bytes.resize(size);
        return bytes;
    }
    void expectValues(const std::string& key, const std::vector<std::pair<std::string, std::string>>& values)
    {
        for (const auto& [name, text] : values) {
            SCOPED_TRACE(key + " " + name);
            EXPECT_EQ(readRegistryString32(HKEY_LOCAL_MACHINE, key, name).value_or("(none)"), text);
        }
    }
    std::vector<std::unique_ptr<RemoteMemory>> dropBlocks_;
};

TEST_F(InstallMapset, FromTheMenuOnTheEmptyListAndByDroppingFolders)
{
    const std::string hills = ready("Hills", {"Hills.tdb", "Hills.img", "63250001.img",
                                              "63250002.img", "Hills.mdx", "Hills_mdr.img",
                                              "hills.typ"});
    const std::string dales =
        ready("Dales", {"Dales.tdb", "Dales.img", "63260001.img", "63260002.img", "dales.typ"});
    const std::string moors = ready("Moors", {"Moors.tdb", "Moors.img", "63270001.img",
                                              "63270003.img", "Moors.mdx", "Moors_mdr.img"});
    HWND window = nullptr;
    HWND list = startWithList("0 Installed Mapsets", &window);
    ASSERT_NE(list, nullptr);

    // A right click on the empty list: "Install Mapset..." first, and it asks for the index.
    POINT at{60, 60};
    ClientToScreen(list, &at);
    PostMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(at.x, at.y));
    HWND menuWindow = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        for (HWND candidate : topLevelWindows(oxlo_.id()))
            if (windowClass(candidate) == "#32768" && IsWindowVisible(candidate)) menuWindow = candidate;
        return menuWindow != nullptr;
    })) << "no context menu on the empty list";
    saveScreenshot(menuWindow, "install-context-menu");
    // Wine keeps a menu's items in its own process: the item is chosen with the keyboard, as a
    // user would, the first one being the first that Down reaches.
    PostMessageA(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(waitForWindowGone(menuWindow));
    HWND dialog = waitForFileDialog(oxlo_.id(), "Install Mapset");
    ASSERT_NE(dialog, nullptr);
    cancelDialog(dialog);
    ASSERT_TRUE(waitForWindowGone(dialog));
    // The command as the menu sends it, to the main window.
    PostMessageA(window, WM_COMMAND, 40007, 0);
    dialog = waitForFileDialog(oxlo_.id(), "Install Mapset");
    ASSERT_NE(dialog, nullptr);
    chooseFiles(dialog, hills, {"Hills.tdb"});
    answer(expectBox("Install Mapset",
                     "Install mapset Hills (family ID 6005) from " + hills + "?", {IDYES, IDNO}),
           IDYES);
    answer(expectBox("Install Mapset", "Mapset Installed.", {IDOK}), IDOK);
    ASSERT_NE(waitForLabel(window, "1 Installed Mapsets"), nullptr);
    EXPECT_EQ(RemoteListView(list).rows(), (std::vector<std::vector<std::string>>{{"FID6005", "Hills"}}));
    EXPECT_EQ(RemoteListView(list).selectedRow(), 0);
    EXPECT_EQ(binary(kFamilies + "Hills", "ID"), (std::vector<unsigned char>{0x75, 0x17}));
    expectValues(kFamilies + "Hills", {{"TYP", hills + "\\hills.typ"},
                                        {"IDX", hills + "\\Hills.mdx"},
                                        {"MDR", hills + "\\Hills_mdr.img"}});
    expectValues(kFamilies + "Hills\\1", {{"LOC", hills},
                                           {"BMAP", hills + "\\Hills.img"},
                                           {"TDB", hills + "\\Hills.tdb"}});

    // Dropped: a folder with a map removed, then one whose TYP has another family ID.
    drop(window, {moors, dales});
    answer(expectBox("Install Mapset",
                     moors + " lacks 1 of the mapset's 3 maps, the first being 63270002.img.",
                     {IDOK}),
           IDOK);
    const std::string typ = dales + "\\dales.typ";
    answer(expectBox("Install Mapset",
                     "The TYP file " + typ + " belongs to family ID 6099, not to 6006. Give it the "
                     "family ID 6006? A copy is kept as " + typ + ".bak.",
                     {IDCANCEL, IDYES, IDNO}),
           IDYES);
    answer(expectBox("Install Mapset",
                     "Install mapset Dales (family ID 6006) from " + dales + "?", {IDYES, IDNO}),
           IDYES);
    answer(expectBox("Install Mapset", "Mapset Installed.", {IDOK}), IDOK);
    ASSERT_NE(waitForLabel(window, "2 Installed Mapsets"), nullptr);
    EXPECT_EQ(RemoteListView(list).selectedRow(), 0); // Dales comes first
    EXPECT_FALSE(registryKeyExists32(HKEY_LOCAL_MACHINE, kFamilies + "Moors"));
    EXPECT_EQ(binary(kFamilies + "Dales", "ID"), (std::vector<unsigned char>{0x76, 0x17}));
    expectValues(kFamilies + "Dales", {{"TYP", typ}, {"IDX", "(none)"}, {"MDR", "(none)"}});
    expectValues(kFamilies + "Dales\\3", {{"LOC", dales},
                                           {"BMAP", dales + "\\Dales.img"},
                                           {"TDB", dales + "\\Dales.tdb"}});
    EXPECT_FALSE(registryKeyExists32(HKEY_LOCAL_MACHINE, kFamilies + "Dales\\1"));
    EXPECT_TRUE(fileExists(typ + ".bak"));
    saveScreenshot(window, "install-two-mapsets");

    // Something else dropped.
    drop(window, {hills + "\\63250001.img"});
    answer(expectBox("Install Mapset",
                     "Please drop a mapset index file (.TDB) or a folder that holds one.", {IDOK}),
           IDOK);
}

} // namespace
} // namespace oxlo::e2e
