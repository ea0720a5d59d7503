// Numbers too long for their cell are narrowed, never cut: every character is
// drawn, inside the cell, and whatever fits stays exactly where it was.

#include "model/app_state.h"
#include "ports/canvas.h"
#include "sheet/cell_text.h"
#include "sheet/sheet_labels.h"
#include "support/fake_platform.h"
#include "support/recording_canvas.h"

#include <gtest/gtest.h>

#include <string>

using namespace kestrune;
using kestrune::test::DrawCall;
using kestrune::test::RecordingCanvas;

namespace {

constexpr double kEpsilon = 1e-9;
constexpr std::int32_t kCellFontNum = 5;

struct FitCase {
    const char* what;
    std::string text;
    double x;
    TextBox box;
    bool asPlaced;
    double size; // expected size; 0 for "smaller than 12"
};

TEST(FitText, KeepsWhatFitsAndNarrowsTheRestIntoTheBox) {
    const std::string sixty(60, '8');
    const FitCase cases[] = {
        {"fits", " 12.3", 297, {282, 335}, true, 12},
        {"only its leading blank outside", " 5.0", 279, {282, 335}, true, 12},
        {"blank text", "   ", -50, {282, 335}, true, 12},
        {"runs out on the left", " 123456.8", 265, {282, 335}, false, 12},
        {"runs out on the right", " 1234.50", 566, {562, 615}, false, 12},
        {"needs a smaller size", " 123456789012.5", 250, {282, 335}, false, 0},
        {"cannot fit even at the smallest size", sixty, 282, {282, 335}, false, 6},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingCanvas canvas;
        const TextFit fit = FitText(canvas, c.text, kCellFontNum, 12.0, c.x, c.box);
        if (c.asPlaced) {
            EXPECT_EQ(fit, (TextFit{c.x, 12.0, 1.0}));
            continue;
        }
        if (c.size > 0) {
            EXPECT_EQ(fit.fontSize, c.size);
        } else {
            // Condensed as far as it goes before the next size down.
            EXPECT_LT(fit.fontSize, 12.0);
            EXPECT_GE(fit.stretch, kMinFitStretch);
            const double oneUp =
                canvas.TextWidth(c.text.substr(1), kCellFontNum, fit.fontSize + 1.0);
            EXPECT_LT((c.box.right - c.box.left) / oneUp, kMinFitStretch);
        }
        EXPECT_EQ(fit.fontSize, static_cast<int>(fit.fontSize)); // whole pixels
        EXPECT_LE(fit.stretch, 1.0);

        // The glyphs end where they did, pulled into the box; once narrowed
        // they reach back to the box's left side.
        DrawCall drawn;
        drawn.text = c.text;
        drawn.x0 = fit.x;
        drawn.fontNum = kCellFontNum;
        drawn.fontSize = fit.fontSize;
        drawn.stretch = fit.stretch;
        const auto [left, right] = canvas.glyphSpan(drawn);
        const double oldEnd = c.x + canvas.TextWidth(c.text, kCellFontNum, 12.0);
        EXPECT_NEAR(right, std::min(oldEnd, c.box.right), kEpsilon);
        if (fit.stretch < 1.0) {
            EXPECT_NEAR(left, c.box.left, kEpsilon);
        } else {
            EXPECT_GE(left, c.box.left);
        }
    }
}

class LongNumbers : public testing::Test {
protected:
    LongNumbers() {
        canvas.st.ySft = 48;
        app.table.fNum = 1'000'000;
        app.table.ensureRows(app.table.fNum + 1);
    }

    void fillRow(std::int32_t row, double value) {
        app.table.Manufacturer.set(row, "Fjord Acoustics");
        for (const Param p : kAllParams) {
            app.table.setValue(p, row, value);
        }
    }

