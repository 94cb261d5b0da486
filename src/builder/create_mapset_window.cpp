#include "builder/create_mapset_window.h"

namespace oxlo::builder {

bool attributePanelShown = false;

void openCreateMapsetWindow() {}
void setCreationMode(bool) {}
void setAttributePanelHidden(bool hidden) { attributePanelShown = !hidden; }
void runCreateMapsetWindow(const std::string&, const std::string&) {}

} // namespace oxlo::builder
