#include "platform/main_window.h"

#include "platform/calculator_dialog.h"
#include "platform/core_gate.h"

#include "application/commands.h"
#include "application/lifecycle.h"
#include "model/app_state.h"
#include "platform/menu_bar_mirror.h"
#include "platform/sheet_page.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <algorithm>

namespace kestrune {
namespace {

const char* const kHint = "<p style='line-height:150%'>"
                          "New Data Sheet...&nbsp;&nbsp;&nbsp;Ctrl+N<br>"
                          "Open...&nbsp;&nbsp;&nbsp;Ctrl+O<br>"
                          "Import CSV, TXT...</p>";

} // namespace

MainWindow::MainWindow(AppState& app, QWidget* parent) : QMainWindow(parent), app_(app) {
    setWindowTitle(QStringLiteral("Kestrune[*]"));
    content_ = new QWidget(this);
    content_->installEventFilter(this);
    setCentralWidget(content_);

    hint_ = new QLabel(QString::fromLatin1(kHint), content_);
    hint_->setAlignment(Qt::AlignCenter);
    hint_->setForegroundRole(QPalette::PlaceholderText);
    sheetPage_ = new SheetPage(app_, content_);
    sheetPage_->hide();

    menus_ = new MenuBarMirror(app_, *menuBar(), this);
    // F10 opens the first menu, as on other desktops; the arrow keys go on.
    auto* firstMenu = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(firstMenu, &QShortcut::activated, this, [this] {
        for (QAction* action : menuBar()->actions()) {
            if (action->isVisible() && action->isEnabled()) {
                menuBar()->setActiveAction(action);
                return;
            }
        }
    });
    setContentSize(kContentWidth, kMinContentHeight);
}

bool MainWindow::sheetShown() const {
    return sheetPage_->isVisibleTo(content_);
}

int MainWindow::contentHeight() const {
    return content_->height();
}

QPoint MainWindow::contentToGlobal(QPoint point) const {
    return content_->mapToGlobal(point);
}

void MainWindow::syncLayout() {
    // The core measures the content right after it asks for a change, so
    // the window is laid out at once rather than at the next event.
    if (QLayout* outer = layout()) {
        outer->invalidate();
        outer->activate();
    }
}

int MainWindow::chromeHeight() {
    syncLayout();
    if (!isVisible()) {
        // Not laid out for the screen yet: what the layout will give the
        // menu bar, asked the way the layout asks.
        menuBar()->ensurePolished();
        const int forWidth = menuBar()->heightForWidth(kContentWidth);
        return forWidth > 0 ? forWidth : menuBar()->sizeHint().height();
    }
    return height() - content_->height();
}

void MainWindow::reshape(const std::function<void(int chrome)>& change) {
    adjusting_ = true;
    change(chromeHeight());
    syncLayout();
    hint_->setGeometry(content_->rect());
    sheetPage_->setGeometry(content_->rect());
    sheetPage_->layoutChildren();
    adjusting_ = false;
}

void MainWindow::setContentSize(int width, int height) {
    reshape([&](int chrome) { resize(width, height + chrome); });
}

void MainWindow::placeContent(const WindowPlace& place) {
    // The window's own area (the menu bar, all there is above the content,
    // and the content) is placed, not its frame: the window manager keeps it
    // there and puts the frame around it, whatever size the frame has.
    reshape([&](int chrome) {
        setGeometry(QRect(QPoint(place.left, place.top - chrome),
                          QSize(kContentWidth, std::max(place.height, 1) + chrome)));
    });
}

void MainWindow::showSheet(const WindowPlace& place) {
    hint_->hide();
    sheetPage_->show();
    const int chrome = chromeHeight();
    const QScreen* display = screen();
    const int tallest =
        display != nullptr ? display->availableGeometry().height() - chrome : QWIDGETSIZE_MAX;
    const int highest = std::max(kMinContentHeight, tallest);
    setMinimumSize(kContentWidth, kMinContentHeight + chrome);
    setMaximumSize(kContentWidth, highest + chrome);
    WindowPlace kept = place;
    kept.height = std::clamp(place.height, kMinContentHeight, highest);
    if (geometry().topLeft() + QPoint(0, chrome) != QPoint(place.left, place.top) ||
        content_->height() != kept.height) {
        placeContent(kept);
    }
}

void MainWindow::showNoSheet() {
    sheetPage_->hide();
    hint_->show();
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void MainWindow::setTitle(const std::string& title, const std::string& documentPath) {
    setWindowTitle(QString::fromStdString(title) + QStringLiteral("[*]"));
    setWindowFilePath(QString::fromStdString(documentPath));
}

void MainWindow::updateMenus(const std::vector<Menu>& menus) {
    menus_->update(menus);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The core decides whether and when the window goes away.
    event->ignore();
    if (app_.flags.MainWndOpenFlag != 0) {
        CloseSequence(app_);
    } else {
        QuitSequence(app_);
    }
}

void MainWindow::boundsChanged(bool sizeChanged) {
    if (adjusting_ || !isVisible()) {
        return;
    }
    const QPoint topLeft = content_->mapToGlobal(QPoint(0, 0));
    WindowBounds bounds;
    bounds.top = static_cast<std::int16_t>(topLeft.y());
    bounds.left = static_cast<std::int16_t>(topLeft.x());
    bounds.bottom = static_cast<std::int16_t>(topLeft.y() + content_->height());
    bounds.right = static_cast<std::int16_t>(topLeft.x() + content_->width());
    toCore([this, bounds, sizeChanged] { SheetWindowBoundsChanged(app_, bounds, sizeChanged); });
}

void MainWindow::toCore(std::function<void()> action) {
    if (gate_ != nullptr) {
        gate_->pass(std::move(action));
    } else {
        action();
    }
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    boundsChanged(false);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == content_ && event->type() == QEvent::Resize) {
        const auto* resize = static_cast<QResizeEvent*>(event);
        hint_->setGeometry(content_->rect());
        sheetPage_->setGeometry(content_->rect());
        boundsChanged(resize->oldSize() != resize->size());
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        toCore([this] { SheetWindowActivated(app_, isActiveWindow()); });
    }
}

} // namespace kestrune
