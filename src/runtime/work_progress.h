#pragma once
// How far a long piece of work has come, and whether the user asked it to
// stop. The work advances it from any of its threads; the window reads it
// from its own. Work that may be stopped asks at each block it reads and
// ends by throwing WorkCancelled, so that whatever it built is given up on
// the way out and nothing half-made reaches the caller.

#include <atomic>
#include <cstdint>

namespace kestrune {

struct WorkCancelled {};

class WorkProgress {
public:
    explicit WorkProgress(std::uint64_t total = 0) : total_(total) {}
    WorkProgress(const WorkProgress&) = delete;
    WorkProgress& operator=(const WorkProgress&) = delete;

    // What the whole of the work counts, in the units advance() is given.
    void setTotal(std::uint64_t total) { total_.store(total, std::memory_order_relaxed); }
    void advance(std::uint64_t amount) { done_.fetch_add(amount, std::memory_order_relaxed); }
    // 0 to 1; 0 while the total is unknown.
    double fraction() const {
        const std::uint64_t total = total_.load(std::memory_order_relaxed);
        const std::uint64_t done = done_.load(std::memory_order_relaxed);
        if (total == 0) {
            return 0.0;
        }
        return done >= total ? 1.0 : static_cast<double>(done) / static_cast<double>(total);
    }

    void cancel() { cancelled_.store(true, std::memory_order_relaxed); }
    bool cancelled() const { return cancelled_.load(std::memory_order_relaxed); }
    // Throws WorkCancelled once cancel() was called.
    void stopIfCancelled() const {
        if (cancelled()) {
            throw WorkCancelled{};
        }
    }

private:
    std::atomic<std::uint64_t> total_;
    std::atomic<std::uint64_t> done_{0};
    std::atomic<bool> cancelled_{false};
};

} // namespace kestrune
