// A fixture for end-to-end tests that start from a catalogue registered by hand: Wine's own
// `reg add` in the 32-bit view (where MapSource looks), mapset folders made from the test maps,
// and the boxes Oxlo shows on the way.
#pragma once

#include "e2e_test.h"

#include <string>
#include <vector>

namespace oxlo::e2e {

inline const std::string kMapsource = "SOFTWARE\\Garmin\\Mapsource";
inline const std::string kFamilies = kMapsource + "\\Families\\";
inline const std::string kProducts = kMapsource + "\\Products\\";

class CatalogueEndToEndTest : public EndToEndTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // `reg add HKLM\<key> [/v name /t type /d data] /reg:32 /f`, as a user would type it.
    void regAdd(const std::string& key, const std::string& valueArguments);
    void regAddText(const std::string& key, const std::string& name, const std::string& text);
    // A family key with its "ID" (REG_BINARY, as hex digits of reg) and "1" with LOC and TDB.
    void regAddFamily(const std::string& name, const std::string& idHex, const std::string& loc,
                      const std::string& tdb);

    // A mapset folder holding a copy of the mkgmap index (product code 152, or `code`), a map,
    // and the overview map.
    std::string makeMapsetFolder(const std::string& name, int code = 152);

    HWND waitForLabel(HWND window, const std::string& text);
    // Starts Oxlo and waits for its main window (through `window`) with the count label `label`;
    // its list view, or null (the test has failed) when either does not come.
    HWND startWithList(const std::string& label, HWND* window);
    // The context menu Oxlo shows (window class #32768); null when none comes.
    HWND waitForContextMenu();
    MessageBoxInfo expectBox(const std::string& title, const std::string& text,
                             std::vector<int> buttons);
    void answer(const MessageBoxInfo& box, int button);

    std::string data_;
    Process oxlo_;
};

} // namespace oxlo::e2e
