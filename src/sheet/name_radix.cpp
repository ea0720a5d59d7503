#include "sheet/name_radix.h"

#include "runtime/cores.h"
#include "runtime/name_keys.h"
#include "sheet/key_sort.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

namespace kestrune {
namespace {

// From this many rows on, the cores share a piece of the work.
constexpr std::size_t kSharedRows = std::size_t{1} << 15;
// A run of at most this many rows is put in order by whole keys.
constexpr std::size_t kWholeKeys = 16;
// How many rows ahead names are asked for.
constexpr std::size_t kAhead = 64;

// A row's flags: its key ended with the bytes last made of it, and then
// what NameCollation::capitalsOf tells of its name below.
constexpr std::uint32_t kEnded = std::uint32_t{1} << 31;
constexpr std::uint32_t kCapitals = kEnded - 1;

constexpr int kWindowBits = 32;
constexpr std::uint64_t kPositionMask = (std::uint64_t{1} << kWindowBits) - 1;

std::size_t positionOf(std::uint64_t word) {
    return static_cast<std::size_t>(word & kPositionMask);
}

std::uint32_t windowOf(std::uint64_t word) {
    return static_cast<std::uint32_t>(word >> kWindowBits);
}

// A radix sort of the rows by their keys, most significant bytes first,
// four at a time: each word holds four bytes of a row's key above the row's
// position, and each run of rows whose bytes tie is sorted again by their
// next four, until the names of a run are all the same, or their keys end
// or are few enough to compare whole; ICU orders what the keys leave tied.
// A row's key is made from its name eight bytes at a time, four of them
// kept for the level after. Large runs are sorted one after the other,
// each by all the cores; the small ones they leave are shared out among
// the cores.
class NameSorter {
public:
    NameSorter(const NameColumn& names, std::size_t count, bool descending,
               const NameCollation& collation)
        : names_(names), collation_(collation), count_(count),
          flip_(descending ? ~std::uint64_t{0} : 0), descending_(descending), rows_(count),
          words_(2 * count) {}

    std::vector<std::int32_t> run() {
        RunOnCores(PartsFor(count_, kSharedRows), [this](WorkPart& part) {
            NameKeys maker(collation_);
            const WorkPart::Range mine = part.share(count_);
            for (std::size_t k = mine.begin; k < mine.end; ++k) {
                const std::string_view name = nameAt(k);
                const std::uint64_t window = keep(k, maker.chunk(name, 0), name);
                words_[k] = window << kWindowBits | k;
            }
        });
        {
            NameKeys maker(collation_);
            refine(maker, 0, count_, 0, &pending_);
        }
        orderPending();
        // What the keys left is given back before the order takes room.
        ZeroedColumn<RowState>().swap(rows_);
        std::vector<std::int32_t> order(count_);
        for (std::size_t k = 0; k < count_; ++k) {
            order[k] = static_cast<std::int32_t>(positionOf(words_[k]) + 1);
        }
        return order;
    }

private:
    // What a row keeps of its key between levels, in one place.
    struct RowState {
        std::uint32_t low;   // the last four of the eight bytes last made
        std::uint32_t flags; // kEnded, and the name's capitals once it is
        // Where the next eight bytes are made from: the index in the name
        // above, the bytes of key before it below.
        std::uint32_t place;
    };

    // A run of rows whose keys tie up to 4 * level + 4 bytes.
    struct Run {
        std::size_t begin;
        std::size_t end;
        std::size_t level;
    };

    std::string_view nameAt(std::size_t position) const {
        return names_.get(static_cast<std::int32_t>(position + 1));
    }

    std::size_t runEnd(std::size_t first, std::size_t end) const {
        const std::uint32_t window = windowOf(words_[first]);
        std::size_t last = first + 1;
        while (last < end && windowOf(words_[last]) == window) {
            ++last;
        }
        return last;
    }

    // Asks for the names of words_[begin, end) ahead of their use: with
    // the rows in the keys' order they lie anywhere, and a loop of nothing
    // else has many of them come at once.
    void askForNames(std::size_t begin, std::size_t end) const {
        for (std::size_t k = begin; k < end; ++k) {
#if defined(__GNUC__)
            const std::size_t position = positionOf(words_[k]);
            __builtin_prefetch(rows_.data() + position);
            __builtin_prefetch(nameAt(position).data());
#endif
        }
    }

    // words_[begin, end) hold the bytes 4 * level on of their rows' keys:
    // sorts them and puts each run of equal ones in order, or leaves it in
    // pending when small, where there is one.
    void refine(NameKeys& maker, std::size_t begin, std::size_t end, std::size_t level,
                std::vector<Run>* pending) {
        sortWindows(begin, end);
        // Ahead of the runs put in order, the names of the small ones are
        // asked for; a large one asks for its own.
        std::size_t scout = begin;
        std::size_t first = begin;
        while (first < end) {
            const std::size_t last = runEnd(first, end);
            if (last - first > 1 && pending != nullptr && last - first < kSharedRows) {
                pending->push_back({first, last, level});
            } else if (last - first > 1) {
                while (pending == nullptr && scout < std::min(end, last + kAhead)) {
                    const std::size_t scouted = runEnd(scout, end);
                    if (scouted - scout > 1 && scouted - scout <= kAhead) {
                        askForNames(scout, scouted);
                    }
                    scout = scouted;
                }
                orderRun(maker, {first, last, level}, pending);
            }
            first = last;
        }
    }

