#pragma once
// The window's content while a sheet is open: the top bar, the drawn sheet
// below it and the scroll bar at its right edge.

#include "runtime/str255.h"
#include "sheet/tool_area.h"

#include <QWidget>

namespace kestrune {

class AppState;
class TopBar;
class SheetWidget;
class SheetScrollBar;

class SheetPage final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 745;

    SheetPage(AppState& app, QWidget* parent = nullptr);

    void applyToolArea(const ToolAreaView& view);
    void applyScrollBar(const ScrollBarView& view);
    Str255 readEditField() const;
    void repaintSheet();
    // Places the sheet below the top bar over the page's height.
    void layoutChildren();

    TopBar* topBar() const { return topBar_; }
    SheetWidget* sheet() const { return sheet_; }
    SheetScrollBar* scrollBar() const { return scrollBar_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    TopBar* topBar_ = nullptr;
    SheetWidget* sheet_ = nullptr;
    SheetScrollBar* scrollBar_ = nullptr;
};

} // namespace kestrune
