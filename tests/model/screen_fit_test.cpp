#include "model/screen_fit.h"

#include <gtest/gtest.h>

using namespace kestrune;

namespace {

// One screen of 1280 x 1024 with a 30-pixel panel at the top, and a second
// of 1920 x 1080 to its right.
const std::vector<ScreenArea> kScreens = {{0, 30, 1280, 994}, {1280, 0, 1920, 1080}};

TEST(ScreenFit, WindowsOpenFullyOnAScreen) {
    const struct {
        const char* what;
        WindowPlace place;
        std::vector<ScreenArea> screens;
        WindowPlace fitted;
    } cases[] = {
        {"inside stays", {100, 200, 320}, kScreens, {100, 200, 320}},
        {"no screens known", {-32768, 32767, 320}, {}, {-32768, 32767, 320}},
        {"far left and up", {-32768, -32768, 320}, kScreens, {0, 78, 320}},
        {"far right and down", {32767, 32767, 320}, kScreens, {2455, 760, 320}},
        {"more on the second screen than the first", {1000, 200, 320}, kScreens, {1280, 200, 320}},
        {"half off the first screen's left edge", {-300, 200, 320}, kScreens, {0, 200, 320}},
        {"mostly on the second screen", {1400, 500, 400}, kScreens, {1400, 500, 400}},
        {"over the second screen's bottom", {1400, 900, 400}, kScreens, {1400, 680, 400}},
        {"taller than the screen", {10, 100, 5000}, kScreens, {10, 78, 946}},
        {"under the panel", {10, 40, 320}, kScreens, {10, 78, 320}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FitOnScreens(c.place, 745, c.screens), c.fitted) << c.what;
    }
}

} // namespace
