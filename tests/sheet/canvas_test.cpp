#include "ports/canvas.h"
#include "support/recording_canvas.h"

#include <gtest/gtest.h>

using namespace kestrune;
using kestrune::test::DrawCall;
using kestrune::test::RecordingCanvas;

namespace {

void drawRect(RecordingCanvas& canvas, const char* mode) {
    canvas.st.xx = 1.5;
    canvas.st.yy = 2.5;
    canvas.st.xx1 = 30.5;
    canvas.st.yy1 = 40.5;
    canvas.st.s_FrameFill = mode;
    canvas.QuartzDrawRect(1);
}

TEST(QuartzDrawRect, OutlinesOrFillsByModeAndAlwaysResetsToFrame) {
    RecordingCanvas canvas;
    drawRect(canvas, "Fill");
    EXPECT_EQ(canvas.st.s_FrameFill.str(), "Frame");
    canvas.QuartzDrawRect(1); // the mode did not stick
    for (const char* other : {"fill", "FRAME", "", "Fill "}) {
        drawRect(canvas, other);
        EXPECT_EQ(canvas.st.s_FrameFill.str(), "Frame") << other;
    }
    ASSERT_EQ(canvas.calls.size(), 2u); // other modes draw nothing
    EXPECT_EQ(canvas.calls[0].kind, DrawCall::Kind::FillRect);
    EXPECT_EQ(canvas.calls[1].kind, DrawCall::Kind::FrameRect);
    EXPECT_EQ(canvas.calls[1].y1, 40.5);
}

TEST(Canvas, LineWidthOfZeroOrLessIsOnePixel) {
    RecordingCanvas canvas;
    for (const double w : {0.0, -2.0, 2.5}) {
        canvas.st.LineW = w;
        canvas.QuartzDrawLine(1);
        drawRect(canvas, "Frame");
    }
    std::vector<double> widths;
    for (const DrawCall& c : canvas.calls) {
        widths.push_back(c.lineWidth);
    }
    EXPECT_EQ(widths, (std::vector<double>{1, 1, 1, 1, 2.5, 2.5}));
}

TEST(Canvas, PrintingSendsEveryPrimitiveToThePageWhateverTheWindow) {
    RecordingCanvas canvas;
    canvas.QuartzDrawText(2);
    canvas.st.DoPrint = 1;
    canvas.QuartzDrawText(2);
    canvas.QuartzDrawLine(1);
    drawRect(canvas, "Fill");
    canvas.EraseRect(0, 0, 1, 1);
    ASSERT_EQ(canvas.calls.size(), 5u);
    EXPECT_EQ(canvas.calls[0].target, (DrawTarget{false, 2}));
    for (std::size_t i = 1; i < 5; ++i) {
        EXPECT_EQ(canvas.calls[i].target, (DrawTarget{true, 0})) << i;
    }
}

TEST(Canvas, TextCarriesItsFontByNameAndItsBytesUntouched) {
    RecordingCanvas canvas;
    canvas.st.QzFontNum = 8;
    canvas.st.s_QuartzText = "Caf\x8E"; // Mac OS Roman
    canvas.QuartzDrawText(1);
    canvas.st.QzFontNum = 9; // beyond the table: no name
    canvas.QuartzDrawText(1);
    EXPECT_EQ(canvas.calls[0].fontName, "Helvetica Bold");
    EXPECT_EQ(canvas.calls[0].text, "Caf\x8E");
    EXPECT_EQ(canvas.calls[1].fontName, "");
    EXPECT_EQ(QuartzFontName(5), "Geneva");
}

} // namespace
