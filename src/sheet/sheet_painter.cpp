#include "sheet/sheet_painter.h"

#include "model/app_state.h"
#include "ports/canvas.h"
#include "sheet/cell_text.h"
#include "sheet/sheet_labels.h"

#include <algorithm>
#include <cmath>

namespace kestrune {
namespace {

constexpr std::int32_t kMainWindow = 1;
constexpr double kToolAreaHeight = 48.0; // the sheet starts below the tool area
constexpr double kHeaderBottom = 80.0;
constexpr double kBodyBottom = 1520.0; // lowest y of stripes and grid
constexpr double kHeaderRight = 745.0;
constexpr double kCellRight = kCellAreaRight;
constexpr double kRowNumberRight = 28.0;
constexpr double kNamesDivider = 140.0;
constexpr double kFirstParamX = 280.0;
constexpr double kParamWidth = 56.0;
constexpr double kRowTextGrey = 0.122;

// How far a row's glyphs may reach above and below its baseline, and the
// slack allowed for anti-aliasing around lines and fills.
constexpr double kTextAbove = 16.0;
constexpr double kTextBelow = 5.0;
constexpr double kSlack = 1.0;

// The window-y range being painted, half-open; empty when top >= bottom.
struct VisibleBand {
    double top;
    double bottom;

    bool empty() const { return !(top < bottom); }
    bool meets(double y0, double y1) const {
        return !empty() && std::max(y0, y1) + kSlack > top && std::min(y0, y1) - kSlack < bottom;
    }
};

class Painter {
public:
    Painter(Canvas& canvas, VisibleBand band) : canvas_(canvas), st_(canvas.st), band_(band) {}

    void erase(double x0, double y0, double x1, double y1) {
        if (band_.meets(y0, y1)) {
            canvas_.EraseRect(x0, y0, x1, y1);
        }
    }
    void fill(double x0, double y0, double x1, double y1) { rect("Fill", x0, y0, x1, y1, 0.0); }
    void frame(double x0, double y0, double x1, double y1) {
        rect("Frame", x0, y0, x1, y1, halfWidth());
    }
    void line(double x0, double y0, double x1, double y1) {
        if (band_.meets(y0 - halfWidth(), y1 + halfWidth())) {
            place(x0, y0, x1, y1);
            canvas_.QuartzDrawLine(kMainWindow);
        }
    }

private:
    double halfWidth() const { return (st_.LineW > 0.0 ? st_.LineW : 1.0) / 2.0; }
    void place(double x0, double y0, double x1, double y1) {
        st_.xx = x0;
        st_.yy = y0;
        st_.xx1 = x1;
        st_.yy1 = y1;
    }
    void rect(const char* mode, double x0, double y0, double x1, double y1, double outset) {
        if (band_.meets(y0 - outset, y1 + outset)) {
            place(x0, y0, x1, y1);
            st_.s_FrameFill = mode;
            canvas_.QuartzDrawRect(kMainWindow);
        }
    }

