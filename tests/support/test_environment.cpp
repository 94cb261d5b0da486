#include "support/test_environment.h"

#include "platform/services.h"

#include <algorithm>

namespace oxlo::testing {

EnvironmentScope::~EnvironmentScope() {
    // Latest first, so that a variable set twice ends with its value from before the first.
    std::for_each(earlier_.rbegin(), earlier_.rend(),
                  [](const Earlier& earlier) { setTestEnvironment(earlier.name, earlier.value); });
}

void EnvironmentScope::set(const std::string& name, const std::string& value) {
    earlier_.push_back({name, platform::environmentVariable(name)});
    setTestEnvironment(name, value);
}

} // namespace oxlo::testing
