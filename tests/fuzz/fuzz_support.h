// Shared by the fuzz targets: the stop on a broken property and the input as text for its message.
#pragma once

#include <string>
#include <string_view>

namespace oxlo::fuzz {

// Stops the run as a crash, so that libFuzzer keeps the input.
[[noreturn]] void fail(const std::string& property);
// `describe` gives the text of the broken property; it runs only then, since the texts quote whole
// inputs and forming them on every check would cost more than the checks.
template <typename Describe> void require(bool holds, Describe&& describe)
{
    if (!holds)
        fail(describe());
}

// The input as text, for the messages of fail().
std::string printable(std::string_view bytes);

} // namespace oxlo::fuzz
