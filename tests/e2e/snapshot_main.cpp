// oxlo_snapshot OXLO.EXE WORK-FOLDER BMP-FILE
// Starts oxlo.exe in WORK-FOLDER, waits for its main window and its first scan, saves a picture of
// the window as BMP-FILE and ends the program the way a user would (Quit, then GoodBye).
// run.sh uses it on machines without a display. Exit code 0 when the picture was saved.
#include "driver/driver.h"

#include <cstdio>
#include <exception>
#include <thread>

using namespace oxlo::e2e;

namespace {

constexpr char kMainWindowTitle[] = "Oxlo by Oxlo contributors";
constexpr char kAboutWindowTitle[] = "About Oxlo";

bool endProgram(Process& oxlo, HWND mainWindow) {
    if (HWND quit = findControl(mainWindow, "Button", "&Quit")) clickButton(quit);
    if (HWND about = waitForTopLevelWindow(oxlo.id(), kAboutWindowTitle)) {
        if (HWND goodBye = findControl(about, "Button", "GoodBye")) clickButton(goodBye);
    }
    if (oxlo.waitForExit().has_value()) return true;
    std::fprintf(stderr, "oxlo.exe did not end by Quit and GoodBye; stopping it\n");
    oxlo.terminate();
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: oxlo_snapshot OXLO.EXE WORK-FOLDER BMP-FILE\n");
        return 2;
    }
    try {
        Process oxlo = Process::start(argv[1], argv[2]);
        HWND mainWindow = waitForTopLevelWindow(oxlo.id(), kMainWindowTitle, milliseconds(20000));
        if (!mainWindow) {
            std::fprintf(stderr, "no window \"%s\" within 20 s\n", kMainWindowTitle);
            return 1;
        }
        // The scan has run once the label shows the number of mapsets.
        waitUntil([&] {
            HWND label = findControl(mainWindow, "Static", "Installed Mapsets:");
            return label == nullptr;
        });
        std::this_thread::sleep_for(milliseconds(500)); // let the controls paint
        saveScreenshot(mainWindow, argv[3]);
        std::printf("saved %s\n", argv[3]);
        endProgram(oxlo, mainWindow);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "oxlo_snapshot: %s\n", error.what());
        return 1;
    }
}
