#include "platform/sheet_keys.h"

#include "model/menu_model.h"
#include "model/sheet_state.h"

#include <QKeyEvent>

namespace kestrune {

bool isTabKey(const QEvent& event) {
    if (event.type() != QEvent::KeyPress) {
        return false;
    }
    const int key = static_cast<const QKeyEvent&>(event).key();
    return key == Qt::Key_Tab || key == Qt::Key_Backtab;
}

std::optional<SheetKeyPress> sheetKeyOf(const QKeyEvent& event) {
    std::int32_t code = 0;
    switch (event.key()) {
    case Qt::Key_Left:
        code = SheetKey::kLeft;
        break;
    case Qt::Key_Right:
        code = SheetKey::kRight;
        break;
    case Qt::Key_Up:
        code = SheetKey::kUp;
        break;
    case Qt::Key_Down:
        code = SheetKey::kDown;
        break;
    case Qt::Key_Return:
        code = SheetKey::kReturn;
        break;
    case Qt::Key_Enter:
        code = SheetKey::kEnter;
        break;
    case Qt::Key_PageUp:
        code = SheetKey::kPageUp;
        break;
    case Qt::Key_PageDown:
        code = SheetKey::kPageDown;
        break;
    case Qt::Key_Home:
        code = SheetKey::kHome;
        break;
    case Qt::Key_End:
        code = SheetKey::kEnd;
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        code = SheetKey::kTab;
        break;
    case Qt::Key_Delete:
        code = SheetKey::kDelete;
        break;
    case Qt::Key_Escape:
        code = SheetKey::kEscape;
        break;
    default:
        return std::nullopt;
    }
    const Qt::KeyboardModifiers mods = event.modifiers();
    SheetKeyPress press;
    press.charCode = code;
    press.modifiers.option = mods.testFlag(Qt::AltModifier);
    press.modifiers.shift = mods.testFlag(Qt::ShiftModifier) || event.key() == Qt::Key_Backtab;
    press.modifiers.command = mods.testFlag(Qt::ControlModifier);
    press.modifiers.control = mods.testFlag(Qt::MetaModifier);
    return press;
}

bool isMenuShortcut(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    if (mods != Qt::ControlModifier && mods != (Qt::ControlModifier | Qt::ShiftModifier)) {
        return false;
    }
    const int key = event.key();
    const bool plainKey = (key >= Qt::Key_A && key <= Qt::Key_Z) ||
                          (key >= Qt::Key_0 && key <= Qt::Key_9) || key == Qt::Key_Slash ||
                          key == Qt::Key_Comma;
    if (!plainKey) {
        return false;
    }
    // Qt's key codes of letters, digits, '/' and ',' are their ASCII codes.
    const Shortcut shortcut{static_cast<char>(key), mods.testFlag(Qt::ShiftModifier)};
    return findShortcut(shortcut).has_value();
}

} // namespace kestrune
