// The application icon as the bytes of an ICO file, held in the program so that the About window
// can show it without reading a file. oxlo.ico (the icon resource) holds the same bytes; both are
// written by tools/make_icon.py.
#pragma once

#include <cstddef>
#include <cstdint>

namespace oxlo::app {

extern const std::uint8_t appIconData[];
extern const std::size_t appIconSize;

} // namespace oxlo::app
