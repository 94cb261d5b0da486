#include "platform/portable/wildcard.h"

#include "platform/portable/case_fold.h"
#include "platform/wildcard_match.h"

namespace oxlo::platform {

bool matchesWildcard(const std::string& name, const std::string& pattern)
{
    return wildcardMatches(foldedText(name), foldedText(pattern),
                           [](char32_t a, char32_t b) { return a == b; });
}

} // namespace oxlo::platform
