// Edits whose writes the system refuses (a read-only or locked .TDB): the user is told; over the
// target's own files and registry.
#include "edit_fixture.h"

#include "file_locks.h"
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
            EXPECT_EQ(textsAndFlags(edit(row, nullptr, "160")),
                      (Shown{codeNotWritten(tdbPath("Alpen")), kEdited}));
        }
        expectUnchangedSince(before);
    }
}

} // namespace
} // namespace oxlo::editor_test
