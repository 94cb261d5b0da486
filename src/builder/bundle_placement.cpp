#include "builder/bundle_placement.h"

#include "builder/bundle_export.h"
#include "catalogue/bundle_removal.h"
#include "platform/services.h"

namespace oxlo::builder {
namespace {

void warnOfPlacement(const std::string& text)
{
    platform::showMessage(kExportBundleTitle, text, platform::kMessageWarning);
}

std::string notPlacedText(const std::string& bundle)
{
    return "The BaseCamp bundle could not be put in place as " + bundle + ".";
}

} // namespace

std::string asideName(const std::string& path)
{
    for (int number = 1; number <= 100; ++number) {
        const std::string name =
            path + ".old" + (number == 1 ? "" : " " + platform::textFromNumber(number));
        if (platform::fileSize(name) == platform::kNoSuchPath) return name;
    }
    return {};
}

bool placeBundle(const std::string& made, const std::string& bundle)
{
    if (platform::fileSize(bundle) == platform::kNoSuchPath) {
        if (platform::renameFile(made, bundle) == 1) return true;
        warnOfPlacement(notPlacedText(bundle));
        return false;
    }
    const std::string aside = asideName(bundle);
    if (aside.empty() || platform::renameFile(bundle, aside) != 1) {
        warnOfPlacement(notPlacedText(bundle));
        return false;
    }
    if (platform::renameFile(made, bundle) != 1) {
        platform::renameFile(aside, bundle);
        warnOfPlacement(notPlacedText(bundle));
        return false;
    }
    switch (catalogue::removeBundleFolder(aside, bundle, kExportBundleTitle)) {
    case catalogue::BundleRemoval::removed: return true;
    case catalogue::BundleRemoval::kept:
        // The user keeps the old one: the new one makes way for it again.
        if (platform::renameFile(bundle, made) != 1) break;
        if (platform::renameFile(aside, bundle) == 1) return false;
        platform::renameFile(made, bundle); // the name never stays empty
        break;
    case catalogue::BundleRemoval::failed: break;
    }
    warnOfPlacement("The BaseCamp bundle " + bundle +
                    " is in place, but the old one could not be removed: it is now " + aside + ".");
    return false;
}

} // namespace oxlo::builder
