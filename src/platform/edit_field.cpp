#include "platform/edit_field.h"

#include <QContextMenuEvent>
#include <QKeyEvent>

namespace kestrune {
namespace {

// Alt with a key is the way to a menu (Alt+F) or a dialog's button, never
// text: a letter typed that way would replace the cell's value.
bool isAltKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers();
    return mods.testFlag(Qt::AltModifier) && !mods.testFlag(Qt::ControlModifier);
}

bool isCursorKey(const QKeyEvent& event) {
    return (event.modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier &&
           (event.key() == Qt::Key_F || event.key() == Qt::Key_B);
}

} // namespace

EditField::EditField(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(static_cast<int>(Str255::kMaxLength));
    setAlignment(Qt::AlignCenter);
}

void EditField::setShownText(const Str255& text) {
    const QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.length()));
    if (shown == this->text()) {
        return;
    }
    setText(shown);
    selectAll();
}

void EditField::replaceText(const Str255& text) {
    setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.length())));
    selectAll();
}

Str255 EditField::shownText() const {
    return Str255(text().toStdString());
}

bool EditField::event(QEvent* event) {
    if (isTabKey(*event)) {
        // The sheet's next cell, not the window's next control.
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (isMenuShortcut(key)) {
            event->ignore(); // the menu bar's action takes it
            return true;
        }
        if (isCursorKey(key)) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void EditField::keyPressEvent(QKeyEvent* event) {
    if (const auto press = sheetKeyOf(*event)) {
        if (onSheetKey_ && onSheetKey_(*press)) {
            event->accept();
            return;
        }
    }
    if (isCursorKey(*event)) {
        if (event->key() == Qt::Key_F) {
            cursorForward(false, 1);
        } else {
            cursorBackward(false, 1);
        }
        event->accept();
        return;
    }
    if (isMenuShortcut(*event)) {
        // The item is disabled just now; the field does not act on it either.
        event->accept();
        return;
    }
    if (isAltKey(*event)) {
        event->ignore(); // a mnemonic no menu took: nothing for the field
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void EditField::contextMenuEvent(QContextMenuEvent* event) {
    // The sheet's own menu, where the core opens one; never the field's.
    if (onContextClick_) {
        onContextClick_(event->pos());
    }
    event->accept();
}

} // namespace kestrune
