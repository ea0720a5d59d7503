#pragma once
// Work on the second core whose failure comes back to the thread that waits
// for it: what the work throws (running out of memory, say) is thrown again
// by wait(), and work still running when its owner leaves early is waited
// for instead of ending the program.

#include <exception>
#include <optional>
#include <thread>
#include <utility>

namespace kestrune {

class SideTask {
public:
    template <typename Work>
    explicit SideTask(Work&& work)
        : thread_([this, work = std::forward<Work>(work)]() mutable {
              try {
                  work();
              } catch (...) {
                  error_ = std::current_exception();
              }
          }) {}
    ~SideTask() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    SideTask(const SideTask&) = delete;
    SideTask& operator=(const SideTask&) = delete;

    // Waits for the work to end; throws what it threw.
    void wait() {
        if (thread_.joinable()) {
            thread_.join();
        }
        if (error_) {
            std::rethrow_exception(std::exchange(error_, nullptr));
        }
    }

private:
    std::exception_ptr error_; // before the thread, which may set it at once
    std::thread thread_;
};

// Waits for the task when there is one.
inline void WaitFor(std::optional<SideTask>& task) {
    if (task) {
        task->wait();
    }
}

} // namespace kestrune
