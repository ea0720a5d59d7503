#include "sheet/sheet_labels.h"

#include "model/app_state.h"
#include "ports/canvas.h"
#include "runtime/utf8_text.h"
#include "sheet/cell_text.h"
#include "sheet/parameter_checks.h"

#include <string>
#include <string_view>
#include <vector>

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

// Draws text like drawAt, narrowed and made smaller as FitText decides when
// its glyphs would leave box; the font size and stretch are restored after.
void drawFitted(Canvas& canvas, std::string_view text, double x, double y, TextBox box) {
    DrawState& st = canvas.st;
    const double size = st.fontSize;
    const TextFit fit = FitText(canvas, text, st.QzFontNum, size, x, box);
    st.fontSize = fit.fontSize;
    st.fontStretch = fit.stretch;
    drawAt(canvas, text, fit.x, y);
    st.fontSize = size;
    st.fontStretch = 1.0;
}

constexpr std::string_view kEllipsis = "\u2026";
// Room kept between a cut name's ellipsis and the next column's grid line.
constexpr double kNameMargin = 3.0;

// A name drawn from x, cut with an ellipsis where it would pass right: a long
// name never runs over the next cells. The edit field shows it whole.
void drawName(Canvas& canvas, std::string_view name, double x, double y, double right) {
    const DrawState& st = canvas.st;
    const double room = right - kNameMargin - x;
    const auto width = [&](std::string_view text) {
        return canvas.TextWidth(text, st.QzFontNum, st.fontSize);
    };
    if (width(name) <= room) {
        drawAt(canvas, name, x, y);
        return;
    }
    // The longest start of the name, in whole characters, that fits with
    // the ellipsis after it.
    std::vector<std::size_t> ends{0};
    for (std::size_t at = 0; at < name.size();) {
        at += CharacterLength(name, at);
        ends.push_back(at);
    }
    std::string shown;
    std::size_t fits = 0;
    std::size_t fails = ends.size() - 1;
    while (fails - fits > 1) {
        const std::size_t middle = fits + (fails - fits) / 2;
        shown.assign(name.substr(0, ends[middle])).append(kEllipsis);
        (width(shown) <= room ? fits : fails) = middle;
    }
    std::string_view kept = name.substr(0, ends[fits]);
    while (!kept.empty() && kept.back() == ' ') {
        kept.remove_suffix(1);
    }
    shown.assign(kept).append(kEllipsis);
    drawAt(canvas, shown, x, y);
}

void drawRowNumber(Canvas& canvas, std::int32_t row, double y) {
    const PlacedText number = RowNumberText(row);
    drawFitted(canvas, number.text.view(), number.x, y, RowNumberBox());
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

// A published Vap or Vd far from what the row's other values give: a small
// orange triangle in its cell's top right corner, under the value.
void drawCheckMarks(Canvas& canvas, const ModelTable& table, std::int32_t row, double baseline) {
    constexpr std::int32_t kFirstParamColumn = 3; // Dia
    constexpr double kMarkSize = 5.0;
    constexpr double kBaselineBelowTop = 13.0;
    DrawState& st = canvas.st;
    for (const Param p : {Param::Vap, Param::Vd}) {
        if (!CheckParameter(table, row, p)->marked) {
            continue;
        }
        const double right =
            st.xSft + SelectionColumnExtent(kFirstParamColumn + static_cast<int>(p)).x1;
        const double top = st.ySft + baseline - kBaselineBelowTop;
        st.setColour(0.93, 0.42, 0.0);
        for (double i = 0.0; i < kMarkSize; i += 1.0) {
            st.xx = right - kMarkSize + i;
            st.yy = top + i;
            st.xx1 = right;
            st.yy1 = top + i + 1.0;
            st.s_FrameFill = "Fill";
            canvas.QuartzDrawRect(1);
        }
    }
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
        drawRowNumber(canvas, sel.cellVscroll, LineBaseline(line));
    }
}

void DrawLongCell(Canvas& canvas, const ModelTable& table, double grey, std::int32_t lineNo,
                  std::int32_t row, std::int32_t yShift) {
    DrawState& st = canvas.st;
    const double y = LineBaseline(lineNo) - yShift;

    st.setGrey(grey);
    setHeaderFont(st, kHeaderFontSize);
    drawRowNumber(canvas, row, y);

    drawCheckMarks(canvas, table, row, y);
    st.setGrey(0.0);
    st.QzFontNum = kCellFont;
    st.fontSize = kCellFontSize;
    drawName(canvas, table.Manufacturer.get(row), kManufacturerX, y, SelectionColumnExtent(1).x1);
    drawName(canvas, table.ModelName.get(row), kModelNameX, y, SelectionColumnExtent(2).x1);
    for (const Param p : kAllParams) {
        const PlacedText value = ValueText(p, table.value(p, row));
        drawFitted(canvas, value.text.view(), value.x, y, ValueBox(p));
    }
}

void DrawRowCounter(Canvas& canvas, std::string_view counter) {
    constexpr double kBaseline = 12.0;
    constexpr double kMargin = 2.0;
    DrawState& st = canvas.st;
    st.xSft = 0;
    st.ySft = 0;
    st.setGrey(0.0);
    st.QzFontNum = kControlFont;
    st.fontSize = kControlFontSize;
    const double width = canvas.TextWidth(counter, st.QzFontNum, st.fontSize);
    drawFitted(canvas, counter, (kRowCounterWidth - width) / 2.0, kBaseline,
               {kMargin, kRowCounterWidth - kMargin});
}

} // namespace kestrune
