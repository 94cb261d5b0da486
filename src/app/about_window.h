// The About and farewell window (window 3), shown when the user quits.
#pragma once

#include <string_view>

namespace oxlo::app {

// The maker's web address: shown in the credit line and as the link, and opened by the link.
inline constexpr std::string_view makerWebAddress = "https://example.org/oxlo";
// The link shows the address without its scheme: the whole address does not fit the link's
// 110 pixels and would be cut off in mid-name.
inline constexpr std::string_view makerWebAddressShown =
    makerWebAddress.substr(std::string_view("https://").size());

// Builds window 3 centred over the active window; creates no controls when it cannot be created.
void buildAboutWindow();

enum class FarewellEnd {
    GoodBye,      // the GoodBye button; the shutdown has already run
    WindowClosed, // a close request; the caller shuts down
};

// Serves the About window until GoodBye is pressed or a window of the program is closed. The link
// opens the maker's web address and leaves the window open.
FarewellEnd runFarewellLoop();

} // namespace oxlo::app