    // The small runs, shared out among the cores by their rows.
    void orderPending() {
        std::size_t rows = 0;
        for (const Run& run : pending_) {
            rows += run.end - run.begin;
        }
        RunOnCores(PartsFor(rows, kSharedRows), [this, rows](WorkPart& part) {
            NameKeys maker(collation_);
            const WorkPart::Range mine = part.share(rows);
            std::size_t before = 0; // the rows of the runs before
            std::size_t scout = 0;  // the runs whose names were asked for
            for (std::size_t r = 0; r < pending_.size(); ++r) {
                const Run& run = pending_[r];
                if (before >= mine.begin && before < mine.end) {
                    for (std::size_t ahead = 0; scout < pending_.size() && ahead < kAhead &&
                                                pending_[scout].begin < run.end + kAhead;
                         ++scout) {
                        if (scout >= r && pending_[scout].end - pending_[scout].begin <= kAhead) {
                            askForNames(pending_[scout].begin, pending_[scout].end);
                        }
                    }
                    orderRun(maker, run, nullptr);
                }
                before += run.end - run.begin;
            }
        });
    }

    void sortWindows(std::size_t begin, std::size_t end) {
        std::uint64_t differing = 0;
        for (std::size_t k = begin + 1; k < end; ++k) {
            differing |= words_[k] ^ words_[begin];
        }
        differing &= ~kPositionMask;
        if (differing == 0) {
            return;
        }
        std::uint64_t* const run = words_.data() + begin;
        const std::uint64_t* sorted = key_sort_detail::SortWindows(
            run, words_.data() + count_ + begin, end - begin, differing);
        if (sorted != run) {
            std::copy_n(sorted, end - begin, run);
        }
    }

    bool allSame(const Run& run) const {
        const std::string_view first = nameAt(positionOf(words_[run.begin]));
        for (std::size_t k = run.begin + 1; k < run.end; ++k) {
            if (nameAt(positionOf(words_[k])) != first) {
                return false;
            }
        }
        return true;
    }

    // Whether the rows' names are all the same, where their keys are: by
    // their capitals where each name has them, else by their names.
    bool sameNames(const Run& run) const {
        const std::uint32_t first = rows_[positionOf(words_[run.begin])].flags & kCapitals;
        bool known = first != 0;
        for (std::size_t k = run.begin + 1; k < run.end && known; ++k) {
            const std::uint32_t capitals = rows_[positionOf(words_[k])].flags & kCapitals;
            if (capitals != first) {
                if (capitals != 0) {
                    return false;
                }
                known = false;
            }
        }
        return known || allSame(run);
    }

    bool allEnded(const Run& run) const {
        for (std::size_t k = run.begin; k < run.end; ++k) {
            if ((rows_[positionOf(words_[k])].flags & kEnded) == 0) {
                return false;
            }
        }
        return true;
    }

    void orderRun(NameKeys& maker, const Run& run, std::vector<Run>* pending) {
        const std::uint32_t window =
            windowOf(words_[run.begin]) ^ static_cast<std::uint32_t>(flip_);
        // The keys are equal when they ended in the bytes compared so far.
        if ((window & 0xFF) == 0 || (run.level % 2 == 1 && allEnded(run))) {
            if (!sameNames(run)) {
                orderTies(run);
            }
            return;
        }
        // Before more of the keys are made from the names: names all the
        // same need none.
        if (run.level % 2 == 1 && allSame(run)) {
            return;
        }
        if (run.end - run.begin <= kWholeKeys) {
            orderWhole(maker, run);
            return;
        }
        const std::size_t next = run.level + 1;
        // Bytes made from the names take the cores; kept ones are copied.
        if (run.end - run.begin < kSharedRows || next % 2 == 1) {
            nextWindows(maker, run.begin, run.end, next);
        } else {
            RunOnCores(PartsFor(run.end - run.begin, kSharedRows), [&](WorkPart& part) {
                NameKeys partMaker(collation_);
                const WorkPart::Range mine = part.share(run.end - run.begin);
                nextWindows(partMaker, run.begin + mine.begin, run.begin + mine.end, next);
            });
        }
        refine(maker, run.begin, run.end, next, pending);
    }

    // Puts the bytes 4 * level on of the keys of words_[begin, end) into
    // their words.
    void nextWindows(NameKeys& maker, std::size_t begin, std::size_t end, std::size_t level) {
        for (std::size_t batch = begin; batch < end; batch += kAhead) {
            const std::size_t batchEnd = std::min(end, batch + kAhead);
            if (level % 2 == 0) {
                askForNames(batch, batchEnd);
            }
            for (std::size_t k = batch; k < batchEnd; ++k) {
                const std::size_t position = positionOf(words_[k]);
                std::uint64_t window = rows_[position].low;
                if (level % 2 == 0 && (rows_[position].flags & kEnded) == 0) {
                    const std::string_view name = nameAt(position);
                    window = keep(position, maker.chunk(name, 4 * level, placeAt(position)), name);
                } else if (level % 2 == 0) {
                    // A key that ended weighs nothing further.
                    window = static_cast<std::uint32_t>(flip_);
                    rows_[position].low = static_cast<std::uint32_t>(flip_);
                }
                words_[k] = window << kWindowBits | position;
            }
        }
    }

