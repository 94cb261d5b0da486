#include "mkgmap_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace oxlo::e2e {

void MkgmapEndToEndTest::SetUp()
{
    CatalogueEndToEndTest::SetUp();
    const std::string bin = workFolder() + "\\jre\\bin";
    makeEmptyFolder(bin);
    copyFile(requiredEnvironment("OXLO_E2E_STANDINS") + "\\java.exe", bin + "\\java.exe");
    SetEnvironmentVariableA("JAVA_HOME", (workFolder() + "\\jre").c_str());
    std::ofstream(workFolder() + "\\mkgmap.jar") << "stand-in";
}

void MkgmapEndToEndTest::TearDown()
{
    SetEnvironmentVariableA("JAVA_HOME", nullptr);
    CatalogueEndToEndTest::TearDown();
}

bool MkgmapEndToEndTest::chooseFromRowMenu(HWND list, int upPresses)
{
    const RECT row = RemoteListView(list).rowRect(0);
    rightClickWithMouse(list, (row.left + row.right) / 2, (row.top + row.bottom) / 2);
    HWND menu = nullptr;
    if (!waitUntil([&] {
            for (HWND candidate : topLevelWindows(oxlo_.id()))
                if (windowClass(candidate) == "#32768") menu = candidate;
            return menu != nullptr;
        })) {
        ADD_FAILURE() << "no context menu on the row";
        return false;
    }
    // Up from no item reaches the last one.
    for (int press = 0; press < upPresses; ++press) PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    return true;
}

std::vector<std::string> MkgmapEndToEndTest::names(const std::string& folder)
{
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        found.push_back(entry.path().filename().string());
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace oxlo::e2e
