// The surroundings the program under test reads: its environment variables and its own folder.
// Natively they are the portable platform's, set here; on Windows they are the test program's
// real ones.
#pragma once

#include <string>
#include <vector>

namespace oxlo::testing {

// Sets an environment variable as the program under test reads it; the empty value removes it.
void setTestEnvironment(const std::string& name, const std::string& value);

// Sets the variables for the lifetime of the object and then gives each its earlier value back.
class EnvironmentScope {
public:
    EnvironmentScope() = default;
    EnvironmentScope(const EnvironmentScope&) = delete;
    EnvironmentScope& operator=(const EnvironmentScope&) = delete;
    ~EnvironmentScope();
    void set(const std::string& name, const std::string& value);

private:
    struct Earlier {
        std::string name, value;
    };
    std::vector<Earlier> earlier_;
};

// The folder the program under test finds as programFolder(), ending in a backslash: natively a
// fresh test folder made for it, on Windows the folder of the test program itself.
std::string testProgramFolder();

} // namespace oxlo::testing
