#include "services/update_check.h"

#include "application/commands.h"
#include "model/menu_model.h"
#include "model/menu_states.h"
#include "services/build_info.h"
#include "support/sheet_session.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

namespace kestrune {
namespace {

using test::Session;
namespace U = UpdateControl;

TEST(UpdateVersionNumbers, VersionsCompareNumberByNumber) {
    // Each is later than every one before it.
    const char* const ordered[] = {"0.1.0-beta",
                                   "0.1.0",
                                   "0.2",
                                   "1.0",
                                   "1.2-beta",
                                   "1.2",
                                   "1.2.3",
                                   "1.9",
                                   "1.10",
                                   "2.0\r\n",
                                   "99999999999999999999999999.9"};
    for (std::size_t i = 0; i < std::size(ordered); ++i) {
        for (std::size_t j = 0; j < std::size(ordered); ++j) {
            EXPECT_EQ(IsNewerVersion(ordered[i], ordered[j]), i > j)
                << '"' << ordered[i] << "\" after \"" << ordered[j] << '"';
        }
    }
    struct Case {
        const char* available;
        const char* running;
        bool newer;
    };
    const Case cases[] = {
        {"0.2.0", "0.2", false}, {"  \t1.5\n", "1.4", true}, {"Version 1.3", "0.1.0", false},
        {"", "0.1.0", false},    {"-1.2", "0.1.0", false},   {"1.2.", "1.2", false},
        {"1..2", "1.1", false},  {"1.0", "", true},          {"3.1 beta", "3.0", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsNewerVersion(c.available, c.running), c.newer)
            << '"' << c.available << "\" after \"" << c.running << '"';
    }
}

TEST(UpdateAddresses, HttpsAnywhereAndPlainHttpOnlyOnThisMachine) {
    EXPECT_TRUE(UpdateAddressAllowed("https", "updates.example"));
    for (const char* host : {"127.0.0.1", "::1", "[::1]", "localhost"}) {
        EXPECT_TRUE(UpdateAddressAllowed("http", host)) << host;
    }
    EXPECT_FALSE(UpdateAddressAllowed("http", "updates.example"));
    EXPECT_FALSE(UpdateAddressAllowed("http", "127.0.0.2"));
    EXPECT_FALSE(UpdateAddressAllowed("http", "localhost.example"));
    EXPECT_FALSE(UpdateAddressAllowed("ftp", "127.0.0.1"));
    EXPECT_FALSE(UpdateAddressAllowed("https", ""));

    EXPECT_EQ(UpdateServerUrl("https://a.example", checkVerURL),
              "https://a.example/versions/Kestrune_version.txt");
    EXPECT_EQ(UpdateServerUrl("http://127.0.0.1:8000/mirror//", downloadURL),
              "http://127.0.0.1:8000/mirror/downloads/apps/Kestrune.zip");

    EXPECT_EQ(DownloadNameCandidate("Kestrune.zip", 0), "Kestrune.zip");
    EXPECT_EQ(DownloadNameCandidate("Kestrune.zip", 2), "Kestrune-2.zip");
    EXPECT_EQ(DownloadNameCandidate("README", 1), "README-1");
    EXPECT_EQ(DownloadNameCandidate(".hidden", 1), ".hidden-1");
}

// The program after launch with an update server set; the launch check of
// StartUp is not wanted unless a test asks for it.
class UpdateCheck : public ::testing::Test {
protected:
    UpdateCheck() {
        app().prefs.UpdateForCheck = 0;
        app().update.server = "https://updates.example";
        platform().downloadsPath = s.dir.path().string();
    }
    // A file in the Downloads folder; its path.
    std::string put(const std::string& name, const std::string& bytes) {
        std::ofstream(s.dir.file(name), std::ios::binary) << bytes;
        return s.dir.file(name);
    }
    AppState& app() { return s.app; }
    test::FakePlatform& platform() { return s.platform; }

