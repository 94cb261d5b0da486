#include "support/test_environment.h"
#include "support/test_folder.h"

#include "platform/portable/portable_environment.h"

namespace oxlo::testing {

void setTestEnvironment(const std::string& name, const std::string& value) {
    platform::setEnvironmentVariable(name, value);
}

std::string testProgramFolder() {
    const std::string folder = freshTestFolder("program folder");
    platform::setProgramFolder(folder);
    return folder + "\\";
}

} // namespace oxlo::testing
