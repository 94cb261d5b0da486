// oxlo edit: the Edit Mapset window with its two fields given as options; a field not given keeps
// the mapset's own name or number, as the window shows them.
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/console_messages.h"
#include "cli/mapset_lookup.h"

#include "catalogue/bundle_commands.h"
#include "catalogue/installed_mapsets.h"
#include "catalogue/registry_layout.h"
#include "editor/mapset_edit.h"

namespace oxlo::cli {

namespace {

// The window's number field is the family ID of a family and the product code of a product.
std::string wrongNumberRefusal(const catalogue::InstalledMapset& row, const EditOptions& options) {
    const bool family = row.form == catalogue::kFormFamily;
    if (family && options.productCode)
        return keyOf(row) + " is a family: it has a family ID (--family-id), not a product code.";
    if (!family && options.familyId)
        return keyOf(row) +
               " is a product: it has a product code (--product-code), not a family ID.";
    return {};
}

} // namespace

int editMapset(const Streams& streams, const std::string& name, const EditOptions& options) {
    if (!options.name && !options.familyId && !options.productCode) {
        streams.err("oxlo: edit needs --name, --family-id or --product-code.\n");
        return kExitUsage;
    }
    int status = kExitDone;
    const int row = rowToChange(streams, name, status);
    if (row == 0) return status;
    MessageGate gate(streams, options.yes);
    // The refusal is an information box: the gate does not count it as a failure.
    if (catalogue::refuseBundleEdit(row)) return kExitFailed;
    catalogue::InstalledMapset& mapset = catalogue::installedMapsets[row];
    if (const std::string refusal = wrongNumberRefusal(mapset, options); !refusal.empty()) {
        streams.err("oxlo: " + refusal + "\n");
        return kExitFailed;
    }
    const std::int64_t number =
        options.familyId.value_or(options.productCode.value_or(mapset.id));
    const bool edited =
        editor::editMapset(mapset, options.name.value_or(mapset.name), number) ==
        editor::StepOutcome::Done;
    return edited && !gate.failed() ? kExitDone : kExitFailed;
}

} // namespace oxlo::cli
