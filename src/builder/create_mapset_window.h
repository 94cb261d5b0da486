// The Create Mapset window (window 1): map list, attribute panel, checks and hand-over to the build.
#pragma once

#include <string>

namespace oxlo::builder {

// Whether the map-attribute panel is shown; the application clears it at start-up.
extern bool attributePanelShown;

void openCreateMapsetWindow();
void setCreationMode(bool automatic);
void setAttributePanelHidden(bool hidden);
// Serves the window's events until it has closed. The paths (cgpsmapper.exe, cpreview.exe and
// mkgmap.jar in the folder Oxlo started in) are the caller's; the window works on its own copies.
void runCreateMapsetWindow(const std::string& compilerPath, const std::string& previewPath,
                           const std::string& mkgmapPath = {});

} // namespace oxlo::builder
