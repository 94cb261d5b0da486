#include "app/about_window.h"

#include "app/application.h"
#include "resources/shared_resources.h"
#include "platform/services.h"
#include "platform/ui.h"

#include <string>

namespace oxlo::app {

namespace {

constexpr int kAboutWindow = 3;
constexpr int kWebLink = 3;
constexpr int kGoodByeButton = 4;
constexpr int kIconImage = 7;

constexpr platform::FontHandle kDefaultGuiFont = 0;

} // namespace

void buildAboutWindow()
{
    using platform::ControlKind;
    if (platform::openWindow(kAboutWindow, 0, 0, 356, 177, "About Oxlo",
                             platform::kWindowTitleBar | platform::kWindowCentreActive) == 0) {
        return;
    }
    const std::string address(makerWebAddress);

    // In creation order. Some controls reach past the right edge and are clipped there; read in
    // place, texts 2, 3, 6 and 5 form one sentence around the link.
    const struct {
        int number;
        ControlKind kind;
        int x, y, width, height;
        unsigned options;
        platform::FontHandle font;
        std::string text;
    } controls[] = {
        {0, ControlKind::Label, 45, 10, 330, 30, platform::kControlCentred, resources::bannerFont,
         "Oxlo v1.04"},
        {1, ControlKind::Label, 45, 40, 330, 20, platform::kControlCentred, resources::labelFont,
         "By " + address},
        {2, ControlKind::Label, 10, 70, 190, 15, 0, kDefaultGuiFont,
         "Thanks you for using Oxlo. Please visit"},
        {kWebLink, ControlKind::Link, 205, 70, 110, 15, 0, resources::buttonFont,
         std::string(makerWebAddressShown)},
        {kGoodByeButton, ControlKind::Button, 125, 125, 100, 35, 0, resources::buttonFont,
         "GoodBye"},
        {5, ControlKind::Label, 10, 90, 350, 15, 0, kDefaultGuiFont,
         "more free GPS goodies. Oxlo includes a copy of freeware cgpsmapper."},
        {6, ControlKind::Label, 320, 70, 20, 15, 0, kDefaultGuiFont, "for"},
    };
    for (const auto& control : controls) {
        platform::createControl(control.number, control.kind, control.x, control.y, control.width,
                                control.height, control.text, control.options);
        if (control.font != kDefaultGuiFont) {
            platform::setControlFont(control.number, control.font);
        }
    }

    platform::createControl(kIconImage, ControlKind::Image, 10, 15, 32, 32, "");
    platform::setControlImage(kIconImage, resources::appIcon);
}

FarewellEnd runFarewellLoop()
{
    for (;;) {
        const platform::EventKind event = platform::waitWindowEvent();
        if (event == platform::EventKind::Close) {
            return FarewellEnd::WindowClosed;
        }
        if (event != platform::EventKind::Control) {
            continue;
        }
        switch (platform::eventControl()) {
        case kGoodByeButton:
            shutDown();
            return FarewellEnd::GoodBye;
        case kWebLink:
            platform::openWebAddress(std::string(makerWebAddress));
            break;
        default:
            break;
        }
    }
}

} // namespace oxlo::app
