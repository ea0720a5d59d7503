// Long work on the real window: it runs beside the window's event loop,
// shows its progress once it lasts, takes Escape as a cancel when allowed,
// and nothing reaches the core until it is over.

#include "gui_fixture.h"
#include "platform/long_work_panel.h"

#include <QApplication>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

using namespace kestrune;

namespace {

class LongWorkWindow : public test::GuiTest {
protected:
    // Runs work for a while, till it ends or is cancelled.
    void runFor(const LongWorkView& view, WorkProgress& progress, std::chrono::milliseconds time) {
        platform.runLongWork(view, progress, [&] {
            const auto end = std::chrono::steady_clock::now() + time;
            while (std::chrono::steady_clock::now() < end) {
                progress.stopIfCancelled();
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            timerHadRun = timerRuns.load();
        });
    }
    static bool panelShown(const QString& title) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->windowTitle() == title &&
                qobject_cast<LongWorkPanel*>(w) != nullptr) {
                return true;
            }
        }
        return false;
    }

    std::atomic<int> timerRuns{0};
    int timerHadRun = -1;
};

} // namespace

TEST_F(LongWorkWindow, ShowsProgressAndHoldsBackWhatWouldReachTheCore) {
    platform.startTimer(0, [this] { ++timerRuns; });
    bool shownWhileWorking = false;
    QTimer::singleShot(LongWorkPanel::kShowAfterMs + 250,
                       [&] { shownWhileWorking = panelShown("Saving \u201Cx\u201D\u2026"); });
    WorkProgress progress;
    runFor({"Saving \u201Cx\u201D\u2026", false}, progress, std::chrono::milliseconds(1100));
    EXPECT_TRUE(shownWhileWorking);
    EXPECT_EQ(timerHadRun, 0); // the core's timer waited for the work
    settle();
    EXPECT_EQ(timerRuns.load(), 1);
    EXPECT_FALSE(panelShown("Saving \u201Cx\u201D\u2026"));

    // Escape does not stop a save.
    QTimer::singleShot(LongWorkPanel::kShowAfterMs + 100,
                       [&] { QTest::keyClick(&window, Qt::Key_Escape); });
    WorkProgress save;
    EXPECT_NO_THROW(runFor({"Saving", false}, save, std::chrono::milliseconds(900)));
    EXPECT_FALSE(save.cancelled());
}

TEST_F(LongWorkWindow, EscapeCancelsAndWhatTheWorkThrowsReachesTheCaller) {
    QTimer::singleShot(LongWorkPanel::kShowAfterMs + 100,
                       [&] { QTest::keyClick(&window, Qt::Key_Escape); });
    WorkProgress open;
    EXPECT_THROW(runFor({"Opening", true}, open, std::chrono::seconds(20)), WorkCancelled);
    EXPECT_TRUE(open.cancelled());

    WorkProgress quick;
    EXPECT_THROW(platform.runLongWork({"Sorting", false}, quick,
                                      [] { throw std::runtime_error("no memory"); }),
                 std::runtime_error);
}
