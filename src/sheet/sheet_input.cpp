#include "sheet/sheet_input.h"

#include "model/app_state.h"
#include "sheet/cell_text.h"
#include "sheet/sheet_redraw.h"

#include <algorithm>

namespace kestrune {
namespace {

constexpr std::int32_t kLastColumn = 10;

bool onSheetBody(const AppState& app, std::int32_t mouseH, std::int32_t mouseV) {
    return mouseV > kSheetHeaderBottom && mouseH < kCellAreaRight && app.sheet.windowActive();
}

// Moves the scroll position to what the bar now shows, then redraws.
void scrollTo(AppState& app, std::int32_t value) {
    SheetState& sh = app.sheet;
    sh.scrollBarValue = std::clamp(value, 0, std::max(sh.ScrollNum, 0));
    app.sel.ScrollValue = sh.scrollBarValue;
    DrawSheet(app);
}

// True when the cell at (cellH, row) is not the selected one and the edit
// field refuses to let the selection go there.
bool moveRefused(AppState& app, std::int32_t cellH, std::int32_t row) {
    const bool moves = cellH != app.sel.cellH || row != app.sel.cellV;
    return moves && EditFieldBlocksMove(app);
}

} // namespace

std::int32_t ColumnAtX(std::int32_t mouseH) {
    if (mouseH < 29) {
        return 0;
    }
    if (mouseH <= 140) {
        return 1;
    }
    if (mouseH <= 280) {
        return 2;
    }
    return (mouseH - 224) / 56 + 2;
}

void SheetMouseDown(AppState& app, std::int32_t mouseH, std::int32_t mouseV, int clickCount) {
    app.sheet.mouseH = mouseH;
    app.sheet.mouseV = mouseV;
    if (!onSheetBody(app, mouseH, mouseV)) {
        return;
    }
    const std::int32_t line = mouseV / 16 - 4;
    // A click on the cell being edited keeps it; one elsewhere moves on.
    if (moveRefused(app, ColumnAtX(mouseH), std::min(line + app.sel.ScrollValue, app.table.fNum))) {
        return;
    }
    if (clickCount >= 2) {
        if (app.link.TarnBusyFlag == 0) {
            app.sel.cellH = 0;
            app.ModelSelectSequence();
            app.sel.cellH = ColumnAtX(mouseH);
        } else if (mouseH < 29) {
            app.sel.cellV = line;
            app.sheet.MouseClickOnSheet = 1;
            DrawSheet(app);
        }
        return;
    }
    app.sel.cellH = ColumnAtX(mouseH);
    app.sel.cellV = line;
    app.sheet.MouseClickOnSheet = 1;
    DrawSheet(app);
}

void SheetWheel(AppState& app, std::int32_t deltaLines) {
    if (app.sheet.ExistScrollFlag == 0) {
        return;
    }
    scrollTo(app, app.sheet.scrollBarValue - deltaLines);
}

void SheetScrollThumb(AppState& app, std::int32_t value) {
    scrollTo(app, value);
}

void SheetScrollLineUp(AppState& app) {
    scrollTo(app, app.sheet.scrollBarValue - 1);
}

void SheetScrollLineDown(AppState& app) {
    scrollTo(app, app.sheet.scrollBarValue + 1);
}

namespace {

// Tab and Shift+Tab: the next or previous cell of the row, on to the next
// or previous row at its end; row mode counts as before the first cell.
void stepAlongRow(const AppState& app, bool backwards, std::int32_t& cellH, std::int32_t& cellV) {
    if (!backwards) {
        if (cellH < kLastColumn) {
            ++cellH;
        } else if (cellV < app.table.fNum) {
            cellH = 1;
            ++cellV;
        }
    } else if (cellH > 1) {
        --cellH;
    } else if (cellV > 1) {
        cellH = kLastColumn;
        --cellV;
    }
}

// Page Up and Page Down, Ctrl+Home and Ctrl+End, Tab and Shift+Tab: moves
// that go further than one step. False for a key that is none of them (or
// Home and End without Ctrl, which belong to the edit field).
bool farMove(AppState& app, std::int32_t charCode, KeyModifiers modifiers, std::int32_t& cellH,
             std::int32_t& cellV) {
    const std::int32_t page = std::max(app.sheet.dispNum, 1);
    switch (charCode) {
    case SheetKey::kPageUp:
        cellV = std::max(cellV - page, 1);
        return true;
    case SheetKey::kPageDown:
        cellV = std::max(std::min(cellV + page, app.table.fNum), 1);
        return true;
    case SheetKey::kHome:
        cellV = 1;
        return modifiers.command;
    case SheetKey::kEnd:
        cellV = std::max(app.table.fNum, 1);
        return modifiers.command;
    case SheetKey::kTab:
        stepAlongRow(app, modifiers.shift, cellH, cellV);
        return true;
    default:
        return false;
    }
}

// The view keeps the selected row on the same line of the screen when a
// page key moves it, as far as the sheet allows.
void scrollWithPage(AppState& app, std::int32_t rowsMoved) {
    SheetState& sh = app.sheet;
    Selection& sel = app.sel;
    sel.ScrollValue = std::clamp(sel.ScrollValue + rowsMoved, 0, std::max(sh.ScrollNum, 0));
    sh.PreDownScrollValue = sel.ScrollValue;
    if (sh.ExistScrollFlag != 0) {
        sh.scrollBarValue = sel.ScrollValue;
    }
}

} // namespace

bool SelectCell(AppState& app, std::int32_t cellH, std::int32_t cellV) {
    if (moveRefused(app, cellH, cellV)) {
        return false;
    }
    app.sel.cellH = cellH;
    app.sel.cellV = cellV;
    app.sel.cellVshift = cellV;
    app.sheet.RevealSelection = 1;
    DrawSheet(app);
    return true;
}

bool SheetKeyDown(AppState& app, std::int32_t charCode, KeyModifiers modifiers) {
    Selection& sel = app.sel;
    if (std::int32_t cellH = sel.cellH, cellV = sel.cellV;
        farMove(app, charCode, modifiers, cellH, cellV)) {
        if (moveRefused(app, cellH, cellV)) {
            return true;
        }
        if (charCode == SheetKey::kPageUp || charCode == SheetKey::kPageDown) {
            scrollWithPage(app, cellV - sel.cellV);
        }
        sel.cellH = cellH;
        sel.cellV = cellV;
        sel.cellVshift = cellV;
        app.sheet.Key = charCode;
        DrawSheet(app);
        return true;
    }
    const std::int32_t before = sel.cellH;
    const bool enterOrReturn = charCode == SheetKey::kEnter || charCode == SheetKey::kReturn;
    std::int32_t cellH = sel.cellH;
    std::int32_t cellV = sel.cellV;
    switch (charCode) {
    case SheetKey::kLeft:
        cellH = std::max(cellH - 1, 0);
        break;
    case SheetKey::kRight:
    case SheetKey::kEnter:
    case SheetKey::kReturn:
        cellH = cellH + 1 > kLastColumn ? 0 : cellH + 1;
        break;
    case SheetKey::kUp:
        cellV = std::max(cellV - 1, 1);
        break;
    case SheetKey::kDown:
        cellV = std::min(cellV + 1, app.table.fNum);
        break;
    default:
        return false;
    }
    const bool optionOnly =
        modifiers.option && !modifiers.shift && !modifiers.command && !modifiers.control;
    // Enter and Return that send the model leave the selection where it is.
    const bool sends = enterOrReturn && (optionOnly || before == 0);
    if (!sends && moveRefused(app, cellH, cellV)) {
        return true;
    }
    sel.cellH = cellH;
    sel.cellV = cellV;
    sel.cellVshift = sel.cellV;
    app.sheet.Key = charCode;

    if (optionOnly) {
        if (enterOrReturn) {
            sel.cellH = 0;
            app.ModelSelectSequence();
            sel.cellH = before;
        }
        return true;
    }
    if (enterOrReturn && sel.cellH == 1 && before == 0) {
        sel.cellH = 0;
        app.ModelSelectSequence();
        return true;
    }
    DrawSheet(app);
    return true;
}

void SheetResized(AppState& app) {
    if (app.calc.CalcWndOnFlag != 0) {
        return;
    }
    SetInstallScrollButton(app);
    app.sel.ScrollValue = 0;
    DrawSheet(app);
}

void SuspendSheetScrolling(AppState& app) {
    if (app.sheet.ExistScrollFlag != 0) {
        app.sheet.ExistScrollFlag = 0;
        app.sheet.PreExistScroll = 1;
    }
}

void ResumeSheetScrolling(AppState& app) {
    if (app.sheet.PreExistScroll != 0) {
        app.sheet.ExistScrollFlag = 1;
        app.sheet.PreExistScroll = 0;
    }
}

} // namespace kestrune
