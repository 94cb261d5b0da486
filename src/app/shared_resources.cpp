// Kept in its own library so that the task windows can use the shared fonts and paths without
// linking the application shell that calls them.
#include "app/shared_resources.h"

namespace oxlo::app {

platform::FontHandle labelFont = 0;
platform::FontHandle buttonFont = 0;
platform::FontHandle bannerFont = 0;
platform::ImageHandle appIcon = 0;

std::string compilerPath;
std::string previewPath;
std::string mkgmapPath;

} // namespace oxlo::app
