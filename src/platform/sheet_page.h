#pragma once
// The window's content while a sheet is open: the top bar, the drawn sheet
// below it, the scroll bar at its right edge and the find bar over the
// column titles.

#include "runtime/str255.h"
#include "sheet/tool_area.h"

#include <QWidget>

namespace kestrune {

class AppState;
class TopBar;
class SheetWidget;
class SheetScrollBar;
class FindBar;

class SheetPage final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 745;
    static constexpr int kFindBarHeight = 33;

    SheetPage(AppState& app, QWidget* parent = nullptr);

    void applyToolArea(const ToolAreaView& view);
    void applyScrollBar(const ScrollBarView& view);
    // Hiding the bar while it holds the keyboard gives the keyboard back to
    // the sheet.
    void applyFindBar(const FindBarView& view);
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
    FindBar* findBar_ = nullptr;
};

} // namespace kestrune
