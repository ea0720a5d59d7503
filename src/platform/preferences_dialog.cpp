#include "platform/preferences_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace kestrune {
namespace {

using Kind = ControlKind;

QRect rectOf(const ControlRect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

} // namespace

PreferencesDialog::PreferencesDialog(const PreferenceView& view, PreferencesDialogHandlers handlers,
                                     QWidget* parent)
    : CoreWindow(parent), handlers_(std::move(handlers)) {
    setWindowTitle(QString::fromStdString(view.title));
    setFixedSize(view.width, view.height);
    for (const ControlView& c : view.controls) {
        const auto parentWidget = widgets_.find(c.parent);
        QWidget* owner = parentWidget == widgets_.end() ? this : parentWidget->second;
        if (QWidget* w = create(c, owner)) {
            // Inside a titled box, coordinates start below the box's frame
            // as the desktop draws it; the rectangles count from its corner.
            w->setGeometry(rectOf(c.rect));
            widgets_[c.number] = w;
        }
    }
    apply(view);
    // The content goes where it was left; the window manager's frame goes
    // around it (a move would place the frame there, and the content would
    // creep down by the title bar at every launch).
    setGeometry(QRect(QPoint(view.left, view.top), size()));
}

QWidget* PreferencesDialog::create(const ControlView& c, QWidget* parent) {
    const QString text = QString::fromStdString(c.text);
    switch (c.kind) {
    case Kind::GroupBox: {
        auto* box = new QGroupBox(text, parent);
        if (c.fontSize > 0) {
            QFont font = box->font();
            font.setPixelSize(static_cast<int>(c.fontSize));
            box->setFont(font);
        }
        return box;
    }
    case Kind::CheckBox: {
        auto* check = new QCheckBox(text, parent);
        connect(check, &QCheckBox::clicked, this, [this, number = c.number](bool on) {
            if (!closing() && handlers_.controlHit) {
                handlers_.controlHit(number, on ? 1 : 0);
            }
        });
        return check;
    }
    case Kind::RadioGroup:
        return new QWidget(parent);
    case Kind::RadioButton: {
        auto* radio = new QRadioButton(text, parent);
        radioGroupOf_[c.number] = c.parent;
        connect(radio, &QRadioButton::clicked, this, [this, group = c.parent, value = c.value] {
            if (!closing() && handlers_.controlHit) {
                handlers_.controlHit(group, value);
            }
        });
        return radio;
    }
    case Kind::PushButton:
    case Kind::DefaultButton: {
        auto* button = new QPushButton(text, parent);
        if (c.kind == Kind::DefaultButton) {
            defaultButton_ = c.number;
            button->setDefault(true); // Return and Enter press it
            button->setAutoDefault(true);
        }
        connect(button, &QPushButton::clicked, this, [this, number = c.number] {
            if (!closing() && handlers_.controlHit) {
                handlers_.controlHit(number, 0);
            }
        });
        return button;
    }
    default:
        return nullptr;
    }
}

void PreferencesDialog::apply(const PreferenceView& view) {
    for (const ControlView& c : view.controls) {
        const auto found = widgets_.find(c.number);
        if (found == widgets_.end()) {
            continue;
        }
        if (auto* button = qobject_cast<QAbstractButton*>(found->second);
            button != nullptr && button->isCheckable()) {
            const QSignalBlocker quiet(button);
            button->setChecked(c.checked);
        }
    }
}

void PreferencesDialog::closeRequested() {
    // The close box and Escape keep every change, like OK.
    if (handlers_.controlHit) {
        handlers_.controlHit(defaultButton_, 0);
    }
}

void PreferencesDialog::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    if (!closing() && isVisible() && handlers_.moved) {
        handlers_.moved(QRect(mapToGlobal(QPoint(0, 0)), size()));
    }
}

} // namespace kestrune
