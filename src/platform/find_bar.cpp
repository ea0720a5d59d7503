#include "platform/find_bar.h"

#include "application/find_commands.h"
#include "model/app_state.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kestrune {
namespace {

std::string utf8(const QString& text) {
    return text.toStdString();
}

} // namespace

FindBar::FindBar(AppState& app, QWidget* parent) : QWidget(parent), app_(app) {
    setAutoFillBackground(true);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 3, 8, 3);
    auto* label = new QLabel(tr("Find:"), this);
    field_ = new QLineEdit(this);
    field_->setObjectName(QStringLiteral("findField"));
    field_->setToolTip(tr("Looks in Manufacturer and Model Name; case is ignored"));
    field_->installEventFilter(this);
    label->setBuddy(field_);
    auto* next = new QPushButton(tr("Find Next"), this);
    next->setAutoDefault(false);
    notice_ = new QLabel(this);
    auto* close = new QPushButton(tr("Done"), this);
    close->setAutoDefault(false);
    row->addWidget(label);
    row->addWidget(field_, 1);
    row->addWidget(next);
    row->addWidget(notice_, 2);
    row->addWidget(close);

    connect(field_, &QLineEdit::textEdited, this,
            [this](const QString& text) { app_.find.text = utf8(text); });
    connect(field_, &QLineEdit::returnPressed, this,
            [this] { FindNext(app_, utf8(field_->text())); });
    connect(next, &QPushButton::clicked, this, [this] { FindNext(app_, utf8(field_->text())); });
    connect(close, &QPushButton::clicked, this, [this] { CloseFindBar(app_); });
    hide();
}

void FindBar::apply(const FindBarView& view) {
    notice_->setText(QString::fromStdString(view.notice));
    setVisible(view.shown);
    if (view.shown) {
        raise();
        if (view.focusRequest != focusRequest_) {
            field_->setText(QString::fromStdString(view.text));
            field_->selectAll();
            field_->setFocus(Qt::ShortcutFocusReason);
        }
    }
    focusRequest_ = view.focusRequest;
}

bool FindBar::holdsFocus() const {
    return field_->hasFocus();
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == field_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        CloseFindBar(app_);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kestrune
