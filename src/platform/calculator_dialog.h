#pragma once
// A calculator window: a window-modal dialog on the data-sheet window that
// mirrors a CalculatorView control by control (positions in pixels, fonts by
// pixel size, help tags as tooltips) and reports what the user does. It
// decides nothing: every hit, key and focus change goes to the handlers,
// which hand them to the core, and the core answers with the next view.
//
// Only the input fields take the keyboard focus, as in the original
// windows; buttons, tabs, radios and toggles are used with the pointer.

#include "platform/control_widgets.h"
#include "ports/window_views.h"
#include "runtime/str255.h"
#include "sheet/sheet_input.h"

#include <QDialog>

#include <cstdint>
#include <functional>

namespace kestrune {

struct CalculatorDialogHandlers {
    // A control was hit: value is the tab now selected (1-based) for a tab
    // control and the radio button now chosen for a radio group, else 0.
    std::function<void(std::int32_t control, std::int32_t value)> controlHit;
    // A key went down; true when it was consumed and must not be typed.
    std::function<bool(std::int32_t charCode, KeyModifiers modifiers)> keyDown;
    // An input field took the keyboard focus (a click or Tab).
    std::function<void(std::int32_t control)> fieldFocused;
    // A menu item's shortcut typed in the window: the menu bar belongs to
    // the data-sheet window and does not see keys of another window.
    std::function<void(int menu, int item)> menuShortcut;
};

class CalculatorDialog final : public QDialog {
    Q_OBJECT
public:
    CalculatorDialog(const CalculatorView& view, CalculatorDialogHandlers handlers,
                     QWidget* parent);

    // Brings every control in line with the view. A field whose text is
    // unchanged keeps its cursor and selection.
    void apply(const CalculatorView& view);

    // A field's text.
    Str255 fieldText(std::int32_t control) const;
    // Replaces a field's text and selects all of it.
    void setFieldText(std::int32_t control, const Str255& text);

    // Closes for good at the core's request; the dialog deletes itself once
    // the event that led here has been handled.
    void closeFromCore();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    // The field the program moved the focus to, once per request.
    void takeFocus(const CalculatorView& view);
    bool routeKey(QKeyEvent& event);
    void hit(std::int32_t control, std::int32_t value);

    CalculatorDialogHandlers handlers_;
    ControlWidgets controls_;
    std::uint32_t focusRequest_ = 0;
    bool closing_ = false;
};

} // namespace kestrune