    void answer(bool ok, const std::string& body, std::size_t which = 0) {
        ASSERT_GT(platform().fetches.size(), which);
        platform().fetches[which].done(ok, body);
    }
    void checkFromMenu() { DispatchMenuCommand(app(), MenuNum::kApplication, 2); }
    const ControlView* shown(std::int32_t number) {
        for (const ControlView& c : platform().updateView.controls) {
            if (c.number == number) {
                return &c;
            }
        }
        return nullptr;
    }
    std::string text(std::int32_t number) {
        const ControlView* c = shown(number);
        return c == nullptr ? "(none)" : c->text;
    }
    std::string buttons() {
        std::string all;
        for (const ControlView& c : platform().updateView.controls) {
            if (c.kind == ControlKind::PushButton || c.kind == ControlKind::DefaultButton) {
                all += std::to_string(c.number) +
                       (c.kind == ControlKind::DefaultButton ? "*" : "") + (c.enabled ? "" : "-") +
                       " ";
            }
        }
        return all;
    }
    bool menusUsable() { return app().menus.usable(MenuNum::kApplication, 2); }
    std::size_t windowsOpened() {
        const std::vector<std::string>& calls = platform().calls;
        return static_cast<std::size_t>(std::count(calls.begin(), calls.end(), "openUpdateWindow"));
    }
    // The menu check is past its second with no answer yet: the window says
    // it is waiting, with a busy bar, and offers only OK.
    void expectWaiting() {
        ASSERT_TRUE(platform().updateOpen);
        EXPECT_EQ(platform().updateView.title, "Kestrune Check for Update");
        EXPECT_EQ(text(U::kHeadline), "Checking for a newer version\u2026");
        EXPECT_EQ(text(U::kDetail), "(none)");
        ASSERT_NE(shown(U::kProgress), nullptr);
        EXPECT_EQ(shown(U::kProgress)->value, -1);
        EXPECT_NE(shown(U::kCheckOnLaunch), nullptr);
        EXPECT_EQ(buttons(), "95* ");
        EXPECT_FALSE(menusUsable());
    }

