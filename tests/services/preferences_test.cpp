#include "services/preference_window.h"
#include "services/preferences.h"

#include "application/commands.h"
#include "application/lifecycle.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>
#include <map>

namespace kestrune {
namespace {

// A store in memory that keeps values as they were given.
class MemoryStore final : public PreferenceStore {
public:
    std::optional<StoredValue> value(const std::string& key) override {
        const auto found = values.find(key);
        return found == values.end() ? std::nullopt : std::optional<StoredValue>(found->second);
    }
    void setInteger(const std::string& key, std::int32_t value) override { values[key] = value; }
    void setText(const std::string& key, const std::string& value) override { values[key] = value; }
    void sync() override { ++syncs; }

    std::map<std::string, StoredValue> values;
    int syncs = 0;
};

bool same(const WindowBounds& a, const WindowBounds& b) {
    return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

TEST(Preferences, RectanglesReadByTheirCommaRules) {
    struct Case {
        const char* text;
        WindowBounds expected;
    };
    const Case cases[] = {
        {" 44, 0, 364, 745", {44, 0, 364, 745}},
        {"10,20,30,40", {10, 20, 30, 40}},
        {"7", {7, 7, 7, 7}},                    // no comma: every field from the start
        {"10,20", {10, 20, 10, 20}},            // a missing comma starts over
        {"-5,  -6,x,70000", {-5, -6, 0, 4464}}, // no digits read 0; 16 bits kept
        {"12abc,3", {12, 3, 12, 3}},
        {"-32768,32767,65535,99999999999999999999", {-32768, 32767, -1, -1}},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(same(ReadRectangle(c.text), c.expected)) << c.text;
    }
    EXPECT_EQ(RectangleText({44, 0, 364, 745}), " 44, 0, 364, 745");
    EXPECT_EQ(RectangleText({-3, 160, 485, 505}), "-3, 160, 485, 505");
}

TEST(Preferences, AFirstLaunchKeepsTheDefaultsAndAQuitWritesThemAsTheyStand) {
    test::FakePlatform platform;
    AppState app(platform);
    MemoryStore store;
    LoadPrefs(app, store);
    SavePrefs(app, store);
    EXPECT_EQ(store.syncs, 1);
    const std::map<std::string, StoredValue> expected = {
        {"Bounds", std::string(" 44, 0, 364, 745")},
        {"PrefeBounds", std::string(" 200, 160, 485, 505")},
        {"BoundsCheck", std::int64_t{1}},
        {"SoundCheck", std::int64_t{1}},
        {"UpdateForCheck", std::int64_t{1}},
        {"TransMethodCheck", std::int64_t{1}},
    };
    EXPECT_EQ(store.values, expected);
}

TEST(Preferences, WrongKindsKeepTheirDefaultsAndIntegerTextsCount) {
    test::FakePlatform platform;
    AppState app(platform);
    MemoryStore store;
    store.values = {
        {"Bounds", std::int64_t{5}},                  // not a text: default
        {"PrefeBounds", std::string("300,400,1,1")},  // read
        {"BoundsCheck", std::string(" 0 ")},          // a text that reads as an integer
        {"SoundCheck", std::string("loud")},          // not a number: default
        {"UpdateForCheck", std::int64_t{5000000000}}, // beyond 32 bits: default
        {"TransMethodCheck", std::int64_t{2}},
    };
    LoadPrefs(app, store);
    EXPECT_TRUE(same(app.Bounds, {44, 0, 364, 745}));
    EXPECT_TRUE(same(app.PrefeBounds, {300, 400, 1, 1}));
    EXPECT_EQ(app.prefs.BoundsCheck, 0);
    EXPECT_EQ(app.prefs.SoundCheck, 1);
    EXPECT_EQ(app.prefs.UpdateForCheck, 1);
    EXPECT_EQ(app.prefs.TransMethodCheck, 2);
    // What is read is written back the same way.
    MemoryStore again;
    SavePrefs(app, again);
    LoadPrefs(app, again);
    EXPECT_EQ(std::get<std::string>(again.values["PrefeBounds"]), " 300, 400, 1, 1");
    EXPECT_EQ(std::get<std::int64_t>(again.values["BoundsCheck"]), 0);
}

// A switch that holds a value it cannot take keeps its default.
TEST(Preferences, SwitchesOutOfTheirRangeKeepTheirDefaults) {
    const struct {
        const char* key;
        std::int64_t stored;
        std::int32_t Preferences::*field;
        std::int32_t expected;
    } cases[] = {
        {"SoundCheck", -1, &Preferences::SoundCheck, 1},
        {"SoundCheck", 0, &Preferences::SoundCheck, 0},
        {"BoundsCheck", 2, &Preferences::BoundsCheck, 1},
        {"UpdateForCheck", 7, &Preferences::UpdateForCheck, 1},
        {"TransMethodCheck", 0, &Preferences::TransMethodCheck, 1},
        {"TransMethodCheck", 3, &Preferences::TransMethodCheck, 1},
        {"TransMethodCheck", 2, &Preferences::TransMethodCheck, 2},
    };
    for (const auto& c : cases) {
        test::FakePlatform platform;
        AppState app(platform);
        MemoryStore store;
        store.values = {{c.key, c.stored}};
        LoadPrefs(app, store);
        EXPECT_EQ(app.prefs.*c.field, c.expected) << c.key << "=" << c.stored;
    }
}

class PreferenceWindow : public ::testing::Test {
protected:
    PreferenceWindow() { StartUp(app); }
    const ControlView& control(std::int32_t number) const {
        for (const ControlView& c : platform.preferences.controls) {
            if (c.number == number) {
                return c;
            }
        }
        throw std::logic_error("no control " + std::to_string(number));
    }
    test::FakePlatform platform;
    AppState app{platform};
};

TEST_F(PreferenceWindow, OpensWhereItWasOnlyWhenPositionsAreKept) {
    app.PrefeBounds = {300, 400, 585, 745};
    PreferenceWnd(app);
    EXPECT_EQ(platform.preferences.title, "Kestrune Preferences");
    EXPECT_EQ(platform.preferences.width, 330);
    EXPECT_EQ(platform.preferences.height, 300);
    EXPECT_EQ(platform.preferences.left, 400);
    EXPECT_EQ(platform.preferences.top, 300);
    EXPECT_FALSE(app.menus.usable(MenuNum::kFile, 1)); // menus disabled while it is up
    PreferenceControlHit(app, PrefControl::kSavePosition, 0);
    PreferenceWndOkReturn(app);
    EXPECT_TRUE(app.menus.usable(MenuNum::kFile, 1)); // no sheet: the no-sheet menus
    PreferenceWnd(app);
    EXPECT_EQ(platform.preferences.left, 160); // the fixed place, though it was moved
    EXPECT_EQ(platform.preferences.top, 200);
    EXPECT_EQ(control(PrefControl::kSavePosition).checked, false);
    EXPECT_EQ(control(PrefControl::kSound).text, " Use Send/Copy Sound Effect");
    EXPECT_EQ(control(PrefControl::kClipboard).text, " Use Clipboard Course");
}

TEST_F(PreferenceWindow, ClicksTakeEffectAtOnceAndOkUpdatesTheSendButton) {
    NewDataSheet(app); // a cell is selected
    PreferenceWnd(app);
    PreferenceControlHit(app, PrefControl::kSound, 0);
    PreferenceControlHit(app, PrefControl::kCheckUpdates, 0);
    PreferenceControlHit(app, PrefControl::kTransmission, 2);
    EXPECT_EQ(app.prefs.SoundCheck, 0);
    EXPECT_EQ(app.prefs.UpdateForCheck, 0);
    EXPECT_EQ(app.prefs.TransMethodCheck, 2);
    EXPECT_EQ(control(PrefControl::kTransmission).value, 2);
    EXPECT_TRUE(control(PrefControl::kClipboard).checked);
    PreferenceControlHit(app, PrefControl::kTransmission, 7); // no such choice
    EXPECT_EQ(app.prefs.TransMethodCheck, 2);

    PreferenceControlHit(app, PrefControl::kOK, 0);
    EXPECT_FALSE(platform.preferencesOpen);
    EXPECT_EQ(platform.calls.back(), "raiseMainWindow");
    EXPECT_EQ(platform.toolArea.sendTitle, "Copy");
    EXPECT_TRUE(platform.toolArea.sendEnabled);
    EXPECT_FALSE(platform.toolArea.sendDefault);
    EXPECT_TRUE(app.menus.usable(MenuNum::kFile, 5)); // Save
    // Sending directly needs Tarnwell running.
    PreferenceWnd(app);
    PreferenceControlHit(app, PrefControl::kTransmission, 1);
    PreferenceWndOkReturn(app);
    EXPECT_EQ(platform.toolArea.sendTitle, "Send");
    EXPECT_FALSE(platform.toolArea.sendEnabled);
}

} // namespace
} // namespace kestrune