    Canvas& canvas_;
    DrawState& st_;
    VisibleBand band_;
};

// The first and last line (1 = first line below the header) whose texts meet
// the band, within lines 1 to lastLine; first > last when there is none.
struct LineRange {
    std::int64_t first;
    std::int64_t last;
};

LineRange visibleLines(VisibleBand band, double ySft, std::int64_t lastLine) {
    if (band.empty() || lastLine < 1) {
        return {1, 0};
    }
    // Line k has its baseline at ySft + 29 + 16k; its texts reach from
    // kTextAbove above it to kTextBelow below it.
    const double base = ySft + LineBaseline(0);
    const double lo = std::floor((band.top - base - kTextBelow) / kRowHeight) + 1.0;
    const double hi = std::ceil((band.bottom - base + kTextAbove) / kRowHeight) - 1.0;
    const auto limit = static_cast<double>(lastLine);
    return {static_cast<std::int64_t>(std::clamp(lo, 1.0, limit + 1.0)),
            static_cast<std::int64_t>(std::clamp(hi, 0.0, limit))};
}

void paintBackground(Painter& paint, DrawState& st) {
    paint.erase(0.0, kToolAreaHeight, 730.0, 1600.0);
    st.xSft = 0;
    st.ySft = static_cast<std::int32_t>(kToolAreaHeight);
    st.LineW = 0.0;

    st.setGrey(0.87);
    paint.fill(0.5, 48.5, kHeaderRight + 0.5, kHeaderBottom + 0.5);
    paint.fill(0.5, 81.5, kRowNumberRight + 0.5, kBodyBottom + 0.5);

    // Every other screen line, from the first one below the header; the
    // stripes stay put while the rows scroll past them.
    st.setColour(0.9451, 0.9608, 0.9804);
    for (double y = kHeaderBottom; y <= kBodyBottom; y += 2 * kRowHeight) {
        paint.fill(29.5, y + 0.5, kCellRight + 0.5, y + 16.5);
    }
}

void paintRows(Canvas& canvas, const AppState& app, VisibleBand band) {
    const std::int32_t scroll = app.sel.ScrollValue;
    const std::int64_t lastLine = static_cast<std::int64_t>(app.table.fNum) - scroll;
    const LineRange lines = visibleLines(band, canvas.st.ySft, lastLine);
    for (std::int64_t k = lines.first; k <= lines.last; ++k) {
        const auto row = static_cast<std::int32_t>(scroll + k);
        DrawLongCell(canvas, app.table, kRowTextGrey, row, row, kRowHeight * scroll);
    }
}

// The dark header cell of the selected column and, when the selected row is
// on screen, its dark row-number cell and double blue frame.
void paintSelectionCells(Painter& paint, DrawState& st, const AppState& app) {
    const auto x0 = static_cast<double>(app.sheet.selX0);
    const auto x1 = static_cast<double>(app.sheet.selX1);
    const auto y0 = static_cast<double>(app.sheet.selY0);
    const auto y1 = static_cast<double>(app.sheet.selY1);
    st.setColour(0.4258, 0.4961, 0.5547);
    if (app.sel.cellH < 1) {
        paint.fill(0.0, kToolAreaHeight, kRowNumberRight, kHeaderBottom);
    } else {
        paint.fill(x0, kToolAreaHeight, x1, kHeaderBottom);
    }
    if (app.sheet.selY0 > kRowHeight) {
        paint.fill(0.0, y0 + 48.0, kRowNumberRight, y1 + 48.0);
        st.setColour(0.5764, 0.7333, 0.8784);
        paint.frame(x0 - 0.5, y0 + 47.5, x1 + 1.5, y1 + 49.5);
        paint.frame(x0 + 1.5, y0 + 49.5, x1 - 0.5, y1 + 47.5);
    }
}

void paintGrid(Painter& paint, DrawState& st) {
    // Darker lines around and inside the header and between the row numbers.
    st.setGrey(0.61);
    paint.line(0.0, 48.5, kHeaderRight, 48.5);
    paint.line(0.0, 80.5, kHeaderRight, 80.5);
    paint.line(28.5, 48.0, 28.5, kBodyBottom);
    paint.line(kNamesDivider + 0.5, 48.0, kNamesDivider + 0.5, kHeaderBottom);
    for (double x = kFirstParamX; x <= kCellRight; x += kParamWidth) {
        paint.line(x + 0.5, 48.0, x + 0.5, kHeaderBottom);
    }
    for (double y = kHeaderBottom; y <= kBodyBottom; y += kRowHeight) {
        paint.line(0.0, y + 0.5, kRowNumberRight, y + 0.5);
    }

    // Lighter lines in the body.
    st.setGrey(0.763);
    paint.line(kNamesDivider + 0.5, 81.0, kNamesDivider + 0.5, kBodyBottom);
    for (double y = 96.0; y <= kBodyBottom; y += kRowHeight) {
        paint.line(29.0, y + 0.5, kCellRight, y + 0.5);
    }
    for (double x = kFirstParamX; x <= kCellRight; x += kParamWidth) {
        paint.line(x + 0.5, 81.0, x + 0.5, kBodyBottom);
    }
}

} // namespace

void PaintSheet(Canvas& canvas, const AppState& app, double visibleTop, double visibleBottom) {
    const VisibleBand band{visibleTop, visibleBottom};
    Painter paint(canvas, band);
    DrawState& st = canvas.st;

    paintBackground(paint, st);
    DrawAllTopLabel(canvas, kRowTextGrey);
    if (app.sheet.selY0 > kRowHeight) {
        // The selected row's background lies under its texts.
        st.setColour(0.7725, 0.8706, 1.0);
        paint.fill(app.sheet.selX0 + 0.5, app.sheet.selY0 + 48.5, app.sheet.selX1 + 0.5,
                   app.sheet.selY1 + 48.5);
    }
    paintRows(canvas, app, band);
    // The dark cells cover the grey texts there, which are then redrawn white.
    paintSelectionCells(paint, st, app);
    DrawOneTopWhiteLabel(canvas, app);
    paintGrid(paint, st);
}

} // namespace kestrune
