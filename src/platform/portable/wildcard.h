// File-name patterns as FindFirstFile reads them: "*" any run, "?" one character, letter case
// ignored, and "*.*" matching every name, with or without a dot.
#pragma once

#include <string>

namespace oxlo::platform {

bool matchesWildcard(const std::string& name, const std::string& pattern);

} // namespace oxlo::platform
