// Kept in its own library so that the task windows can use the shared fonts and paths without
// linking the application shell that calls them.
#include "resources/shared_resources.h"

namespace oxlo::resources {

platform::FontHandle labelFont = 0;
platform::FontHandle buttonFont = 0;
platform::FontHandle bannerFont = 0;
platform::ImageHandle appIcon = 0;

std::string compilerPath;
std::string previewPath;
std::string mkgmapPath;

} // namespace oxlo::resources
