#include "sheet/canvas.h"

#include <array>

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

} // namespace kestrune
