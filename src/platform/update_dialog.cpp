#include "platform/update_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <cmath>

namespace kestrune {
namespace {

using Kind = ControlKind;

QRect rectOf(const ControlRect& r) {
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

QFont fontOf(const ControlView& c, QFont font) {
    if (!c.fontName.empty()) {
        font.setFamily(QString::fromStdString(c.fontName)); // the desktop's fonts stand in
    }
    if (c.fontSize > 0.0) {
        font.setPixelSize(static_cast<int>(std::lround(c.fontSize)));
    }
    font.setBold(c.bold);
    return font;
}

// A text wider than its box is drawn narrower, then smaller, never cut: the
// desktop's stand-in fonts run wider than the ones the window was laid out for.
QFont fitted(QFont font, const QString& text, int width) {
    for (const int stretch : {QFont::Unstretched, QFont::SemiCondensed, QFont::Condensed}) {
        font.setStretch(stretch);
        if (QFontMetrics(font).horizontalAdvance(text) <= width) {
            return font;
        }
    }
    while (font.pixelSize() > 8 && QFontMetrics(font).horizontalAdvance(text) > width) {
        font.setPixelSize(font.pixelSize() - 1);
    }
    return font;
}

} // namespace

UpdateDialog::UpdateDialog(const UpdateView& view, UpdateDialogHandlers handlers, QWidget* parent)
    : CoreWindow(parent), handlers_(std::move(handlers)) {
    setWindowTitle(QString::fromStdString(view.title));
    setFixedSize(view.width, view.height);
    apply(view);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(view.width / 2, view.height / 2));
    }
}

QWidget* UpdateDialog::create(const ControlView& c) {
    const QString text = QString::fromStdString(c.text);
    switch (c.kind) {
    case Kind::Icon: {
        auto* icon = new QLabel(this);
        const QRect r = rectOf(c.rect);
        icon->setPixmap(QApplication::windowIcon().pixmap(r.size()));
        return icon;
    }
    case Kind::Label:
        return new QLabel(this);
    case Kind::ProgressBar: {
        auto* bar = new QProgressBar(this);
        bar->setTextVisible(true);
        return bar;
    }
    case Kind::CheckBox: {
        auto* check = new QCheckBox(this);
        connect(check, &QCheckBox::clicked, this, [this, number = c.number](bool on) {
            if (!closing() && handlers_.controlHit) {
                handlers_.controlHit(number, on ? 1 : 0);
            }
        });
        return check;
    }
    case Kind::PushButton:
    case Kind::DefaultButton: {
        auto* button = new QPushButton(this);
        // Return and Enter act on the default button the core names, not on
        // whichever button has the focus.
        button->setAutoDefault(false);
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

void UpdateDialog::refresh(QWidget* widget, const ControlView& c) {
    const QString text = QString::fromStdString(c.text);
    widget->setGeometry(rectOf(c.rect));
    widget->setEnabled(c.enabled || c.kind == Kind::Icon);
    widget->setVisible(c.visible);
    if (auto* label = qobject_cast<QLabel*>(widget); label != nullptr && c.kind == Kind::Label) {
        label->setText(text);
        label->setFont(fitted(fontOf(c, font()), text, c.rect.right - c.rect.left));
        label->setAlignment(c.centred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, c.color >= 0
                                                   ? QColor(QRgb(c.color))
                                                   : this->palette().color(QPalette::WindowText));
        label->setPalette(palette);
    } else if (auto* bar = qobject_cast<QProgressBar*>(widget)) {
        if (c.value < 0) {
            bar->setRange(0, 0); // the whole is not known: a busy bar
        } else {
            bar->setRange(0, 1000);
            bar->setValue(c.value);
        }
        bar->setFormat(text);
    } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
        check->setText(text);
        const QSignalBlocker quiet(check);
        check->setChecked(c.checked);
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        button->setText(text);
        button->setDefault(c.kind == Kind::DefaultButton);
    }
}

void UpdateDialog::apply(const UpdateView& view) {
    QSet<std::int32_t> shown;
    for (const ControlView& c : view.controls) {
        shown.insert(c.number);
        auto found = widgets_.find(c.number);
        if (found != widgets_.end() && found->second.first != c.kind) {
            delete found->second.second;
            widgets_.erase(found);
            found = widgets_.end();
        }
        if (found == widgets_.end()) {
            QWidget* widget = create(c);
            if (widget == nullptr) {
                continue;
            }
            found = widgets_.emplace(c.number, std::pair{c.kind, widget}).first;
        }
        refresh(found->second.second, c);
    }
    for (auto it = widgets_.begin(); it != widgets_.end();) {
        if (shown.contains(it->first)) {
            ++it;
            continue;
        }
        // A removed control goes at once, and with it the focus it held.
        it->second.second->hide();
        it->second.second->deleteLater();
        it = widgets_.erase(it);
    }
}

void UpdateDialog::closeRequested() {
    if (handlers_.closeBox) {
        handlers_.closeBox();
    }
}

void UpdateDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!closing() && handlers_.returnKey) {
            handlers_.returnKey();
        }
        return;
    }
    if (event->key() == Qt::Key_Q && event->modifiers() == Qt::ControlModifier) {
        if (!closing() && handlers_.quitKey) {
            handlers_.quitKey();
        }
        return;
    }
    QDialog::keyPressEvent(event); // Escape comes back through reject()
}

} // namespace kestrune
