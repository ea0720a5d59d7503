#pragma once
// The main window that shows the data sheet: its place on the screen, its
// title, menus and the controls above the sheet, and repaints of the sheet
// through its Canvas.

#include "ports/menu_view.h"
#include "ports/sheet_views.h"
#include "runtime/str255.h"
#include "runtime/work_progress.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kestrune {

// The part of one screen that windows may take (the desktop's panels left
// out), in the coordinates of all screens together.
struct ScreenArea {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// Where a window's content goes: its top-left corner on the screen, and its
// height (the width is the window's own).
struct WindowPlace {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t height = 0;
    friend bool operator==(const WindowPlace&, const WindowPlace&) = default;
};

class SheetWindow {
public:
    virtual ~SheetWindow() = default;

    // The main window shows the data sheet, or returns to its no-sheet state.
    // The sheet window's content top-left corner goes to (left, top) on the screen.
    virtual void showSheetWindow(const WindowPlace& place) = 0;
    virtual void closeSheetWindow() = 0;
    // The screens there are now; none when the platform cannot tell.
    virtual std::vector<ScreenArea> screenAreas() { return {}; }
    // The main window to the front.
    virtual void raiseMainWindow() = 0;
    // The window's title and the document it stands for (empty: none).
    virtual void setWindowTitle(const std::string& title, const std::string& documentPath) = 0;
    // The window's modified mark.
    virtual void setWindowModified(bool modified) = 0;
    virtual void updateMenus(const std::vector<Menu>& menus) = 0;

    // The height of the content area, the text now in the edit field, the
    // controls above the sheet, the scroll bar, and a repaint of
    // the sheet.
    virtual std::int32_t contentHeight() = 0;
    virtual Str255 readEditField() = 0;
    virtual void updateToolArea(const ToolAreaView& view) = 0;
    virtual void updateScrollBar(const ScrollBarView& view) = 0;
    virtual void repaintSheet() = 0;
    // The sheet's edit field or the focused calculator field: its text is
    // replaced and all of it selected.
    virtual void setEditFieldText(const Str255& text) = 0;
    // The sheet's edit field takes the keyboard focus with all of its text
    // selected, unchanged, ready to be corrected.
    virtual void selectEditFieldText() {}
    // The find bar below the sheet; hidden, the keyboard goes back to the sheet.
    virtual void updateFindBar(const FindBarView& view) = 0;

    // Runs work to its end and returns then, rethrowing what it threw. Work
    // that lasts shows its progress on the window, which meanwhile keeps
    // painting (the sheet as it was when the work began) and takes no
    // command: the work may run on another thread and must not call the
    // platform. A cancellable view lets the user cancel progress, which the
    // work is to notice (by throwing WorkCancelled, for one).
    virtual void runLongWork(const LongWorkView& view, WorkProgress& progress,
                             const std::function<void()>& work) = 0;
};

} // namespace kestrune
