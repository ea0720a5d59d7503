#pragma once
// The windows beside the sheet that the core describes control by control:
// a calculator, Preferences and the update window.

#include "ports/window_views.h"
#include "runtime/str255.h"

#include <cstdint>

namespace kestrune {

class ToolWindows {
public:
    virtual ~ToolWindows() = default;

    // A calculator window, window-modal on the sheet window. Its fields are
    // read back by control number.
    virtual void openCalculatorWindow(const CalculatorView& view) = 0;
    virtual void updateCalculatorWindow(const CalculatorView& view) = 0;
    virtual void closeCalculatorWindow() = 0;
    virtual Str255 readCalculatorField(std::int32_t control) = 0;
    virtual void setCalculatorFieldText(std::int32_t control, const Str255& text) = 0;

    // The Preferences window: a window of its own, not modal. Its clicks
    // come back to the core by control number.
    virtual void openPreferencesWindow(const PreferenceView& view) = 0;
    virtual void updatePreferencesWindow(const PreferenceView& view) = 0;
    virtual void closePreferencesWindow() = 0;

    // The update window, a window of its own centred on the screen; its
    // clicks and keys come back to the core.
    virtual void openUpdateWindow(const UpdateView& view) = 0;
    virtual void updateUpdateWindow(const UpdateView& view) = 0;
    virtual void closeUpdateWindow() = 0;
};

} // namespace kestrune
