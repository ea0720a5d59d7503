#pragma once
// Windows open fully on one of the screens there are, whatever place was
// remembered: a place from another set of screens, or one written by hand
// (-32768, 32767), must never put a window out of sight for good.

#include "ports/platform.h"

#include <cstdint>
#include <vector>

namespace kestrune {

// Room kept above a window's content for its menu bar and title bar.
constexpr std::int32_t kRoomAboveContent = 48;

// The place moved (never resized, unless the screen is smaller) so that the
// content, width wide, and the room above it lie on the screen that holds
// most of it (the nearest screen when none does). No screens known: as it is.
WindowPlace FitOnScreens(WindowPlace place, std::int32_t width,
                         const std::vector<ScreenArea>& screens);

} // namespace kestrune
