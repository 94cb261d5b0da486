#include "catalogue/installed_mapsets.h"

#include "platform/services.h"
#include "platform/ui.h"

namespace oxlo::catalogue {

std::array<InstalledMapset, kMaxMapsets + 1> installedMapsets;
int mapsetCount = 0;

namespace {
constexpr int kMainList = 0;
constexpr int kCountLabel = 1;
} // namespace

void scanInstalledMapsets()
{
    platform::clearListItems(kMainList);
    installedMapsets.fill(InstalledMapset{});
    mapsetCount = platform::countListItems(kMainList);
    platform::setControlText(kCountLabel,
                             platform::textFromNumber(mapsetCount) + " Installed Mapsets");
}

} // namespace oxlo::catalogue
