#pragma once
// The windows the core describes control by control and the desktop mirrors:
// a calculator, the Preferences window and the update window.

#include "ports/control_view.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kestrune {

// What a calculator window shows.
struct CalculatorView {
    std::int32_t calcItemID = 0; // 1 Vap, 2 Sd, 3 Vd, 4 Feet to Metric
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<ControlView> controls;
    std::int32_t focusedField = 74;
    // Raised each time the program moves the keyboard focus to focusedField
    // (its whole text selected); the window applies a change once. Focus the
    // user moves is reported back and leaves this alone.
    std::uint32_t focusRequest = 0;
};

// What the Preferences window shows: a window of its own, not modal.
struct PreferenceView {
    std::string title;
    std::int32_t width = 0;
    std::int32_t height = 0;
    // The content's top-left corner on the screen.
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::vector<ControlView> controls;
};

// What the update window shows, described by the core and mirrored by the
// window, which is centred on the screen.
struct UpdateView {
    std::string title;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<ControlView> controls;
};

} // namespace kestrune