    NameKeys::Place placeAt(std::size_t position) const {
        const std::uint32_t place = rows_[position].place;
        return {place >> 16, place & 0xFFFF};
    }

    // Keeps what the next level needs of a row's chunk, and the name's
    // capitals once its key ended; returns the chunk's first four bytes.
    std::uint32_t keep(std::size_t position, const NameKeys::Chunk& chunk, std::string_view name) {
        const std::uint64_t bytes = chunk.bytes ^ flip_;
        rows_[position].low = static_cast<std::uint32_t>(bytes);
        if (chunk.last) {
            rows_[position].flags = kEnded | collation_.capitalsOf(name);
        }
        // A place too far in is not kept: the next chunk starts over.
        const bool fits = chunk.next.index <= 0xFFFF && chunk.next.written <= 0xFFFF;
        rows_[position].place =
            fits ? static_cast<std::uint32_t>(chunk.next.index << 16 | chunk.next.written) : 0;
        return static_cast<std::uint32_t>(bytes >> kWindowBits);
    }

    // By ICU, the direction reversed when descending.
    bool tieBefore(std::string_view a, std::string_view b) const {
        if (a == b) {
            return false;
        }
        const int c = collation_.compareTies(a, b);
        return descending_ ? c > 0 : c < 0;
    }

    std::vector<std::size_t> positions(const Run& run) const {
        std::vector<std::size_t> out;
        for (std::size_t k = run.begin; k < run.end; ++k) {
            out.push_back(positionOf(words_[k]));
        }
        return out;
    }

    void orderWhole(NameKeys& maker, const Run& run) {
        struct Keyed {
            std::size_t position;
            std::string key;
        };
        std::vector<Keyed> keyed;
        for (const std::size_t position : positions(run)) {
            keyed.push_back({position, {}});
            maker.whole(nameAt(position), keyed.back().key);
        }
        std::stable_sort(keyed.begin(), keyed.end(), [this](const Keyed& a, const Keyed& b) {
            const int c = CompareNameKeys(a.key, b.key);
            if (c != 0) {
                return descending_ ? c > 0 : c < 0;
            }
            return tieBefore(nameAt(a.position), nameAt(b.position));
        });
        for (std::size_t k = run.begin; k < run.end; ++k) {
            words_[k] = keyed[k - run.begin].position;
        }
    }

    // The keys of the rows are equal: ICU orders their names. Each name
    // is compared once with the others, however many rows hold it.
    void orderTies(const Run& run) {
        const std::vector<std::size_t> rows = positions(run);
        std::vector<std::size_t> byName = rows;
        std::sort(byName.begin(), byName.end(),
                  [this](std::size_t a, std::size_t b) { return nameAt(a) < nameAt(b); });
        std::vector<std::string_view> distinct;
        for (const std::size_t position : byName) {
            if (distinct.empty() || nameAt(position) != distinct.back()) {
                distinct.push_back(nameAt(position));
            }
        }
        std::stable_sort(
            distinct.begin(), distinct.end(),
            [this](std::string_view a, std::string_view b) { return tieBefore(a, b); });
        // Names ICU ties share a rank; the rows of a rank keep their order.
        std::vector<std::pair<std::string_view, std::size_t>> ranks;
        std::size_t rank = 0;
        for (std::size_t k = 0; k < distinct.size(); ++k) {
            if (k > 0 && tieBefore(distinct[k - 1], distinct[k])) {
                ++rank;
            }
            ranks.emplace_back(distinct[k], rank);
        }
        std::sort(ranks.begin(), ranks.end());
        std::vector<std::pair<std::size_t, std::size_t>> ranked;
        for (const std::size_t position : rows) {
            const auto at = std::lower_bound(ranks.begin(), ranks.end(),
                                             std::make_pair(nameAt(position), std::size_t{0}));
            ranked.emplace_back(at->second, position);
        }
        std::stable_sort(ranked.begin(), ranked.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t k = run.begin; k < run.end; ++k) {
            words_[k] = ranked[k - run.begin].second;
        }
    }

    const NameColumn& names_;
    const NameCollation& collation_;
    std::size_t count_;
    std::uint64_t flip_;
    bool descending_;
    ZeroedColumn<RowState> rows_; // by position
    KeyArray words_;              // a window and a position each, and as many for scratch
    std::vector<Run> pending_;
};

} // namespace

std::vector<std::int32_t> SortRowsByName(const NameColumn& names, std::size_t count,
                                         bool descending, const NameCollation& collation) {
    return NameSorter(names, count, descending, collation).run();
}

} // namespace kestrune
