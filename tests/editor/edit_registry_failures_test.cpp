// Renames whose registry step fails after the files were renamed (in-memory registry only: a key
// that refuses deletion, as one whose security forbids it would).
#include "edit_fixture.h"

#include "platform/portable/memory_registry.h"
#include "platform/registry.h"

namespace oxlo::editor_test {
namespace {

namespace scripted = platform::scripted;
using catalogue::InstalledMapset;

// The new key is written, the old one cannot be removed: the new one goes again, the old one is
// kept as it was, and the files and the stored name are put back.
TEST_F(EditMapsetTest, RegistrationThatCannotMoveLeavesTheMapsetAsItWas) {
    const struct {
        const char* form;
        std::string key; // the row's key, which refuses deletion
    } cases[] = {{"F", kFamilies + "Alpen"}, {"O", kProducts + "Alpen"}, {"N", kProducts + "150"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.form);
        scripted::resetScript();
        platform::deleteRegistryTree(platform::kLocalMachine, kMapsource);
        InstalledMapset row = installAlpen(c.form);
        if (row.form == "F") addFamilyExtras(loc);
        Snapshot before = snapshot();
        const auto registryBefore = registryDump();
        namespace memory = platform::memory_registry;
        ASSERT_TRUE(memory::setUndeletable(platform::kLocalMachine, c.key, true));

        // The number step goes on and fails on the same key (a family's on its missing TYP).
        const std::string numberFailure =
            row.form == "F" ? "The family ID of mapset Alpen was not changed: " + loc +
                                  "\\Alpen.TYP could not be read."
                            : "The product code of mapset Alpen was not changed: its registry "
                              "entry could not be rewritten.";
        EXPECT_EQ(edit(row, "Alps", "160"),
                  (Shown{warning("Mapset Alpen was not renamed: its registry entry could not be "
                                 "rewritten."),
                         warning(numberFailure)}));

        memory::setUndeletable(platform::kLocalMachine, c.key, false);
        EXPECT_EQ(registryDump(), registryBefore);
        expectUnchangedSince(before);
        EXPECT_EQ(row.tdb, tdbPath("Alpen"));
    }
}

} // namespace
} // namespace oxlo::editor_test
