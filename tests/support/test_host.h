// Inside oxlo_test_support: sets up the target's test host (the portable host root) once.
#pragma once

namespace oxlo::testing {

void prepareTestHost();

} // namespace oxlo::testing
