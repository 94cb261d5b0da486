// The controls of the Edit Mapset window (window 2), which the steps of an edit write back to.
#pragma once

namespace oxlo::editor {

enum Control : int {
    kNameLabel = 0,
    kNameField = 1,
    kNumberField = 2, // the product code of a product row, the family ID of a family row
    kNumberLabel = 3,
    kEditButton = 5,
    kFrame = 6,
    kCancelButton = 7,
};

} // namespace oxlo::editor
