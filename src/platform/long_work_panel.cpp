#include "platform/long_work_panel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWindow>

namespace kestrune {
namespace {

constexpr int kWidth = 420;
constexpr int kHeight = 40; // low enough to read as a bar, not as a dialog
constexpr int kTickMs = 100;
constexpr int kBarSteps = 1000;

bool isInput(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

} // namespace

LongWorkPanel::LongWorkPanel(QWidget* sheetWindow, QPoint contentTopLeft, int contentWidth,
                             const LongWorkView& view, WorkProgress& progress)
    : QWidget(sheetWindow, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      progress_(progress), cancellable_(view.cancellable) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(QString::fromStdString(view.text));
    setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 4, 6, 4);
    text_ = new QLabel(QString::fromStdString(view.text), this);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, kBarSteps);
    bar_->setTextVisible(false);
    bar_->setFixedWidth(140);
    layout->addWidget(text_, 1);
    layout->addWidget(bar_);
    if (cancellable_) {
        cancel_ = new QPushButton(tr("Cancel"), this);
        cancel_->setFocusPolicy(Qt::NoFocus);
        connect(cancel_, &QPushButton::clicked, this, [this] { cancel(); });
        layout->addWidget(cancel_);
    }
    setFixedSize(kWidth, kHeight);
    move(contentTopLeft.x() + (contentWidth - kWidth) / 2, contentTopLeft.y() + 4);
    since_.start();
    connect(&ticks_, &QTimer::timeout, this, [this] { tick(); });
    ticks_.start(kTickMs);
    qApp->installEventFilter(this);
}

LongWorkPanel::~LongWorkPanel() {
    qApp->removeEventFilter(this);
}

void LongWorkPanel::tick() {
    if (!isVisible() && since_.elapsed() >= kShowAfterMs) {
        show();
    }
    const double done = progress_.fraction();
    if (done <= 0.0) {
        bar_->setRange(0, 0); // busy until the work knows its size
    } else {
        bar_->setRange(0, kBarSteps);
        bar_->setValue(static_cast<int>(done * kBarSteps));
    }
}

void LongWorkPanel::cancel() {
    if (!cancellable_ || progress_.cancelled()) {
        return;
    }
    progress_.cancel();
    text_->setText(tr("Cancelling\u2026"));
    cancel_->setEnabled(false);
}

bool LongWorkPanel::isMine(QObject* object) const {
    if (object == this || object == windowHandle()) {
        return true;
    }
    const auto* widget = qobject_cast<const QWidget*>(object);
    return widget != nullptr && isAncestorOf(widget);
}

bool LongWorkPanel::eventFilter(QObject* watched, QEvent* event) {
    if (!isInput(event->type()) || isMine(watched)) {
        return false;
    }
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        cancel();
    }
    if (event->type() == QEvent::Close) {
        event->ignore(); // the window stays; the core decides once the work is over
    }
    return true;
}

} // namespace kestrune
