#pragma once
// The one place that knows how work goes to threads. Work large enough to
// share is split over the cores the machine has, the calling thread taking a
// part of its own; below a threshold it stays on the calling thread and costs
// no thread at all. What a part throws (running out of memory, say) reaches
// the caller once every part has ended, so no part is left running on memory
// the caller gives back. When the system gives fewer threads than asked for
// (it may be short of memory too), fewer parts share the same work: a part
// learns how many parts there are only once every one has started.

#include <cstddef>
#include <functional>

namespace kestrune {

struct WorkCrew;

// How many threads the machine runs at once; at least one.
std::size_t MachineCores();

// How many parts count items are shared out in: one below threshold; from
// there on one a core, as long as each part keeps at least half the
// threshold's items, as the two halves of the smallest shared range do.
std::size_t PartsFor(std::size_t count, std::size_t threshold);

// What one part of a shared piece of work knows of itself.
class WorkPart {
public:
    struct Range {
        std::size_t begin;
        std::size_t end;
    };

    std::size_t index() const { return index_; }
    std::size_t parts() const { return parts_; }
    // This part's share of count items: the shares are consecutive, in the
    // order of the parts, and together hold every item once.
    Range share(std::size_t count) const { return shareOf(count, index_, parts_); }
    static Range shareOf(std::size_t count, std::size_t index, std::size_t parts) {
        return {count * index / parts, count * (index + 1) / parts};
    }
    // Waits until every part has come here, for a step that reads what the
    // others wrote before. Work that meets must not throw: the others would
    // wait for it for ever.
    void meet();

private:
    friend struct WorkCrew;
    WorkPart(WorkCrew* crew, std::size_t index, std::size_t parts)
        : crew_(crew), index_(index), parts_(parts) {}

    WorkCrew* crew_;
    std::size_t index_;
    std::size_t parts_;
};

std::size_t RunParts(std::size_t wanted, const std::function<void(WorkPart&)>& work);

// Runs work(part) for at most `wanted` parts, the first on the calling
// thread and each other one on a thread of its own, and returns how many
// parts ran once all have ended. The first exception a part threw (by part
// order) is thrown again.
template <typename Work> std::size_t RunOnCores(std::size_t wanted, Work&& work) {
    // Held by reference: nothing is copied, nothing allocated.
    return RunParts(wanted, std::function<void(WorkPart&)>(std::ref(work)));
}

// Runs beside() on another core while here() runs on this thread, or after
// it when no other thread can be had; returns once both ended, throwing
// what either threw.
template <typename Beside, typename Here> void RunBeside(Beside&& beside, Here&& here) {
    auto work = [&](WorkPart& part) {
        if (part.index() != 0) {
            beside();
            return;
        }
        here();
        if (part.parts() == 1) {
            beside();
        }
    };
    RunOnCores(2, work);
}

} // namespace kestrune
