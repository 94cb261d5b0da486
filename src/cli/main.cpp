// oxlo.com (and the native oxlo-cli): a console program around cli::run.
#include "cli/cli.h"

#include "platform/console.h"
#include "platform/services.h"

int main(int argc, char** argv) {
    namespace platform = oxlo::platform;
    const oxlo::cli::Streams streams{platform::writeStandardOutput, platform::writeStandardError};
    const int status = oxlo::cli::run(platform::commandLineArguments(argc, argv), streams);
    platform::closeAllFiles();
    return status;
}
