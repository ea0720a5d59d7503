#include "ports/canvas.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kestrune {
namespace {

constexpr std::array<std::string_view, kFontCount> kFontNames = {
    "Lucida Grande",
    "Lucida Sans Typewriter Bold",
    "Lucida Sans Typewriter",
    "Lucida Grande Bold",
    "Geneva",
    "Arial Bold",
    "Helvetica",
    "Helvetica Bold",
};

// Advance widths in ems of the fonts that stand in for a font number.
struct GlyphWidths {
    double digit;
    double blank; // also '.' and ','
    double minus;
    double slash;
    double other;
};

GlyphWidths glyphWidthsOf(std::int32_t fontNum) {
    switch (fontNum) {
    case 2: // typewriter faces: every glyph alike
    case 3:
        return {0.602, 0.602, 0.602, 0.602, 0.602};
    case 4: // a bold sans
        return {0.696, 0.348, 0.415, 0.365, 0.74};
    case 6: // Helvetica-like faces
    case 7:
    case 8:
        return {0.556, 0.278, 0.333, 0.278, 0.65};
    default: // Lucida Grande, Geneva and unknown numbers
        return {0.636, 0.318, 0.361, 0.337, 0.68};
    }
}

// The width of a text at one size, and that of its leading blanks, which
// may stand outside a box.
struct Measured {
    double width;
    double lead;
};

Measured measure(Canvas& canvas, std::string_view text, std::size_t firstGlyph,
                 std::int32_t fontNum, double size) {
    const double lead =
        firstGlyph == 0 ? 0.0 : canvas.TextWidth(text.substr(0, firstGlyph), fontNum, size);
    return {canvas.TextWidth(text, fontNum, size), lead};
}

} // namespace

std::string_view QuartzFontName(std::int32_t QzFontNum) {
    if (QzFontNum < 1 || QzFontNum > kFontCount) {
        return {};
    }
    return kFontNames[static_cast<std::size_t>(QzFontNum - 1)];
}

DrawTarget Canvas::targetFor(std::int32_t window) const {
    if (st.DoPrint != 0) {
        return {true, 0};
    }
    return {false, window};
}

void Canvas::QuartzDrawText(std::int32_t window) {
    const TextRun run{.x = st.xx,
                      .baseline = st.yy,
                      .bytes = st.s_QuartzText.view(),
                      .fontNum = st.QzFontNum,
                      .fontName = QuartzFontName(st.QzFontNum),
                      .fontSize = st.fontSize,
                      .stretch = st.fontStretch,
                      .colour = colour()};
    drawText(targetFor(window), run);
}

void Canvas::QuartzDrawLine(std::int32_t window) {
    strokeLine(targetFor(window), st.xx, st.yy, st.xx1, st.yy1, lineWidth(), colour());
}

void Canvas::QuartzDrawRect(std::int32_t window) {
    const std::string_view mode = st.s_FrameFill.view();
    if (mode == "Frame") {
        strokeRect(targetFor(window), st.xx, st.yy, st.xx1, st.yy1, lineWidth(), colour());
    } else if (mode == "Fill") {
        fillRect(targetFor(window), st.xx, st.yy, st.xx1, st.yy1, colour());
    }
    st.s_FrameFill = "Frame";
}

void Canvas::EraseRect(double x0, double y0, double x1, double y1) {
    eraseRect(targetFor(1), x0, y0, x1, y1);
}

double Canvas::TextWidth(std::string_view bytes, std::int32_t fontNum, double fontSize) {
    if (bytes.empty()) {
        return 0.0;
    }
    TextRun run;
    run.bytes = bytes;
    run.fontNum = fontNum;
    run.fontName = QuartzFontName(fontNum);
    run.fontSize = fontSize;
    return textWidth(run);
}

double Canvas::textWidth(const TextRun& run) {
    return EstimatedTextWidth(run);
}

double EstimatedTextWidth(const TextRun& run) {
    const GlyphWidths em = glyphWidthsOf(run.fontNum);
    double width = 0.0;
    for (const char c : run.bytes) {
        if ((static_cast<unsigned char>(c) & 0xC0) == 0x80) {
            continue; // the rest of a character of several bytes
        }
        if (c >= '0' && c <= '9') {
            width += em.digit;
        } else if (c == ' ' || c == '.' || c == ',') {
            width += em.blank;
        } else if (c == '-') {
            width += em.minus;
        } else if (c == '/') {
            width += em.slash;
        } else {
            width += em.other;
        }
    }
    return width * run.fontSize;
}

TextFit FitText(Canvas& canvas, std::string_view text, std::int32_t fontNum, double fontSize,
                double x, TextBox box) {
    const TextFit asPlaced{x, fontSize, 1.0};
    const std::size_t firstGlyph = text.find_first_not_of(' ');
    if (firstGlyph == std::string_view::npos || !(box.left < box.right)) {
        return asPlaced;
    }
    const Measured natural = measure(canvas, text, firstGlyph, fontNum, fontSize);
    if (x + natural.lead >= box.left && x + natural.width <= box.right) {
        return asPlaced;
    }
    // The right end stays put, so the values of a column keep lining up.
    double end = std::min(x + natural.width, box.right);
    if (end <= box.left) {
        end = box.right;
    }
    const double room = end - box.left;
    // Widths grow about in proportion to the size: start one pixel above the
    // size that would just do with the least condensing, and step down.
    const double ink = natural.width - natural.lead;
    const double guess = std::floor(fontSize * room / (ink * kMinFitStretch)) + 1.0;
    double size = std::min(fontSize, std::max(kMinFitFontSize, guess));
    for (;;) {
        const Measured m = measure(canvas, text, firstGlyph, fontNum, size);
        const double glyphs = m.width - m.lead;
        const double stretch = glyphs > 0.0 ? std::min(1.0, room / glyphs) : 1.0;
        if (stretch >= kMinFitStretch || size <= kMinFitFontSize) {
            return {end - m.width * stretch, size, stretch};
        }
        size = std::max(kMinFitFontSize, std::ceil(size) - 1.0);
    }
}

} // namespace kestrune
