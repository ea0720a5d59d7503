#include "services/tarnwell_link.h"

#include "application/commands.h"
#include "application/lifecycle.h"
#include "exchange/model_text.h"
#include "sheet/sheet_redraw.h"
#include "support/sheet_session.h"

#include <gtest/gtest.h>

namespace kestrune {
namespace {

class TarnwellLink : public test::SheetSession {
protected:
    TarnwellLink() {
        platform.resources = {"Click.aif"};
        const std::string path = dir.file("a.kedata");
        test::writeFile(path, "Acme,PX-1, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\r"
                              "Caf\x8E,B-2, 10, 30, 5, 0.5, 80, 3, 24, 12\r");
        handOver({path});
        platform.sentEvents.clear();
    }
    void status(std::string_view text) { DoAppleEvent(app, "kqKS", "TEXT", text); }
    std::string sendText(std::int32_t row) const { return SendText(app.table, row).str(); }
};

TEST(TarnwellStartUp, AsksOnceWhetherTarnwellRuns) {
    test::FakePlatform platform;
    AppState app(platform);
    StartUp(app);
    EXPECT_EQ(platform.sentEvents,
              std::vector<std::string>{"Tarnwell|TwKS|TEXT|Are you Launched Tarnwell"});
}

TEST_F(TarnwellLink, StatusTextsSetTheFlagsAndTheSendButtonAtOnce) {
    struct Step {
        const char* cls;
        const char* text;
        int launched;
        int busy;
        bool sendEnabled;
    };
    const Step steps[] = {
        {"kqKS", "Now I Opend", 1, 0, true},
        {"kqKS", "Now I am busy", 1, 1, false},
        {"kqKS", "Now I am bus", 1, 1, false},  // not a status: ignored
        {"TwKS", "Now I am free", 1, 1, false}, // another class: ignored
        {"kqKS", "Now I am free", 1, 0, true},
        {"kqKS", "Now I Closed", 0, 0, false}, // direct sending needs Tarnwell
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(std::string(s.cls) + " " + s.text);
        DoAppleEvent(app, s.cls, "TEXT", s.text);
        EXPECT_EQ(app.link.TarnLaunchFlag, s.launched);
        EXPECT_EQ(app.link.TarnBusyFlag, s.busy);
        EXPECT_EQ(platform.toolArea.sendEnabled, s.sendEnabled);
        EXPECT_TRUE(platform.toolArea.sendDefault); // a whole row is selected
    }
    // With the clipboard method the button does not wait for Tarnwell.
    app.prefs.TransMethodCheck = 2;
    DrawSheet(app);
    EXPECT_TRUE(platform.toolArea.sendEnabled);
    EXPECT_EQ(platform.toolArea.sendTitle, "Copy");
}

TEST_F(TarnwellLink, TheSendCommandByMethodAndState) {
    struct Case {
        const char* what;
        int method;
        int launched;
        int busy;
        int sound;
        bool sends;
        bool copies;
        int launches;
        bool clicks;
    };
    const Case cases[] = {
        {"direct, running", 1, 1, 0, 1, true, false, 2, true},
        {"direct, quiet", 1, 1, 0, 0, true, false, 2, false},
        {"direct, not running", 1, 0, 0, 1, false, false, 0, false},
        {"direct, busy", 1, 1, 1, 1, false, false, 0, false},
        {"clipboard, not running", 2, 0, 0, 1, false, true, 0, true},
        {"clipboard, running", 2, 1, 0, 1, false, true, 1, true},
        {"clipboard, busy", 2, 1, 1, 1, false, false, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        app.prefs.TransMethodCheck = c.method;
        app.prefs.SoundCheck = c.sound;
        app.link.TarnLaunchFlag = static_cast<std::int8_t>(c.launched);
        app.link.TarnBusyFlag = static_cast<std::int8_t>(c.busy);
        platform.sentEvents.clear();
        platform.launched.clear();
        platform.sounds.clear();
        platform.clipboard.reset();
        SheetMouseDown(app, 300, 85 + 16, 1); // a cell of row 2 is selected
        SendButtonCommand(app);
        EXPECT_EQ(platform.sentEvents.size(), c.sends ? 1u : 0u);
        if (c.sends) {
            // Tarnwell gets Mac OS Roman bytes; the clipboard, the text itself.
            EXPECT_EQ(platform.sentEvents[0],
                      "Tarnwell|TwKS|TEXT|DUMMY&  Caf\x8E" + sendText(2).substr(13));
        }
        EXPECT_EQ(platform.clipboard.has_value(), c.copies);
        if (c.copies) {
            EXPECT_EQ(*platform.clipboard, sendText(2));
        }
        EXPECT_EQ(static_cast<int>(platform.launched.size()), c.launches);
        EXPECT_EQ(platform.sounds.size(), c.clicks ? 1u : 0u);
        EXPECT_EQ(app.sel.cellV, 2); // the selection is as it was
        EXPECT_EQ(app.sel.cellH, 3);
    }
}

TEST_F(TarnwellLink, ADocumentHandedOverWhileTheClickPlaysWaitsForItsEnd) {
    app.prefs.TransMethodCheck = 2;
    const std::string other = dir.file("other.kedata");
    test::writeFile(other, "Other,O-1, 1, 2, 3, 4, 5, 6, 7, 8\r");
    platform.whilePlaying = [&] { handOver({other}); };
    SendButtonCommand(app);
    platform.whilePlaying = nullptr;
    EXPECT_EQ(app.table.Manufacturer.get(1), "Acme"); // not inside the sound
    platform.fireTimers();
    EXPECT_EQ(app.table.Manufacturer.get(1), "Other");
}

TEST_F(TarnwellLink, TheSendTextIsTheRowsModelTextBehindAPrefix) {
    EXPECT_EQ(sendText(1).rfind("DUMMY&  Acme  PX-1  ", 0), 0u);
    EXPECT_EQ(sendText(1).substr(sendText(1).size() - 3), "  \r");
    EXPECT_EQ(sendText(2).rfind("DUMMY&  Caf\u00E9  B-2  ", 0), 0u);
}

// A name beyond Mac OS Roman reaches Tarnwell as its nearest letters, and
// the tool area says so while its row stays selected; one that fits goes
// byte for byte and says nothing.
TEST_F(TarnwellLink, NamesBeyondMacRomanAreSentAsTheirBaseLetters) {
    app.table.Manufacturer.set(1, "\u0141\u00F3d\u017A K\u014Dbe");
    app.table.ModelName.set(1, "\u010Capek \u30C6\u00DF");
    status("Now I Opend");
    SheetMouseDown(app, 10, 85, 1); // row 1, whole
    platform.sentEvents.clear();
    SendButtonCommand(app);
    ASSERT_EQ(platform.sentEvents.size(), 1u);
    EXPECT_EQ(platform.sentEvents[0].rfind("Tarnwell|TwKS|TEXT|DUMMY&  L\x97"
                                           "dz Kobe  Capek ?\xA7  ",
                                           0),
              0u);
    EXPECT_EQ(platform.toolArea.notice,
              "Sent to Tarnwell as \u201CL\u00F3dz Kobe\u201D, \u201CCapek ?\u00DF\u201D");
    SheetMouseDown(app, 10, 85 + 16, 1); // row 2: Caf\u00E9 fits
    EXPECT_EQ(platform.toolArea.notice, "");
    platform.sentEvents.clear();
    SendButtonCommand(app);
    EXPECT_EQ(platform.sentEvents[0].rfind("Tarnwell|TwKS|TEXT|DUMMY&  Caf\x8E  B-2", 0), 0u);
    EXPECT_EQ(platform.toolArea.notice, "");
}

} // namespace
} // namespace kestrune
