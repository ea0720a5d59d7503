#pragma once
// The three drawing primitives of the sheet and the printed page, and the
// drawing state they read. Callers set the state, then call a primitive; the
// rules that do not depend on the device (which target, which rectangle mode,
// the default line width, how a text too long for its box is narrowed) are
// decided here; the device only paints, and measures texts.

#include "runtime/str255.h"

#include <cstdint>
#include <string_view>

namespace kestrune {

// Fonts by number, as the drawing calls name them.
constexpr std::int32_t kFontCount = 8;
// The font of a font number 1 to 8; empty for any other number.
std::string_view QuartzFontName(std::int32_t QzFontNum);

// The state every primitive reads. Positions are content-area pixels, origin
// top-left, y downwards; text positions are the left end of the baseline.
struct DrawState {
    double xx = 0.0; // line start, rectangle top-left, text baseline start
    double yy = 0.0;
    double xx1 = 0.0; // line end, rectangle bottom-right
    double yy1 = 0.0;
    double RedCol = 0.0; // stroke, fill and text colour, 0..1, always opaque
    double GrnCol = 0.0;
    double BleCol = 0.0;
    double LineW = 0.0; // 0 or less draws one pixel wide
    double fontSize = 12.0;
    double fontStretch = 1.0; // horizontal scale of texts; below 1 draws them condensed
    std::int32_t QzFontNum = 1;
    Str255 s_QuartzText;         // UTF-8
    Str255 s_FrameFill{"Frame"}; // "Frame" outlines, "Fill" fills, anything else draws nothing
    std::int8_t DoPrint = 0;     // draw into the page being printed instead of a window
    std::int32_t xSft = 0;       // offsets the sheet's text routines add to their positions
    std::int32_t ySft = 0;

    void setColour(double red, double green, double blue) {
        RedCol = red;
        GrnCol = green;
        BleCol = blue;
    }
    void setGrey(double level) { setColour(level, level, level); }
};

struct Colour {
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

// Where a primitive lands: window `window`, or the page being printed (then
// window is 0).
struct DrawTarget {
    bool printPage = false;
    std::int32_t window = 1;
    friend bool operator==(const DrawTarget&, const DrawTarget&) = default;
};

struct TextRun {
    double x = 0.0;
    double baseline = 0.0;
    std::string_view bytes; // UTF-8, drawn with no extra spacing, never clipped
    std::int32_t fontNum = 1;
    std::string_view fontName;
    double fontSize = 12.0;
    double stretch = 1.0; // widths scaled by this about x, heights kept
    Colour colour;
};

// The x range a text's glyphs may cover, in the coordinates of its x.
struct TextBox {
    double left = 0.0;
    double right = 0.0;
};

// Where and how large a text is drawn.
struct TextFit {
    double x = 0.0;
    double fontSize = 12.0;
    double stretch = 1.0;
    friend bool operator==(const TextFit&, const TextFit&) = default;
};

// Texts that must be narrowed are condensed down to this scale before a
// smaller size is used, and never made smaller than kMinFitFontSize.
constexpr double kMinFitStretch = 0.65;
constexpr double kMinFitFontSize = 6.0;

class Canvas {
public:
    virtual ~Canvas() = default;

    DrawState st;

    // s_QuartzText at (xx, yy) in font QzFontNum at fontSize, current colour.
    void QuartzDrawText(std::int32_t window);
    // A solid line from (xx, yy) to (xx1, yy1).
    void QuartzDrawLine(std::int32_t window);
    // Outlines or fills (xx, yy)-(xx1, yy1) by s_FrameFill, which is "Frame"
    // again afterwards whatever it held.
    void QuartzDrawRect(std::int32_t window);
    // Paints the rectangle in the background colour of window 1 (white).
    void EraseRect(double x0, double y0, double x1, double y1);

    // The advance width of bytes in font fontNum at fontSize, not stretched.
    double TextWidth(std::string_view bytes, std::int32_t fontNum, double fontSize);

protected:
    // Measures run.bytes as the device would draw them. The default
    // estimates from the typical widths of the stand-in fonts, for devices
    // that cannot measure.
    virtual double textWidth(const TextRun& run);

    virtual void drawText(const DrawTarget& target, const TextRun& run) = 0;
    virtual void strokeLine(const DrawTarget& target, double x0, double y0, double x1, double y1,
                            double width, Colour colour) = 0;
    virtual void strokeRect(const DrawTarget& target, double x0, double y0, double x1, double y1,
                            double width, Colour colour) = 0;
    virtual void fillRect(const DrawTarget& target, double x0, double y0, double x1, double y1,
                          Colour colour) = 0;
    virtual void eraseRect(const DrawTarget& target, double x0, double y0, double x1,
                           double y1) = 0;

private:
    DrawTarget targetFor(std::int32_t window) const;
    Colour colour() const { return {st.RedCol, st.GrnCol, st.BleCol}; }
    double lineWidth() const { return st.LineW > 0.0 ? st.LineW : 1.0; }
};

// An estimate of run's advance width, by character class per font.
double EstimatedTextWidth(const TextRun& run);

// How text, drawn at x in fontNum at fontSize, stays readable inside box.
// A text whose glyphs (its leading blanks aside) already lie in the box is
// drawn as placed. Any other keeps its right end where it was, pulled into
// the box, and is condensed, then made smaller in whole pixels, until its
// glyphs span exactly from box.left to that end; no character is left out.
TextFit FitText(Canvas& canvas, std::string_view text, std::int32_t fontNum, double fontSize,
                double x, TextBox box);

} // namespace kestrune
