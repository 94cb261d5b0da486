// The program folder and the environment of services.h, held in memory and set by the tests.
#include "platform/portable/portable_environment.h"
#include "platform/services.h"

#include <cctype>
#include <map>

namespace oxlo::platform {
namespace {

struct ProgramEnvironment {
    std::string folder = "C:\\Oxlo\\";
    std::map<std::string, std::string> variables; // by name in capitals
};

ProgramEnvironment& environment()
{
    static ProgramEnvironment held;
    return held;
}

std::string inCapitals(std::string name)
{
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

} // namespace

void setProgramFolder(const std::string& windowsFolder)
{
    environment().folder = windowsFolder;
    if (windowsFolder.empty() || windowsFolder.back() != '\\')
        environment().folder += '\\';
}

void setEnvironmentVariable(const std::string& name, const std::string& value)
{
    if (value.empty())
        environment().variables.erase(inCapitals(name));
    else
        environment().variables[inCapitals(name)] = value;
}

void clearEnvironment() { environment().variables.clear(); }

std::string programFolder() { return environment().folder; }

std::string environmentVariable(const std::string& name)
{
    const auto found = environment().variables.find(inCapitals(name));
    return found == environment().variables.end() ? std::string() : found->second;
}

} // namespace oxlo::platform
