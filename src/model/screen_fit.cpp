#include "model/screen_fit.h"

#include <algorithm>

namespace kestrune {
namespace {

std::int64_t overlap(std::int64_t a0, std::int64_t a1, std::int64_t b0, std::int64_t b1) {
    return std::max<std::int64_t>(0, std::min(a1, b1) - std::max(a0, b0));
}

// How far a point lies outside the span low..high (0 inside).
std::int64_t outside(std::int64_t point, std::int64_t low, std::int64_t high) {
    return point < low ? low - point : point > high ? point - high : 0;
}

// Where a span of size length starting at start goes inside low..high.
std::int32_t fitSpan(std::int32_t start, std::int32_t length, std::int32_t low, std::int32_t high) {
    if (length >= high - low) {
        return low;
    }
    return std::clamp(start, low, high - length);
}

} // namespace

WindowPlace FitOnScreens(WindowPlace place, std::int32_t width,
                         const std::vector<ScreenArea>& screens) {
    if (screens.empty()) {
        return place;
    }
    const std::int64_t left = place.left;
    const std::int64_t top = static_cast<std::int64_t>(place.top) - kRoomAboveContent;
    const std::int64_t right = left + width;
    const std::int64_t bottom = static_cast<std::int64_t>(place.top) + place.height;
    // The screen that shows most of the window, or, when none shows any of
    // it, the one nearest to its middle.
    const ScreenArea* best = &screens.front();
    std::int64_t bestArea = 0;
    std::int64_t bestDistance = -1;
    for (const ScreenArea& s : screens) {
        const std::int64_t area = overlap(left, right, s.left, s.left + s.width) *
                                  overlap(top, bottom, s.top, s.top + s.height);
        const std::int64_t dx = outside((left + right) / 2, s.left, s.left + s.width);
        const std::int64_t dy = outside((top + bottom) / 2, s.top, s.top + s.height);
        const std::int64_t distance = dx * dx + dy * dy;
        if (area > bestArea ||
            (bestArea == 0 && area == 0 && (bestDistance < 0 || distance < bestDistance))) {
            best = &s;
            bestArea = area;
            bestDistance = distance;
        }
    }
    WindowPlace fitted = place;
    fitted.left = fitSpan(place.left, width, best->left, best->left + best->width);
    fitted.height = std::min(place.height, std::max(best->height - kRoomAboveContent, 1));
    fitted.top = fitSpan(place.top - kRoomAboveContent, fitted.height + kRoomAboveContent,
                         best->top, best->top + best->height) +
                 kRoomAboveContent;
    return fitted;
}

} // namespace kestrune
