#pragma once
// What the Preferences window shows, described by the core and mirrored by
// the window, with the same controls as a calculator window.

#include "model/calculator_view.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kestrune {

struct PreferenceView {
    std::string title;
    std::int32_t width = 0;
    std::int32_t height = 0;
    // The content's top-left corner on the screen.
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::vector<CalcControl> controls;
};

} // namespace kestrune
