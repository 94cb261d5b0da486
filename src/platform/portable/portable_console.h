// Test controls of the portable console (platform/console.h).
#pragma once

namespace oxlo::platform {

// Whether runsAsAdministrator() says yes from now on.
void setAdministrator(bool administratorRights);

} // namespace oxlo::platform
