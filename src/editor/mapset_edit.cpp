#include "editor/mapset_edit.h"

#include "catalogue/registry_layout.h"
#include "editor/family_id_change.h"
#include "editor/mapset_rename.h"
#include "editor/product_code_change.h"
#include "platform/services.h"

namespace oxlo::editor {

namespace {

StepOutcome changeNumber(catalogue::InstalledMapset& row, std::int64_t number) {
    if (row.form == catalogue::kFormFamily) return changeFamilyId(row, number);
    return changeProductCode(row, number);
}

} // namespace

StepOutcome editMapset(catalogue::InstalledMapset& row, const std::string& newName,
                       std::int64_t number) {
    const StepOutcome renamed =
        newName == row.name ? StepOutcome::Done : renameMapset(row, newName);
    // After a refused or undone rename the mapset is as it was, so a new number can still go on
    // alone (the number it has, which may still move a product's entry to its code's key, waits
    // for an edit that nothing stopped); after a rename left half-way nothing more is done to it.
    if (renamed == StepOutcome::Damaged) return renamed;
    if (renamed == StepOutcome::NotDone && number == row.id) return renamed;
    const StepOutcome numbered = changeNumber(row, number);
    // Any refusal or failure has said so already, and its message stays the last one.
    if (renamed == StepOutcome::Done && numbered == StepOutcome::Done) {
        platform::showMessage(kEditTitle, "Mapset edited.", platform::kMessageInfo);
        return StepOutcome::Done;
    }
    return numbered == StepOutcome::Damaged ? numbered : StepOutcome::NotDone;
}

} // namespace oxlo::editor