    Session s;
};

class UpdateAtLaunch : public UpdateCheck {
protected:
    UpdateAtLaunch() { app().prefs.UpdateForCheck = 1; }
};

TEST_F(UpdateAtLaunch, AWindowOnlyForANewerVersionKnownWithinTheSecond) {
    struct Case {
        const char* name;
        bool ok;
        const char* body;
        bool lateAnswer;
        bool window;
    };
    const Case cases[] = {
        {"newer in time", true, "9.9.9\n", false, true},
        {"the same version", true, BuildInfo::kBundleVersion, false, false},
        {"a text without a number", true, "Version 99", false, false},
        {"a failed request", false, "", false, false},
        {"newer but late", true, "9.9.9", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app().update = UpdateState{};
        app().update.server = "https://updates.example";
        platform().fetches.clear();
        platform().updateOpen = false;
        SetMenuState(app(), MenuState::InitMenu1);
        CheckForVersionAtLaunch(app());
        ASSERT_EQ(platform().fetches.size(), 1U);
        EXPECT_EQ(platform().fetches[0].url,
                  "https://updates.example/versions/Kestrune_version.txt");
        EXPECT_EQ(platform().fetches[0].maxBytes, 255U);
        if (!c.lateAnswer) {
            answer(c.ok, c.body);
        }
        platform().fireTimers();
        if (c.lateAnswer) {
            answer(c.ok, c.body); // a second too late: not looked at
            platform().fireTimers();
        }
        EXPECT_EQ(app().update.CheckForUpFlag, 1);
        EXPECT_EQ(platform().updateOpen, c.window);
        EXPECT_EQ(menusUsable(), !c.window);
        EXPECT_EQ(app().flags.DialogsUp, c.window ? 1 : 0);
        // It runs once a run.
        CheckForVersionAtLaunch(app());
        EXPECT_EQ(platform().fetches.size(), 1U);
        UpdateControlHit(app(), U::kDontDownload, 0);
        EXPECT_EQ(app().flags.DialogsUp, 0);
    }
}

TEST_F(UpdateCheck, NoLaunchCheckWhenThePreferencesSayNo) {
    CheckForVersionAtLaunch(app());
    EXPECT_TRUE(platform().fetches.empty());
}

TEST_F(UpdateCheck, FromTheMenuTheWindowTellsTheTrueOutcome) {
    struct Case {
        const char* name;
        bool internet;
        bool ok;
        const char* body;
        bool afterTheSecond;
        const char* headline;
        std::int32_t color;
        std::string detail;
        const char* buttons;
    };
    const std::string current = std::string("Current Version : ") + BuildInfo::kBundleVersion;
    const Case cases[] = {
        {"newer", true, true, "9.9.9\n", false, "Newer Version is Available.", 0x00AA00,
         "Newer Version : 9.9.9", "96* 97 "},
        {"the same", true, true, BuildInfo::kBundleVersion, false, "This Version is Currently.",
         0x0000FF, current, "95* "},
        {"older", true, true, "0.0.1", false, "This Version is Currently.", 0x0000FF, current,
         "95* "},
        {"no number", true, true, "Version 1.3", false, "This Version is Currently.", 0x0000FF,
         current, "95* "},
        {"failed", true, false, "", false, "Network Connection Failed.", 0x0000FF,
         "Please confirm the network connection.", "95* "},
        {"newer, network reported down", false, true, "9.9.9", false, "Network Connection Failed.",
         0x0000FF, "Please confirm the network connection.", "96* 97 "},
        {"newer after the second", true, true, "9.9.9", true, "Newer Version is Available.",
         0x00AA00, "Newer Version : 9.9.9", "96* 97 "},
        {"failed after the second", true, false, "", true, "Network Connection Failed.", 0x0000FF,
         "Please confirm the network connection.", "95* "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform().fetches.clear();
        platform().calls.clear();
        platform().internetUp = c.internet;
        checkFromMenu();
        EXPECT_FALSE(menusUsable());
        ASSERT_EQ(platform().fetches.size(), 1U);
        if (c.afterTheSecond) {
            platform().fireTimers();
            expectWaiting();
            answer(c.ok, c.body);
        } else {
            answer(c.ok, c.body);
            EXPECT_FALSE(platform().updateOpen) << "shown before its second";
            platform().fireTimers();
        }
        ASSERT_TRUE(platform().updateOpen);
        EXPECT_EQ(platform().updateView.title, "Kestrune Check for Update");
        EXPECT_EQ(text(U::kHeadline), c.headline);
        EXPECT_EQ(shown(U::kHeadline)->color, c.color);
        EXPECT_EQ(text(U::kDetail), c.detail);
        EXPECT_EQ(shown(U::kProgress), nullptr);
        EXPECT_EQ(buttons(), c.buttons);
        EXPECT_EQ(windowsOpened(), 1U) << "the outcome replaces the wait in the same window";
        platform().fireTimers(); // a deadline left over changes nothing
        EXPECT_EQ(text(U::kHeadline), c.headline);
        UpdateControlHit(app(),
                         std::string(c.buttons).starts_with("96") ? U::kDontDownload : U::kOK, 0);
        EXPECT_FALSE(platform().updateOpen);
        EXPECT_TRUE(menusUsable());
        EXPECT_EQ(app().flags.DialogsUp, 0);
    }
}

TEST_F(UpdateCheck, AServerThatNeverAnswersEndsInTheNetworkMessage) {
    checkFromMenu();
    platform().fireTimers(); // the second: still waiting
    expectWaiting();
    EXPECT_NE(s.callsJoined().find("startTimer(14000)"), std::string::npos);
    platform().fireTimers(); // the deadline
    ASSERT_TRUE(platform().updateOpen);
    EXPECT_EQ(text(U::kHeadline), "Network Connection Failed.");
    // The answer that comes after all is not looked at.
    answer(true, "9.9.9");
    EXPECT_EQ(text(U::kHeadline), "Network Connection Failed.");
    EXPECT_EQ(buttons(), "95* ");
}

TEST_F(UpdateCheck, ClosingTheWaitingWindowStopsWaiting) {
    struct Case {
        const char* name;
        std::function<void(AppState&)> close;
    };
    const Case cases[] = {
        {"OK", [](AppState& a) { UpdateControlHit(a, U::kOK, 0); }},
        {"Return", UpdateWndReturnKey},
        {"Escape or the close box", UpdateWndCloseBox},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform().fetches.clear();
        platform().calls.clear();
        checkFromMenu();
        platform().fireTimers();
        expectWaiting();
        c.close(app());
        EXPECT_FALSE(platform().updateOpen);
        EXPECT_TRUE(menusUsable());
        EXPECT_EQ(app().flags.DialogsUp, 0);
        // Neither the answer nor the deadline brings the window back.
        answer(true, "9.9.9");
        platform().fireTimers();
        EXPECT_FALSE(platform().updateOpen);
        EXPECT_EQ(windowsOpened(), 1U);
        EXPECT_TRUE(menusUsable());
        EXPECT_EQ(app().flags.DialogsUp, 0);
    }
    // A new check is not held up by the one given up.
    checkFromMenu();
    ASSERT_EQ(platform().fetches.size(), 2U);
    answer(false, "", 1);
    platform().fireTimers();
    ASSERT_TRUE(platform().updateOpen);
    EXPECT_EQ(text(U::kHeadline), "Network Connection Failed.");
}

TEST_F(UpdateCheck, WithoutAUsableServerTheMenuCheckSaysSo) {
    app().update.server.clear();
    checkFromMenu();
    platform().fireTimers();
    EXPECT_TRUE(platform().fetches.empty());
    ASSERT_TRUE(platform().updateOpen);
    EXPECT_EQ(text(U::kHeadline), "Network Connection Failed.");
}

TEST_F(UpdateCheck, TheWindowsControlsAndKeys) {
    checkFromMenu();
    answer(true, BuildInfo::kBundleVersion);
    platform().fireTimers();
    ASSERT_TRUE(platform().updateOpen);
    const ControlView* box = shown(U::kCheckOnLaunch);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text, " Check for New Updates on Launch.");
    EXPECT_FALSE(box->checked);
    UpdateControlHit(app(), U::kCheckOnLaunch, 1);
    EXPECT_EQ(app().prefs.UpdateForCheck, 1);
    EXPECT_TRUE(shown(U::kCheckOnLaunch)->checked);
    // Return acts on OK; with no sheet the menus return to their no-sheet state.
    UpdateWndReturnKey(app());
    EXPECT_FALSE(platform().updateOpen);
    EXPECT_TRUE(app().menus.usable(MenuNum::kFile, 1));
    EXPECT_FALSE(app().menus.usable(MenuNum::kFile, 5)) << "Close with no sheet";

    // With a sheet, the close box is OK too and the sheet's menus come back.
    NewDataSheet(app());
    checkFromMenu();
    answer(true, BuildInfo::kBundleVersion, 1);
    platform().fireTimers();
    ASSERT_TRUE(platform().updateOpen);
    UpdateWndCloseBox(app());
    EXPECT_FALSE(platform().updateOpen);
    EXPECT_TRUE(app().menus.usable(MenuNum::kFile, 5));
}

TEST_F(UpdateCheck, HandedOverDocumentsWaitForTheWindow) {
    const std::string doc = put("a.kedata", "Acme,PR, 1, 2, 3, 4, 5, 6, 7, 8\r");
    checkFromMenu();
    s.handOver({doc});
    EXPECT_EQ(app().flags.MainWndOpenFlag, 0) << "opened while the check runs";
    answer(true, BuildInfo::kBundleVersion);
    platform().fireTimers();
    s.handOver({});
    EXPECT_EQ(app().flags.MainWndOpenFlag, 0) << "opened under the window";
    UpdateWndReturnKey(app());
    platform().fireTimers();
    EXPECT_EQ(app().flags.MainWndOpenFlag, 1);
    EXPECT_EQ(app().doc.fileName1, "a.kedata");
}

class UpdateDownload : public UpdateCheck {
protected:
    UpdateDownload() {
        checkFromMenu();
        answer(true, "9.9.9");
        platform().fireTimers();
    }
    void startDownload() {
        UpdateWndReturnKey(app()); // Download...
        platform().fireTimers();   // the pause after the trash
        ASSERT_EQ(platform().downloads.size(), 1U);
    }
    test::FakePlatform::Download& download() { return platform().downloads.front(); }

    // A session of its own whose menu check offers a newer version, with
    // Download... pressed; unsaved: with a changed sheet open.
    static void offerAndDownload(test::Session& fresh, bool unsaved = false) {
        fresh.app.prefs.UpdateForCheck = 0;
        fresh.app.update.server = "https://updates.example";
        fresh.platform.downloadsPath = fresh.dir.path().string();
        if (unsaved) {
            NewDataSheet(fresh.app);
            fresh.app.DirtyFlagTrue();
        }
        DispatchMenuCommand(fresh.app, MenuNum::kApplication, 2);
        fresh.platform.fetches.front().done(true, "9.9.9");
        fresh.platform.fireTimers();
        UpdateWndReturnKey(fresh.app); // Download...
    }
};

TEST_F(UpdateDownload, OldFilesGoToTheTrashAndTheArchiveComesIn) {
    put("Kestrune.zip", "old");
    put("Kestrune.pkg", "old");
    put("Other.zip", "keep");
    startDownload();
    EXPECT_EQ(platform().trashed,
              (std::vector<std::string>{s.dir.file("Kestrune.zip"), s.dir.file("Kestrune.pkg")}));
    const DownloadRequest& request = download().request;
    EXPECT_EQ(request.url, "https://updates.example/downloads/apps/Kestrune.zip");
    EXPECT_EQ(request.folder, s.dir.path().string());
    EXPECT_EQ(request.fileName, "Kestrune.zip");
    EXPECT_GT(request.maxBytes, 0);

    // While it runs: its progress in the detail line's place, nothing to press.
    download().progress(1500, 3000);
    EXPECT_EQ(text(U::kDetail), "(none)");
    ASSERT_NE(shown(U::kProgress), nullptr);
    EXPECT_EQ(shown(U::kProgress)->value, 500);
    EXPECT_EQ(text(U::kProgress), "1,500 of 3,000 bytes");
    download().progress(2048, -1);
    EXPECT_EQ(shown(U::kProgress)->value, -1);
    EXPECT_EQ(text(U::kProgress), "2,048 bytes received");
    EXPECT_EQ(buttons(), "96*- 104 ");
    UpdateWndReturnKey(app());
    UpdateControlHit(app(), U::kDontDownload, 0);
    EXPECT_TRUE(platform().updateOpen);
    EXPECT_EQ(platform().downloads.size(), 1U);
    platform().fireTimers(); // however long it takes, nothing is judged before the end
    EXPECT_EQ(text(U::kHeadline), "Newer Version is Available.");

    download().done(true, s.dir.file("Kestrune.zip"));
    EXPECT_EQ(text(U::kHeadline), "Download is Successful.");
    EXPECT_EQ(shown(U::kHeadline)->color, 0x0000FF);
    EXPECT_EQ(text(U::kDetail), "Download file is in the downloads folder.");
    EXPECT_EQ(buttons(), "99 98* ");
    EXPECT_EQ(app().update.checkUpdateBtn, U::kOKAfterDownload);
    EXPECT_FALSE(menusUsable());
    UpdateWndReturnKey(app());
    EXPECT_FALSE(platform().updateOpen);
    EXPECT_TRUE(menusUsable());
}

// Every way out of a running download stops it at once: the shell removes
// the partial file, what the transfer reports later counts for nothing, and
// the window goes as OK closes it; Quit then asks about unsaved changes.
TEST_F(UpdateDownload, EveryWayOutCancelsTheDownload) {
    struct Case {
        const char* name;
        bool beforeTheTransfer; // within the pause after the trash
        bool quits;
        std::function<void(AppState&)> act;
    };
    const Case cases[] = {
        {"Cancel", false, false, [](AppState& a) { UpdateControlHit(a, U::kCancel, 0); }},
        {"Escape or the close box", false, false, UpdateWndCloseBox},
        {"Cancel before the transfer", true, false, UpdateWndCloseBox},
        {"Quit in the menu", false, true,
         [](AppState& a) { DispatchMenuCommand(a, MenuNum::kApplication, 6); }},
        {"Ctrl+Q in the window", false, true, UpdateWndQuitKey},
    };
    for (const Case& c : cases) {
        for (const bool unsaved : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (unsaved ? ", unsaved changes" : ""));
            test::Session fresh;
            offerAndDownload(fresh, unsaved);
            AppState& a = fresh.app;
            test::FakePlatform& p = fresh.platform;
            EXPECT_TRUE(a.menus.usable(MenuNum::kApplication, 6)) << "Quit while downloading";
            EXPECT_FALSE(a.menus.usable(MenuNum::kApplication, 2));
            if (!c.beforeTheTransfer) {
                p.fireTimers();
                ASSERT_EQ(p.downloads.size(), 1U);
                p.downloads.front().progress(5000, 100000);
            }
            p.calls.clear();
            p.saveChangesAnswers = {SaveChangesAnswer::DontSave};
            c.act(a);
            EXPECT_EQ(std::count(p.calls.begin(), p.calls.end(), "cancelDownload"), 1);
            EXPECT_FALSE(p.updateOpen);
            const auto asked = std::find_if(p.calls.begin(), p.calls.end(), [](const auto& call) {
                return call.starts_with("askSaveChanges");
            });
            EXPECT_EQ(asked != p.calls.end(), c.quits && unsaved);
            EXPECT_LT(std::find(p.calls.begin(), p.calls.end(), "cancelDownload"), asked);
            EXPECT_EQ(p.quit, c.quits);
            if (c.quits) {
                continue;
            }
            // Whatever the transfer still says is not looked at.
            p.fireTimers();
            if (!p.downloads.empty()) {
                p.downloads.front().progress(90000, 100000);
                p.downloads.front().done(true, fresh.dir.file("Kestrune.zip"));
            }
            EXPECT_FALSE(p.updateOpen);
            EXPECT_EQ(std::count(p.calls.begin(), p.calls.end(), "openUpdateWindow"), 0);
            if (!c.quits) {
                EXPECT_TRUE(a.menus.usable(MenuNum::kApplication, 2));
                EXPECT_EQ(a.flags.DialogsUp, 0);
            }
        }
    }
}

// A download must bring kDownloadFloorBytes in every kDownloadFloorMs, or it
// fails as a broken one does; the bytes are counted from the last look.
TEST_F(UpdateDownload, ATrickleFailsAtTheFloor) {
    struct Case {
        const char* name;
        std::vector<std::int64_t> receivedByLook; // bytes in all when each look comes
        std::size_t failsAtLook;                  // 0: still running after them all
    };
    const Case cases[] = {
        {"nothing after the headers", {0}, 1},
        {"one byte short", {kDownloadFloorBytes - 1}, 1},
        {"exactly the floor, then one byte short",
         {kDownloadFloorBytes, 2 * kDownloadFloorBytes - 1},
         2},
        {"steady above the floor", {5000, 10000, 15000}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::Session fresh;
        offerAndDownload(fresh);
        AppState& a = fresh.app;
        test::FakePlatform& p = fresh.platform;
        p.fireTimers();
        ASSERT_EQ(p.downloads.size(), 1U);
        EXPECT_NE(std::find(p.calls.begin(), p.calls.end(),
                            "startTimer(" + std::to_string(kDownloadFloorMs) + ")"),
                  p.calls.end());
        std::size_t failedAt = 0;
        for (std::size_t look = 0; look < c.receivedByLook.size() && failedAt == 0; ++look) {
            p.downloads.front().progress(c.receivedByLook[look], -1);
            p.fireTimers();
            if (a.update.download == DownloadPhase::Failed) {
                failedAt = look + 1;
            }
        }
        EXPECT_EQ(failedAt, c.failsAtLook);
        if (failedAt != 0) {
            EXPECT_EQ(std::count(p.calls.begin(), p.calls.end(), "cancelDownload"), 1);
            EXPECT_EQ(a.update.DownLoadOkFlag, 1);
            EXPECT_TRUE(p.updateOpen);
            EXPECT_FALSE(a.menus.usable(MenuNum::kApplication, 6));
        } else {
            EXPECT_EQ(a.update.download, DownloadPhase::Running);
        }
    }
}

TEST_F(UpdateDownload, AFailedDownloadSaysSo) {
    startDownload();
    download().done(false, {});
    EXPECT_EQ(app().update.DownLoadOkFlag, 1);
    EXPECT_EQ(text(U::kHeadline), "Download is Failed.");
    EXPECT_EQ(text(U::kDetail), "Please try again later.");
    EXPECT_EQ(buttons(), "98* ");
    UpdateControlHit(app(), U::kLaunchInstaller, 0); // not offered: nothing happens
    EXPECT_TRUE(platform().opened.empty());
    UpdateWndCloseBox(app());
    EXPECT_FALSE(platform().updateOpen);
}

TEST_F(UpdateDownload, LaunchingTheInstallerOpensTheFilesAndQuitsAsQuitDoes) {
    for (const bool unsaved : {true, false}) {
        SCOPED_TRACE(unsaved ? "unsaved changes" : "nothing unsaved");
        platform().downloads.clear();
        platform().opened.clear();
        if (!platform().updateOpen) {
            checkFromMenu();
            answer(true, "9.9.9", platform().fetches.size() - 1);
            platform().fireTimers();
        }
        if (unsaved) {
            NewDataSheet(app());
            app().DirtyFlagTrue();
        } else {
            app().doc.DirtyFlag = 0; // saved meanwhile
        }
        startDownload();
        const std::string archive = s.dir.file("Kestrune.zip");
        download().done(true, archive);
        UpdateControlHit(app(), U::kLaunchInstaller, 0);
        EXPECT_EQ(platform().opened, std::vector<std::string>{archive});
        EXPECT_EQ(buttons(), "99- 98*- ");
        UpdateWndReturnKey(app());      // nothing to press any more
        put("Kestrune.pkg", "package"); // the archive expands
        platform().fireTimers();        // 2 s
        EXPECT_EQ(platform().opened,
                  (std::vector<std::string>{archive, s.dir.file("Kestrune.pkg")}));
        platform().fireTimers(); // 1 s
        EXPECT_FALSE(platform().updateOpen);
        if (unsaved) {
            EXPECT_NE(s.callsJoined().find("askSaveChanges"), std::string::npos);
            EXPECT_FALSE(platform().quit) << "quit over unsaved changes";
            std::remove(s.dir.file("Kestrune.pkg").c_str());
            // Cancel: the program goes on, with its menus.
            EXPECT_TRUE(menusUsable());
        } else {
            EXPECT_TRUE(platform().quit);
        }
    }
}

TEST_F(UpdateDownload, NoPackageNoSecondOpen) {
    startDownload();
    download().done(true, s.dir.file("Kestrune-1.zip"));
    UpdateControlHit(app(), U::kLaunchInstaller, 0);
    platform().fireTimers();
    platform().fireTimers();
    // The file that came in is the one opened, under whatever name it got.
    EXPECT_EQ(platform().opened, std::vector<std::string>{s.dir.file("Kestrune-1.zip")});
    EXPECT_TRUE(platform().quit);
}

} // namespace
} // namespace kestrune
