// Edits whose writes the system refuses (a read-only or locked .TDB): the user is told, and a
// rename leaves the mapset as it was; over the target's own files and registry.
#include "edit_fixture.h"

#include "file_locks.h"
#include "platform/registry.h"
#include "platform/services.h"

#include <optional>

namespace oxlo::editor_test {
namespace {

namespace scripted = platform::scripted;
using catalogue::InstalledMapset;

std::pair<std::string, int> codeNotWritten(const std::string& tdb) {
    return warning("The product code could not be written to " + tdb + ".");
}

TEST_F(EditMapsetTest, ProductCodeThatCannotBeWrittenIsReported) {
    for (const bool locked : {false, true}) {
        SCOPED_TRACE(locked ? "locked" : "read-only");
        scripted::resetScript();
        InstalledMapset row = installAlpen("N");
        const Snapshot before = snapshot();
        {
            std::optional<ReadOnlyFile> readOnly;
            std::optional<PinnedFile> pin;
            if (locked) {
                pin.emplace(tdbPath("Alpen"));
                if (!pin->pinned()) GTEST_SKIP() << "this system lets no test pin a file in place";
            } else {
                readOnly.emplace(tdbPath("Alpen"));
                ASSERT_TRUE(readOnly->applied());
            }
            EXPECT_EQ(edit(row, nullptr, "160"),
                      (Shown{codeNotWritten(tdbPath("Alpen"))}));
        }
        expectUnchangedSince(before);
    }
}

// The files are renamed, but the read-only .TDB takes no new name: the files get their old names
// back and the registration stays; the number step then fails on the same file (a family's on
// its TYP file, registered but missing).
TEST_F(EditMapsetTest, RenameIsUndoneWhenTheIndexTakesNoNewName) {
    for (const char* form : {"N", "O", "F"}) {
        SCOPED_TRACE(form);
        scripted::resetScript();
        platform::deleteRegistryTree(platform::kLocalMachine, kMapsource);
        InstalledMapset row = installAlpen(form);
        const Snapshot before = snapshot();
        const auto registryBefore = registryDump();
        {
            const ReadOnlyFile readOnly(tdbPath("Alpen"));
            ASSERT_TRUE(readOnly.applied());
            const auto numberFailure =
                row.form == "F" ? warning("The family ID of mapset Alpen was not changed: " + loc +
                                          "\\Alpen.TYP could not be read.")
                                : codeNotWritten(tdbPath("Alpen"));
            EXPECT_EQ(edit(row, "Alps", "160"),
                      (Shown{warning("Mapset Alpen was not renamed: the new name could not be "
                                     "written to " +
                                     tdbPath("Alpen") + "."),
                             numberFailure}));
        }
        expectUnchangedSince(before);
        EXPECT_EQ(registryDump(), registryBefore);
        EXPECT_EQ(row.tdb, tdbPath("Alpen"));
    }
}

} // namespace
} // namespace oxlo::editor_test
