#include "support/test_environment.h"

#include "platform/services.h"

#include <windows.h>

namespace oxlo::testing {

void setTestEnvironment(const std::string& name, const std::string& value) {
    ::SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
}

std::string testProgramFolder() { return platform::programFolder(); }

} // namespace oxlo::testing
