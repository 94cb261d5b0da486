// Fonts, icon and tool paths prepared at start-up and used by every window of the program.
#pragma once

#include "platform/ui.h"

#include <string>

namespace oxlo::resources {

extern platform::FontHandle labelFont;  // "MS Sans Serif" 10 pt bold
extern platform::FontHandle buttonFont; // "MS Sans Serif" 8 pt bold
extern platform::FontHandle bannerFont; // "Comic Sans MS" 14 pt bold
extern platform::ImageHandle appIcon;

extern std::string compilerPath; // full path of cgpsmapper.exe
extern std::string previewPath;  // full path of cpreview.exe
extern std::string mkgmapPath;   // full path of mkgmap.jar in the start folder

} // namespace oxlo::resources