    // Every number of the recorded calls lies inside its cell, whole.
    void expectEveryNumberInItsCell(std::int32_t row) {
        const std::vector<DrawCall> texts = canvas.texts();
        ASSERT_EQ(texts.size(), 11u);
        const auto check = [&](const DrawCall& drawn, TextBox box, const Str255& natural) {
            SCOPED_TRACE(testing::PrintToString(drawn));
            EXPECT_EQ(drawn.text, natural.str());
            const auto [left, right] = canvas.glyphSpan(drawn);
            EXPECT_GE(left, box.left - kEpsilon);
            EXPECT_LE(right, box.right + kEpsilon);
            EXPECT_GE(drawn.fontSize, kMinFitFontSize);
        };
        check(texts[0], RowNumberBox(), RowNumberText(row).text);
        for (std::size_t i = 0; i < kAllParams.size(); ++i) {
            const Param p = kAllParams[i];
            check(texts[3 + i], ValueBox(p), ValueText(p, app.table.value(p, row)).text);
        }
    }

    kestrune::test::FakePlatform platform;
    AppState app{platform};
    RecordingCanvas canvas;
};

TEST_F(LongNumbers, RowNumbersAndValuesStayInsideTheirCells) {
    for (const std::int32_t row : {1, 999, 1000, 10'000, 99'986, 100'000, 999'999, 1'000'000}) {
        for (const double value : {0.0, 1234.56, 10'000.5, 99'999.99, 123'456.78, -98'765.4}) {
            SCOPED_TRACE(testing::Message() << "row " << row << " value " << value);
            fillRow(row, value);
            canvas.calls.clear();
            DrawLongCell(canvas, app.table, 0.122, 1, row, 0);
            expectEveryNumberInItsCell(row);
            // The names that follow are not narrowed.
            EXPECT_EQ(canvas.st.fontStretch, 1.0);
            EXPECT_EQ(canvas.st.fontSize, 12.0);
        }
    }
}

TEST_F(LongNumbers, TheWhiteNumberOfTheSelectedRowCoversTheGreyOne) {
    fillRow(999'995, 1.0);
    app.sel.cellH = 0;
    app.sel.cellV = 999'995;
    app.sel.cellVscroll = 999'995;
    app.sel.ScrollValue = 999'990;
    DrawLongCell(canvas, app.table, 0.122, 5, 999'995, 0);
    const DrawCall grey = canvas.texts().front();
    canvas.calls.clear();
    DrawOneTopWhiteLabel(canvas, app);
    const DrawCall white = canvas.texts().back();
    EXPECT_EQ(white.text, grey.text);
    EXPECT_EQ(white.x0, grey.x0);
    EXPECT_EQ(white.fontSize, grey.fontSize);
    EXPECT_EQ(white.stretch, grey.stretch);
    EXPECT_LT(white.stretch, 1.0);
}

TEST(DrawRowCounter, CentresTheCountAndNarrowsItWhenItIsTooLong) {
    RecordingCanvas canvas;
    canvas.st.xSft = 54; // left over from a printed page
    DrawRowCounter(canvas, "12/345");
    ASSERT_EQ(canvas.calls.size(), 1u);
    const DrawCall shortCount = canvas.calls.front();
    const double width = canvas.TextWidth("12/345", kControlFont, kControlFontSize);
    EXPECT_EQ(shortCount.x0, (kRowCounterWidth - width) / 2.0);
    EXPECT_EQ(shortCount.y0, 12.0);
    EXPECT_EQ(shortCount.fontNum, kControlFont);
    EXPECT_EQ(shortCount.fontSize, kControlFontSize);
    EXPECT_EQ(shortCount.stretch, 1.0);
    EXPECT_EQ(shortCount.colour, (Colour{0, 0, 0}));

    for (const char* count : {"201/100000", "1000000/1000000"}) {
        canvas.calls.clear();
        DrawRowCounter(canvas, count);
        const DrawCall drawn = canvas.calls.front();
        EXPECT_EQ(drawn.text, count);
        const auto [left, right] = canvas.glyphSpan(drawn);
        EXPECT_NEAR(left, 2.0, kEpsilon) << count;
        EXPECT_NEAR(right, kRowCounterWidth - 2.0, kEpsilon) << count;
        EXPECT_GE(drawn.fontSize, 8.0) << count; // still readable
    }
}

} // namespace
