#include "sheet/sheet_labels.h"

#include "core/app_state.h"
#include "sheet/canvas.h"
#include "sheet/cell_text.h"

#include <string_view>

namespace kestrune {
namespace {

constexpr std::int32_t kMainWindow = 1;

// Draws text with its baseline at sheet position (x, y).
void drawAt(Canvas& canvas, std::string_view text, double x, double y) {
    DrawState& st = canvas.st;
    st.xx = x + st.xSft;
    st.yy = y + st.ySft;
    st.s_QuartzText = text;
    canvas.QuartzDrawText(kMainWindow);
}

void drawHeaderLines(Canvas& canvas, const ColumnHeader& header) {
    drawAt(canvas, header.label, header.labelX, kLabelBaseline);
    if (!header.unit.empty()) {
        drawAt(canvas, header.unit, header.unitX, kUnitBaseline);
    }
}

void drawSuperscript(Canvas& canvas, const ColumnHeader& header) {
    if (!header.superscript.empty()) {
        drawAt(canvas, header.superscript, header.superscriptX, kSuperscriptBaseline);
    }
}

void setHeaderFont(DrawState& st, double size) {
    st.QzFontNum = kHeaderFont;
    st.fontSize = size;
}

} // namespace

void DrawAllTopLabel(Canvas& canvas, double grey) {
    canvas.st.setGrey(grey);
    setHeaderFont(canvas.st, kHeaderFontSize);
    for (std::int32_t h = 0; h < kSheetColumnCount; ++h) {
        drawHeaderLines(canvas, *HeaderOfColumn(h));
    }
    canvas.st.fontSize = kSuperscriptFontSize;
    for (std::int32_t h = 0; h < kSheetColumnCount; ++h) {
        drawSuperscript(canvas, *HeaderOfColumn(h));
    }
}

void DrawOneTopWhiteLabel(Canvas& canvas, const AppState& app) {
    DrawState& st = canvas.st;
    st.setGrey(1.0);
    setHeaderFont(st, kHeaderFontSize);
    if (const ColumnHeader* header = HeaderOfColumn(app.sel.cellH)) {
        drawHeaderLines(canvas, *header);
        if (!header->superscript.empty()) {
            st.fontSize = kSuperscriptFontSize;
            drawSuperscript(canvas, *header);
        }
    }
    st.fontSize = kHeaderFontSize;
    const Selection& sel = app.sel;
    if (sel.cellV > sel.ScrollValue) {
        const std::int32_t line = sel.ScrollValue < 1 ? sel.cellV : sel.cellV - sel.ScrollValue;
        const PlacedText number = RowNumberText(sel.cellVscroll);
        drawAt(canvas, number.text.view(), number.x, LineBaseline(line));
    }
}

void DrawLongCell(Canvas& canvas, const ModelTable& table, double grey, std::int32_t lineNo,
                  std::int32_t row, std::int32_t yShift) {
    DrawState& st = canvas.st;
    const double y = LineBaseline(lineNo) - yShift;

    st.setGrey(grey);
    setHeaderFont(st, kHeaderFontSize);
    const PlacedText number = RowNumberText(row);
    drawAt(canvas, number.text.view(), number.x, y);

    st.setGrey(0.0);
    st.QzFontNum = kCellFont;
    st.fontSize = kCellFontSize;
    drawAt(canvas, table.Manufacturer.get(row), kManufacturerX, y);
    drawAt(canvas, table.ModelName.get(row), kModelNameX, y);
    for (const Param p : kAllParams) {
        const PlacedText value = ValueText(p, table.value(p, row));
        drawAt(canvas, value.text.view(), value.x, y);
    }
}

} // namespace kestrune
