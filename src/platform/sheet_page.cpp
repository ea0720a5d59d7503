#include "platform/sheet_page.h"

#include "platform/edit_field.h"
#include "platform/find_bar.h"
#include "platform/sheet_scroll_bar.h"
#include "platform/sheet_widget.h"
#include "platform/top_bar.h"

#include <QResizeEvent>
#include <algorithm>

namespace kestrune {

SheetPage::SheetPage(AppState& app, QWidget* parent) : QWidget(parent) {
    topBar_ = new TopBar(app, this);
    topBar_->move(0, 0);
    sheet_ = new SheetWidget(app, this);
    scrollBar_ = new SheetScrollBar(app, this);
    scrollBar_->setWheelHandler([this](int angleDelta) { sheet_->wheelTurned(angleDelta); });
    scrollBar_->raise(); // it lies over the sheet's right edge
    scrollBar_->setEnabled(false);
    findBar_ = new FindBar(app, this);
}

void SheetPage::applyToolArea(const ToolAreaView& view) {
    topBar_->apply(view);
    if (!view.editFieldShown) {
        // With no field to type into, the sheet hears the keys itself.
        sheet_->setFocus(Qt::OtherFocusReason);
    }
}

void SheetPage::applyScrollBar(const ScrollBarView& view) {
    scrollBar_->apply(view);
}

void SheetPage::applyFindBar(const FindBarView& view) {
    const bool heldFocus = findBar_->holdsFocus();
    findBar_->apply(view);
    if (!view.shown && heldFocus) {
        EditField* field = topBar_->editField();
        if (field->isVisible()) {
            field->setFocus(Qt::OtherFocusReason);
        } else {
            sheet_->setFocus(Qt::OtherFocusReason);
        }
    }
}

Str255 SheetPage::readEditField() const {
    return topBar_->editField()->shownText();
}

void SheetPage::repaintSheet() {
    sheet_->update();
}

void SheetPage::layoutChildren() {
    sheet_->setGeometry(0, SheetWidget::kTop, kWidth, std::max(0, height() - SheetWidget::kTop));
    // Over the column titles, whose row ends at the sheet's y 32.
    findBar_->setGeometry(0, SheetWidget::kTop, kWidth, kFindBarHeight);
}

void SheetPage::resizeEvent(QResizeEvent* event) {
    layoutChildren();
    QWidget::resizeEvent(event);
}

} // namespace kestrune
