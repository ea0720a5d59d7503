#include "platform/sheet_widget.h"

#include "application/commands.h"
#include "exchange/sheet_context_menu.h"
#include "model/app_state.h"
#include "platform/painter_canvas.h"
#include "platform/sheet_keys.h"
#include "sheet/sheet_input.h"
#include "sheet/sheet_painter.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>
#include <cstdio>

namespace kestrune {

SheetWidget::SheetWidget(AppState& app, QWidget* parent) : QWidget(parent), app_(app) {
    // For timing a launch from outside: one line on stdout once a sheet with
    // models has been drawn.
    reportShown_ = qEnvironmentVariableIsSet("KESTRUNE_REPORT_SHEET_SHOWN");
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Focus is given, not taken: a click leaves it with the edit field.
    setFocusPolicy(Qt::NoFocus);
}

void SheetWidget::freeze(bool frozen) {
    frozen_ = frozen && isVisible() ? grab() : QPixmap();
    if (!frozen) {
        update();
    }
}

void SheetWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect exposed = event->rect();
    if (!frozen_.isNull()) {
        painter.fillRect(exposed, Qt::white);
        painter.drawPixmap(0, 0, frozen_);
        return;
    }
    painter.fillRect(exposed, Qt::white);
    painter.translate(0, -kTop);
    PainterCanvas canvas(painter);
    const double top = exposed.top() + kTop;
    PaintSheet(canvas, app_, top, top + exposed.height());
    if (reportShown_ && app_.flags.MainWndOpenFlag != 0 && app_.table.fNum > 0) {
        reportShown_ = false;
        std::fputs("kestrune: sheet shown\n", stdout);
        std::fflush(stdout);
    }
}

void SheetWidget::click(QMouseEvent* event, int clickCount) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPointF at = event->position();
    const auto mouseH = static_cast<std::int32_t>(std::floor(at.x()));
    const auto mouseV = static_cast<std::int32_t>(std::floor(at.y())) + kTop;
    SheetMouseDown(app_, mouseH, mouseV, clickCount);
    event->accept();
}

void SheetWidget::mousePressEvent(QMouseEvent* event) {
    click(event, 1);
}

void SheetWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    click(event, 2);
}

void SheetWidget::wheelTurned(int angleDelta) {
    const std::int32_t lines = wheel_.add(angleDelta);
    if (lines != 0) {
        SheetWheel(app_, lines);
    }
}

void SheetWidget::wheelEvent(QWheelEvent* event) {
    wheelTurned(event->angleDelta().y());
    event->accept();
}

bool SheetWidget::event(QEvent* event) {
    if (isTabKey(*event)) {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QWidget::event(event);
}

void SheetWidget::keyPressEvent(QKeyEvent* event) {
    if (const auto press = sheetKeyOf(*event);
        press && SheetKeyCommand(app_, press->charCode, press->modifiers)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SheetWidget::contextMenuEvent(QContextMenuEvent* event) {
    SheetContextClick(app_, event->pos().x(), event->pos().y() + kTop);
    event->accept();
}

} // namespace kestrune
