#include "platform/sheet_scroll_bar.h"

#include "sheet/sheet_input.h"

#include <QWheelEvent>
#include <algorithm>

namespace kestrune {

SheetScrollBar::SheetScrollBar(AppState& app, QWidget* parent)
    : QScrollBar(Qt::Vertical, parent), app_(app) {
    setFocusPolicy(Qt::NoFocus);
    setTracking(true);
    setSingleStep(1);
    connect(this, &QAbstractSlider::actionTriggered, this, &SheetScrollBar::userAction);
    connect(this, &QAbstractSlider::sliderMoved, this, [this](int position) {
        if (!applying_) {
            SheetScrollThumb(app_, position);
        }
    });
}

void SheetScrollBar::apply(const ScrollBarView& view) {
    applying_ = true;
    setGeometry(view.left, view.top, view.right - view.left, std::max(0, view.bottom - view.top));
    setRange(0, view.exists ? view.maximum : 0);
    setPageStep(std::max(1, view.pageStep));
    // While the thumb is held the user's position stands; the core has
    // taken it already.
    if (!isSliderDown()) {
        setValue(view.value);
    }
    setEnabled(view.exists);
    applying_ = false;
}

void SheetScrollBar::userAction(int action) {
    if (applying_ || action == SliderMove) {
        return;
    }
    // The bar does not move by itself: the core moves it, or nothing does.
    setSliderPosition(value());
    if (action == SliderSingleStepSub) {
        SheetScrollLineUp(app_);
    } else if (action == SliderSingleStepAdd) {
        SheetScrollLineDown(app_);
    }
}

void SheetScrollBar::wheelEvent(QWheelEvent* event) {
    if (onWheel_) {
        onWheel_(event->angleDelta().y());
    }
    event->accept();
}

} // namespace kestrune
