#include "platform/calculator_dialog.h"

#include "calculators/calculator_layouts.h"
#include "model/menu_model.h"
#include "platform/painter_canvas.h"
#include "platform/sheet_keys.h"
#include "runtime/mac_roman.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace kestrune {
namespace {

bool isModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr || key == Qt::Key_CapsLock;
}

bool exactlyAlt(const QKeyEvent& event) {
    return (event.modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier;
}

KeyModifiers modifiersOf(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers();
    KeyModifiers m;
    m.option = mods.testFlag(Qt::AltModifier);
    m.shift = mods.testFlag(Qt::ShiftModifier);
    m.command = mods.testFlag(Qt::ControlModifier);
    m.control = mods.testFlag(Qt::MetaModifier);
    return m;
}

// The one-byte character code the windows are written for.
std::int32_t charCodeOf(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Return:
        return 13;
    case Qt::Key_Enter:
        return 3;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Delete:
        return 127;
    case Qt::Key_Left:
        return 28;
    case Qt::Key_Right:
        return 29;
    case Qt::Key_Up:
        return 30;
    case Qt::Key_Down:
        return 31;
    default:
        break;
    }
    const std::string macRoman = utf8ToMacRoman(event.text().left(1).toStdString());
    return macRoman.empty() ? 0 : static_cast<unsigned char>(macRoman.front());
}

} // namespace

CalculatorDialog::CalculatorDialog(const CalculatorView& view, CalculatorDialogHandlers handlers,
                                   QWidget* parent)
    : QDialog(parent), handlers_(std::move(handlers)),
      controls_(
          *this, [this](std::int32_t control, std::int32_t value) { hit(control, value); }, true) {
    setWindowModality(Qt::WindowModal);
    setFixedSize(view.width, view.height);
    setFont(PainterCanvas::fontFor(1, 12.0));
    controls_.apply(view.controls);
    for (const ControlView& c : view.controls) {
        if (QLineEdit* field = controls_.field(c.number)) {
            field->installEventFilter(this);
        }
    }
    takeFocus(view);
}

void CalculatorDialog::apply(const CalculatorView& view) {
    controls_.apply(view.controls);
    takeFocus(view);
}

void CalculatorDialog::takeFocus(const CalculatorView& view) {
    if (view.focusRequest != focusRequest_) {
        focusRequest_ = view.focusRequest;
        if (QLineEdit* field = controls_.field(view.focusedField)) {
            field->setFocus(Qt::OtherFocusReason);
            field->selectAll();
        }
    }
}

Str255 CalculatorDialog::fieldText(std::int32_t control) const {
    const QLineEdit* field = controls_.field(control);
    return field == nullptr ? Str255() : Str255(field->text().toStdString());
}

void CalculatorDialog::setFieldText(std::int32_t control, const Str255& text) {
    if (QLineEdit* field = controls_.field(control)) {
        field->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.length())));
        field->selectAll();
    }
}

void CalculatorDialog::closeFromCore() {
    if (closing_) {
        return;
    }
    closing_ = true;
    hide();
    deleteLater();
}

void CalculatorDialog::hit(std::int32_t control, std::int32_t value) {
    if (!closing_ && handlers_.controlHit) {
        handlers_.controlHit(control, value);
    }
}

// True when the key was taken: a menu shortcut, or a key the core consumed.
bool CalculatorDialog::routeKey(QKeyEvent& event) {
    if (closing_ || isModifierKey(event.key())) {
        return false;
    }
    if (isMenuShortcut(event)) {
        const Shortcut shortcut{static_cast<char>(event.key()),
                                event.modifiers().testFlag(Qt::ShiftModifier)};
        if (const auto item = findShortcut(shortcut); item && handlers_.menuShortcut) {
            handlers_.menuShortcut(item->menu, item->item);
        }
        return true;
    }
    return handlers_.keyDown && handlers_.keyDown(charCodeOf(event), modifiersOf(event));
}

bool CalculatorDialog::eventFilter(QObject* watched, QEvent* event) {
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (field == nullptr) {
        return QDialog::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (isMenuShortcut(key)) {
            event->ignore(); // it arrives as a key press and goes to the menu
            return true;
        }
        if (exactlyAlt(key) && !isModifierKey(key.key())) {
            event->accept(); // no mnemonic takes the calculate shortcut
            return true;
        }
        return false;
    }
    case QEvent::KeyPress:
        if (routeKey(static_cast<QKeyEvent&>(*event))) {
            event->accept();
            return true;
        }
        return false;
    case QEvent::FocusIn:
        if (!closing_ && handlers_.fieldFocused) {
            if (const std::int32_t number = controls_.numberOf(field); number != 0) {
                handlers_.fieldFocused(number);
            }
        }
        return false;
    default:
        return false;
    }
}

void CalculatorDialog::keyPressEvent(QKeyEvent* event) {
    if (routeKey(*event)) {
        event->accept();
        return;
    }
    // Not QDialog's own Return and Escape handling: the core has answered.
    QWidget::keyPressEvent(event);
}

void CalculatorDialog::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    // The window's close button cancels, through the core.
    event->ignore();
    hit(CalcCtl::kCancel, 0);
}

void CalculatorDialog::reject() {
    if (!closing_) {
        hit(CalcCtl::kCancel, 0);
    }
}

} // namespace kestrune
