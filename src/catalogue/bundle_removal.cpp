#include "catalogue/bundle_removal.h"

#include "platform/services.h"
#include "platform/shell_folders.h"

#include <string_view>

namespace oxlo::catalogue {

namespace {
constexpr std::string_view kQuestionStart = "The bundle ";
constexpr std::string_view kQuestionEnd = " cannot go to the Recycle Bin. Delete it for good?";
} // namespace

std::string deleteForGoodQuestion(const std::string& bundle)
{
    return std::string(kQuestionStart) + bundle + std::string(kQuestionEnd);
}

bool asksToDeleteForGood(const std::string& text)
{
    return text.size() > kQuestionStart.size() + kQuestionEnd.size() &&
           text.starts_with(kQuestionStart) && text.ends_with(kQuestionEnd);
}

BundleRemoval removeBundleFolder(const std::string& folder, const std::string& shownAs,
                                 const std::string& title)
{
    // Removing a link deletes none of the files it leads to, so it needs no Recycle Bin.
    if (platform::isLink(folder))
        return platform::deleteFolderTree(folder) == 1 ? BundleRemoval::removed
                                                       : BundleRemoval::failed;
    switch (platform::moveToRecycleBin(folder)) {
    case platform::Recycling::done: return BundleRemoval::removed;
    case platform::Recycling::failed: return BundleRemoval::failed;
    case platform::Recycling::noRecycleBin: break;
    }
    if (platform::showMessage(title, deleteForGoodQuestion(shownAs),
                              platform::kMessageWarningYesNo) != platform::kAnswerYes)
        return BundleRemoval::kept;
    return platform::deleteFolderTree(folder) == 1 ? BundleRemoval::removed
                                                   : BundleRemoval::failed;
}

} // namespace oxlo::catalogue
