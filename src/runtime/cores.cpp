#include "runtime/cores.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace kestrune {

// What the parts of one piece of work share: how many they are (0 until
// every thread that could be had has started), where they meet, and what
// each threw.
struct WorkCrew {
    explicit WorkCrew(std::vector<std::exception_ptr>& errors) : errors(errors) {}

    std::mutex mutex;
    std::condition_variable changed;
    std::size_t parts = 0;
    std::size_t arrived = 0;
    std::size_t meeting = 0; // how many meetings have ended
    std::vector<std::exception_ptr>& errors;

    void run(std::size_t index, const std::function<void(WorkPart&)>& work) {
        WorkPart part(this, index, parts);
        try {
            work(part);
        } catch (...) {
            errors[index] = std::current_exception();
        }
    }
};

void WorkPart::meet() {
    if (parts_ < 2) {
        return;
    }
    WorkCrew& crew = *crew_;
    std::unique_lock lock(crew.mutex);
    const std::size_t meeting = crew.meeting;
    if (++crew.arrived == parts_) {
        crew.arrived = 0;
        ++crew.meeting;
        lock.unlock();
        crew.changed.notify_all();
        return;
    }
    crew.changed.wait(lock, [&] { return crew.meeting != meeting; });
}

std::size_t MachineCores() {
    static const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    return cores;
}

std::size_t PartsFor(std::size_t count, std::size_t threshold) {
    if (count < threshold || count < 2) {
        return 1;
    }
    const std::size_t half = std::max<std::size_t>(1, threshold / 2);
    return std::max<std::size_t>(1, std::min(MachineCores(), count / half));
}

std::size_t RunParts(std::size_t wanted, const std::function<void(WorkPart&)>& work) {
    wanted = std::max<std::size_t>(1, wanted);
    std::vector<std::exception_ptr> errors(wanted);
    std::vector<std::thread> threads;
    threads.reserve(wanted - 1);
    WorkCrew crew(errors);
    for (std::size_t index = 1; index < wanted; ++index) {
        try {
            threads.emplace_back([&crew, &work, index] {
                {
                    std::unique_lock lock(crew.mutex);
                    crew.changed.wait(lock, [&] { return crew.parts != 0; });
                }
                crew.run(index, work);
            });
        } catch (const std::system_error&) {
            break; // the system gives no more threads: fewer parts do it all
        } catch (const std::bad_alloc&) {
            break;
        }
    }
    {
        const std::lock_guard lock(crew.mutex);
        crew.parts = threads.size() + 1;
    }
    crew.changed.notify_all();
    crew.run(0, work);
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (const std::exception_ptr& error : errors) {
        if (error) {
            std::rethrow_exception(error);
        }
    }
    return threads.size() + 1;
}

} // namespace kestrune
