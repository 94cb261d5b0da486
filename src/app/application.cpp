#include "app/application.h"

#include "app/about_window.h"
#include "app/app_icon_data.h"
#include "app/main_window.h"
#include "resources/shared_resources.h"
#include "builder/create_mapset_window.h"
#include "catalogue/installed_mapsets.h"
#include "platform/services.h"
#include "platform/ui.h"

namespace oxlo::app {

namespace {

void startUp()
{
    platform::initialiseWindowing();

    resources::labelFont = platform::loadFont("MS Sans Serif", 10, true);
    resources::buttonFont = platform::loadFont("MS Sans Serif", 8, true);
    resources::bannerFont = platform::loadFont("Comic Sans MS", 14, true);
    resources::appIcon = platform::loadIconImage(appIconData, appIconSize);

    // Read once: the compilers are expected beside the folder Oxlo was started from. Whether they
    // exist is checked only when a build needs them.
    const std::string folder = platform::getCurrentDirectory();
    resources::compilerPath = toolPath(folder, "cgpsmapper.exe");
    resources::previewPath = toolPath(folder, "cpreview.exe");
    resources::mkgmapPath = toolPath(folder, "mkgmap.jar");

    builder::attributePanelShown = false;
    selectedRow = 0;
}

// Without its main window the program has nothing to wait for: say so and end instead of
// waiting for events that never come.
int giveUpWithoutMainWindow()
{
    platform::showMessage("Oxlo", "Oxlo could not open its main window.",
                          platform::kMessageWarning);
    shutDown();
    return 1;
}

} // namespace

std::string toolPath(const std::string& folder, const std::string& program)
{
    if (!folder.empty() && folder.back() == '\\') {
        return folder + program;
    }
    return folder + "\\" + program;
}

void shutDown()
{
    platform::releaseImages();
    platform::closeAllWindows();
    platform::releaseFonts();
    platform::closeAllFiles();
}

int runOxlo()
{
    startUp();
    if (!buildMainWindow()) {
        return giveUpWithoutMainWindow();
    }
    catalogue::scanInstalledMapsets();

    if (runMainLoop() == MainLoopEnd::MainWindowLost) {
        return giveUpWithoutMainWindow();
    }

    buildAboutWindow();
    if (runFarewellLoop() == FarewellEnd::WindowClosed) {
        shutDown();
    }
    return 0;
}

} // namespace oxlo::app
