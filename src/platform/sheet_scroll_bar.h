#pragma once
// The sheet's vertical scroll bar. Dragging the thumb and the two arrows
// scroll the sheet through the core; clicks in the track do nothing; the
// wheel over the bar scrolls like the wheel over the sheet.

#include "sheet/tool_area.h"

#include <QScrollBar>
#include <functional>

namespace kestrune {

class AppState;

class SheetScrollBar final : public QScrollBar {
    Q_OBJECT
public:
    SheetScrollBar(AppState& app, QWidget* parent = nullptr);

    void setWheelHandler(std::function<void(int)> handler) { onWheel_ = std::move(handler); }

    // Mirrors the bar as the core describes it.
    void apply(const ScrollBarView& view);

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    void userAction(int action);

    AppState& app_;
    std::function<void(int)> onWheel_;
    bool applying_ = false;
};

} // namespace kestrune
