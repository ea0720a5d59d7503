// Long work: on a thread of its own while the window's thread keeps the
// window painted, shows the progress and listens for Cancel.

#include "platform/long_work_panel.h"
#include "platform/main_window.h"
#include "platform/qt_platform.h"
#include "platform/sheet_page.h"
#include "platform/sheet_widget.h"

#include <QEventLoop>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace kestrune {
namespace {

// Work that ends within this shows nothing and runs no event loop.
constexpr std::chrono::milliseconds kQuickWork{40};

// While long work runs, the sheet shows its picture from before the work
// and nothing reaches the core; both end with the hold.
class WindowHold {
public:
    WindowHold(SheetWidget* sheet, CoreGate& gate, QObject* context)
        : sheet_(sheet), gate_(gate), context_(context), wasHeld_(gate.held()) {
        if (sheet_ != nullptr) {
            sheet_->freeze(true); // before the work can touch what the sheet shows
        }
        gate_.hold();
    }
    WindowHold(const WindowHold&) = delete;
    WindowHold& operator=(const WindowHold&) = delete;
    ~WindowHold() {
        if (sheet_ != nullptr) {
            sheet_->freeze(false);
        }
        if (!wasHeld_) {
            gate_.release(context_);
        }
    }

private:
    SheetWidget* sheet_;
    CoreGate& gate_;
    QObject* context_;
    bool wasHeld_;
};

} // namespace

void QtPlatform::setWindow(MainWindow* window) {
    window_ = window;
    if (window_ != nullptr) {
        window_->setCoreGate(&gate_);
    }
}

void QtPlatform::runLongWork(const LongWorkView& view, WorkProgress& progress,
                             const std::function<void()>& work) {
    const WindowHold hold(window_ != nullptr ? window_->sheetPage()->sheet() : nullptr, gate_,
                          &context_);
    QEventLoop loop;
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
    std::exception_ptr failure;
    const auto task = [&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        {
            const std::lock_guard<std::mutex> lock(mutex);
            finished = true;
        }
        ended.notify_one();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    };
    std::thread worker;
    try {
        worker = std::thread(task);
    } catch (const std::system_error&) {
        task(); // no thread to spare: the work runs here, its progress unseen
    }
    if (worker.joinable()) {
        bool quick = false;
        {
            std::unique_lock<std::mutex> lock(mutex);
            quick = ended.wait_for(lock, kQuickWork, [&] { return finished; });
        }
        if (!quick) {
            try {
                const QPoint topLeft =
                    window_ != nullptr ? window_->contentToGlobal(QPoint(0, 0)) : QPoint();
                const int width = window_ != nullptr ? MainWindow::kContentWidth : 0;
                LongWorkPanel panel(window_, topLeft, width, view, progress);
                loop.exec(); // until the worker's quit arrives
            } catch (...) {
                // Without a panel the work still ends; the window waits for it.
            }
        }
        worker.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

} // namespace kestrune
