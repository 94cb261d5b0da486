// The modal dialogs on the real Win32 dialogs, answered from another thread as a user would:
// results, ownership and the disabling of the program's other windows.
#include "platform/services.h"
#include "platform/ui.h"
#include "win32/scratch_folder.h"
#include "win32/ui_test_support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platform = oxlo::platform;
using namespace oxlo::win32test;

namespace {

constexpr int kFileNameBox = 0x47C;
constexpr int kFileTypeBox = 0x470;

class Dialogs : public WindowLayerTest {};

std::string textOf(HWND window) {
    char text[1024] = {};
    ::SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

void typeFileName(HWND dialog, const std::string& text) {
    ::SendMessageA(::GetDlgItem(dialog, kFileNameBox), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(text.c_str()));
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(Dialogs, MessageBoxDisablesTheOtherWindowsWhileOpen) {
    ASSERT_NE(platform::openWindow(0, 0, 0, 300, 200, "main", kPlainWindowFlags), 0);
    ASSERT_NE(platform::openWindow(2, 0, 0, 200, 100, "greyed", kPlainWindowFlags), 0);
    ::EnableWindow(windowTitled("greyed"), FALSE);
    ASSERT_NE(platform::openWindow(1, 0, 0, 300, 200, "task", kPlainWindowFlags), 0);
    HWND main = windowTitled("main");
    HWND task = windowTitled("task");
    ::SetForegroundWindow(task);

    bool mainEnabled = true, taskEnabled = true;
    HWND owner = nullptr;
    std::string text;
    int answer = 0;
    {
        DialogAnswerer user("Uninstall Mapset", [&](HWND dialog) {
            mainEnabled = ::IsWindowEnabled(main);
            taskEnabled = ::IsWindowEnabled(task);
            owner = ::GetWindow(dialog, GW_OWNER);
            text = textOf(::GetDlgItem(dialog, 0xFFFF));
            ::PostMessageA(dialog, WM_COMMAND, IDNO, 0);
        });
        answer = platform::showMessage("Uninstall Mapset", "Do you wish to continue?",
                                       platform::kMessageWarningYesNo);
        ASSERT_TRUE(user.answered());
    }
    EXPECT_EQ(answer, platform::kAnswerNo);
    EXPECT_EQ(text, "Do you wish to continue?");
    EXPECT_EQ(owner, task) << "owned by the foreground window";
    EXPECT_FALSE(mainEnabled);
    EXPECT_FALSE(taskEnabled);
    EXPECT_TRUE(::IsWindowEnabled(main)) << "enabled again afterwards";
    EXPECT_TRUE(::IsWindowEnabled(task));
    EXPECT_FALSE(::IsWindowEnabled(windowTitled("greyed"))) << "disabled before, disabled after";

    DialogAnswerer user("Edit Mapset", [](HWND dialog) { ::PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
    EXPECT_EQ(platform::showMessage("Edit Mapset", "Please select a mapset to edit.",
                                    platform::kMessageWarning),
              platform::kAnswerOk);
}

TEST_F(Dialogs, OpenFileGivesTheChosenFileAndStartsFromTheDefault) {
    const std::string folder = scratchFolder("open");
    writeScratchFile(folder + "first.img", "x");
    writeScratchFile(folder + "other.typ", "x");
    ASSERT_NE(platform::openWindow(0, 0, 0, 300, 200, "main", kPlainWindowFlags), 0);
    HWND main = windowTitled("main");

    std::string proposed;
    LRESULT filter = -1;
    bool mainEnabled = true;
    std::string chosen;
    {
        DialogAnswerer user("Select TYP File", [&](HWND dialog) {
            proposed = textOf(::GetDlgItem(dialog, kFileNameBox));
            filter = ::SendMessageA(::GetDlgItem(dialog, kFileTypeBox), CB_GETCURSEL, 0, 0);
            mainEnabled = ::IsWindowEnabled(main);
            typeFileName(dialog, folder + "other.typ");
        });
        chosen = platform::chooseOpenFile("Select TYP File", folder + "proposed.typ",
                                          "Garmin Maps (*.img)|*.IMG|TYP File (*.typ)|*.TYP", 1, 0);
        ASSERT_TRUE(user.answered());
    }
    EXPECT_EQ(chosen, folder + "other.typ");
    EXPECT_EQ(proposed, "proposed.typ");
    EXPECT_EQ(filter, 1) << "the pattern position picks the pair shown first";
    EXPECT_FALSE(mainEnabled);
    EXPECT_TRUE(::IsWindowEnabled(main));
    EXPECT_EQ(platform::nextSelectedFile(), "");

    // A default whose file part is no valid name proposes nothing; Cancel gives the empty text.
    DialogAnswerer user("Compiler", [&](HWND dialog) {
        proposed = textOf(::GetDlgItem(dialog, kFileNameBox));
        ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(platform::chooseOpenFile("Compiler", folder + "*.exe", "Compiler|*.EXE", 0, 0), "");
    EXPECT_EQ(proposed, "");
}

TEST_F(Dialogs, OpenFileWalksAMultipleSelection) {
    const std::string folder = scratchFolder("multiple");
    for (const char* name : {"a.img", "b.img", "c.img"}) writeScratchFile(folder + name, "x");
    {
        DialogAnswerer user("Select Maps", [&](HWND dialog) {
            typeFileName(dialog, folder); // first the folder: the dialog changes to it
            ::Sleep(500);
            typeFileName(dialog, "\"b.img\" \"a.img\"");
        });
        EXPECT_EQ(platform::chooseOpenFile("Select Maps", "", "Garmin Maps (*.img)|*.IMG", 0, 1),
                  folder + "b.img");
        ASSERT_TRUE(user.answered());
    }
    EXPECT_EQ(platform::nextSelectedFile(), folder + "a.img");
    EXPECT_EQ(platform::nextSelectedFile(), "");
    EXPECT_EQ(platform::nextSelectedFile(), "");

    // One file picked with multiple allowed is still a full path, with nothing after it.
    DialogAnswerer user("Select Maps", [&](HWND dialog) { typeFileName(dialog, folder + "c.img"); });
    EXPECT_EQ(platform::chooseOpenFile("Select Maps", "", "Garmin Maps (*.img)|*.IMG", 0, 1),
              folder + "c.img");
    EXPECT_EQ(platform::nextSelectedFile(), "");
}

// "NAME" "NAME" ... as the name box shows a multiple selection.
std::string quotedNames(const std::vector<std::string>& names) {
    std::string typed;
    for (const std::string& name : names) typed += "\"" + name + "\" ";
    return typed;
}

TEST_F(Dialogs, OpenFileTakesAThousandMapsAtOnceAndSaysWhenMoreDoNotFit) {
    const std::string folder = scratchFolder("thousand");
    std::vector<std::string> names;
    for (int i = 0; i < 1000; ++i) {
        names.push_back(std::to_string(10000000 + i) + ".IMG");
        writeScratchFile(folder + names.back(), "x");
    }
    std::vector<std::string> chosen;
    {
        DialogAnswerer user("Select Maps", [&](HWND dialog) {
            typeFileName(dialog, folder);
            ::Sleep(500);
            typeFileName(dialog, quotedNames(names));
        });
        for (std::string path =
                 platform::chooseOpenFile("Select Maps", "", "Garmin Maps (*.img)|*.IMG", 0, 1);
             !path.empty(); path = platform::nextSelectedFile())
            chosen.push_back(path);
        ASSERT_TRUE(user.answered());
    }
    ASSERT_EQ(chosen.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(chosen[i], folder + names[i]);
    EXPECT_FALSE(platform::chosenFilesDidNotFit());

    // Three thousand names of 8.3 form are more than the selection holds: no file, and not
    // Cancel. (Wine fills the buffer instead of reporting FNERR_BUFFERTOOSMALL; either way.)
    std::vector<std::string> tooMany;
    for (int i = 0; i < 3000; ++i) tooMany.push_back(std::to_string(20000000 + i) + ".IMG");
    {
        DialogAnswerer user("Select Maps", [&](HWND dialog) {
            typeFileName(dialog, folder);
            ::Sleep(500);
            typeFileName(dialog, quotedNames(tooMany));
        });
        EXPECT_EQ(platform::chooseOpenFile("Select Maps", "", "Garmin Maps (*.img)|*.IMG", 0, 1),
                  "");
        ASSERT_TRUE(user.answered());
    }
    EXPECT_TRUE(platform::chosenFilesDidNotFit());
    EXPECT_EQ(platform::nextSelectedFile(), "");

    DialogAnswerer user("Select Maps", [](HWND dialog) {
        ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(platform::chooseOpenFile("Select Maps", "", "Garmin Maps (*.img)|*.IMG", 0, 1), "");
    EXPECT_FALSE(platform::chosenFilesDidNotFit()) << "Cancel is no choice that did not fit";
}

// Wine walks the tree down to the preselected folder step by step: press OK only once the
// selected item has stayed the same for half a second.
void pressOkWhenSelectionSettles(HWND dialog) {
    HWND tree = ::FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr);
    for (HWND child = ::GetWindow(dialog, GW_CHILD); !tree && child;
         child = ::GetWindow(child, GW_HWNDNEXT))
        tree = ::FindWindowExA(child, nullptr, "SysTreeView32", nullptr);
    LRESULT last = 0;
    for (int unchanged = 0, round = 0; tree && unchanged < 10 && round < 200; ++round) {
        const LRESULT now = ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
        unchanged = now == last ? unchanged + 1 : 0;
        last = now;
        ::Sleep(50);
    }
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(Dialogs, FolderChooserStartsAtTheInitialFolder) {
    // Directly on C:, away from the profile's Temp folder, which the tree does not always
    // walk into under Wine.
    const std::string folder = "C:\\oxlo-win32-browse\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    struct Case {
        std::string initial;
        std::string chosen;
    };
    const Case cases[] = {{folder, folder}, {"C:\\", "C:\\"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.initial);
        DialogAnswerer user("Browse for Folder", pressOkWhenSelectionSettles);
        EXPECT_EQ(platform::choosePath("Select the mapset folder", c.initial), c.chosen);
    }
    DialogAnswerer user("Browse for Folder", [](HWND dialog) {
        ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(platform::choosePath("Select the mapset folder", folder), "");
    ::RemoveDirectoryA(folder.c_str());
}

} // namespace
