// Taking a bundle folder away so that nothing goes for good behind the user's back: a folder
// goes to the Recycle Bin, a link goes as a link (the folder it points to stays), and a folder
// that the Recycle Bin cannot take is deleted for good only after the user's Yes.
#pragma once

#include <string>

namespace oxlo::catalogue {

enum class BundleRemoval {
    removed, // in the Recycle Bin, or a link removed, or deleted for good after Yes
    kept,    // the user said No to deleting it for good: it is whole where it was
    failed,  // it could not be removed (what a deletion for good could take is gone)
};

// The question before deleting `bundle` for good.
std::string deleteForGoodQuestion(const std::string& bundle);
// True when `text` is such a question.
bool asksToDeleteForGood(const std::string& text);

// Removes the bundle folder `folder`. A question goes out under `title` and names the bundle as
// `shownAs` (where the user knows it, when it has been moved aside under another name).
BundleRemoval removeBundleFolder(const std::string& folder, const std::string& shownAs,
                                 const std::string& title);

} // namespace oxlo::catalogue
