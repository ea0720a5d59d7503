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
#include <thread>

namespace kestrune {
namespace {

// Work that ends within this shows nothing and runs no event loop.
constexpr std::chrono::milliseconds kQuickWork{40};

} // namespace

void QtPlatform::setWindow(MainWindow* window) {
    window_ = window;
    if (window_ != nullptr) {
        window_->setCoreGate(&gate_);
    }
}

void QtPlatform::runLongWork(const LongWorkView& view, WorkProgress& progress,
                             const std::function<void()>& work) {
    SheetWidget* sheet = window_ != nullptr ? window_->sheetPage()->sheet() : nullptr;
    if (sheet != nullptr) {
        sheet->freeze(true); // before the work can touch what the sheet shows
    }
    const bool wasHeld = gate_.held();
    gate_.hold();

    QEventLoop loop;
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
    std::exception_ptr failure;
    std::thread worker([&] {
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
    });
    bool quick = false;
    {
        std::unique_lock<std::mutex> lock(mutex);
        quick = ended.wait_for(lock, kQuickWork, [&] { return finished; });
    }
    if (!quick) {
        const QPoint topLeft =
            window_ != nullptr ? window_->contentToGlobal(QPoint(0, 0)) : QPoint();
        const int width = window_ != nullptr ? MainWindow::kContentWidth : 0;
        LongWorkPanel panel(window_, topLeft, width, view, progress);
        loop.exec(); // until the worker's quit arrives
    }
    worker.join();

    if (sheet != nullptr) {
        sheet->freeze(false);
    }
    if (!wasHeld) {
        gate_.release(&context_);
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

} // namespace kestrune
