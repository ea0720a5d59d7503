#pragma once
// The drawn sheet below the top bar. It paints through the core's drawing
// sequence and hands clicks, the wheel and the sheet keys to the core.
// Its own coordinates are the window's content coordinates moved up by the
// top bar's height.

#include "platform/wheel_steps.h"

#include <QPixmap>
#include <QWidget>

namespace kestrune {

class AppState;

class SheetWidget final : public QWidget {
    Q_OBJECT
public:
    // Content y of the widget's top edge.
    static constexpr int kTop = 48;

    SheetWidget(AppState& app, QWidget* parent = nullptr);

    // A wheel turn over the sheet or its scroll bar.
    void wheelTurned(int angleDelta);
    // While frozen, the sheet paints as it looked when frozen, without
    // reading the core, whose table long work may be changing.
    void freeze(bool frozen);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void click(QMouseEvent* event, int clickCount);

    AppState& app_;
    WheelSteps wheel_;
    bool reportShown_ = false;
    QPixmap frozen_;
};

} // namespace kestrune
