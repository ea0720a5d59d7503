#include "sheet/name_order.h"

#include "runtime/cores.h"
#include "runtime/name_keys.h"
#include "sheet/key_sort.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace kestrune {
namespace {

// From this many rows on, the cores share the making of the first keys.
constexpr std::size_t kSharedRows = std::size_t{1} << 15;
// A run of at most this many rows is put in order by whole keys.
constexpr std::size_t kWholeKeys = 16;

int compareKeys(std::string_view a, std::string_view b) {
    const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    if (c != 0) {
        return c;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// The rows sorted by the first eight bytes of their names' keys, linearly;
// then each run of rows whose bytes tie sorted by the next eight, and so
// on, until the names of a run are all the same, or their keys end or are
// few enough to compare whole; ICU orders what the keys leave tied. Only
// eight bytes of each row's key are kept at a time.
class NameSorter {
public:
    NameSorter(const NameColumn& names, std::size_t count, bool descending,
               const NameCollation& collation)
        : names_(names), collation_(collation), keyMaker_(collation), count_(count),
          flip_(descending ? ~std::uint64_t{0} : 0), descending_(descending), keys_(count),
          order_(count) {}

    std::vector<std::int32_t> run() {
        RunOnCores(PartsFor(count_, kSharedRows), [this](WorkPart& part) {
            NameKeys maker(collation_);
            const WorkPart::Range mine = part.share(count_);
            for (std::size_t k = mine.begin; k < mine.end; ++k) {
                keys_[k] = maker.chunk(names_.get(static_cast<std::int32_t>(k + 1)), 0) ^ flip_;
            }
        });
        OrderRowsByKey(keys_, 0, count_, order_.data(), words_);
        refineRuns(0, count_, 0);
        return std::move(order_);
    }

private:
    std::string_view name(std::int32_t row) const { return names_.get(row); }
    std::uint64_t& keyOf(std::int32_t row) { return keys_[static_cast<std::size_t>(row - 1)]; }

    // order_[begin, end) is in the order of the keys' bytes 8 * depth on,
    // held in keys_: puts each run of equal ones in order.
    void refineRuns(std::size_t begin, std::size_t end, std::size_t depth) {
        std::size_t first = begin;
        while (first < end) {
            const std::uint64_t key = keyOf(order_[first]);
            std::size_t last = first + 1;
            while (last < end && keyOf(order_[last]) == key) {
                ++last;
            }
            if (last - first > 1) {
                orderRun(first, last, depth, key ^ flip_);
            }
            first = last;
        }
    }

    void orderRun(std::size_t begin, std::size_t end, std::size_t depth, std::uint64_t bytes) {
        const std::string_view first = name(order_[begin]);
        const bool allSame = std::all_of(order_.begin() + static_cast<std::ptrdiff_t>(begin + 1),
                                         order_.begin() + static_cast<std::ptrdiff_t>(end),
                                         [&](std::int32_t row) { return name(row) == first; });
        if (allSame) {
            return;
        }
        if ((bytes & 0xFF) == 0) { // the keys ended: they are equal
            orderTies(begin, end);
            return;
        }
        if (end - begin <= kWholeKeys) {
            orderWhole(begin, end);
            return;
        }
        const std::size_t n = end - begin;
        for (std::size_t k = begin; k < end; ++k) {
            keyOf(order_[k]) = keyMaker_.chunk(name(order_[k]), 8 * (depth + 1)) ^ flip_;
        }
        scratch_.resize(std::max(scratch_.size(), n));
        const std::int32_t* rows = order_.data() + begin;
        OrderRowsByKey([&](std::size_t k) { return keyOf(rows[k]); }, 0, n, scratch_.data(),
                       words_);
        for (std::size_t k = 0; k < n; ++k) {
            scratch_[k] = rows[scratch_[k] - 1];
        }
        std::copy_n(scratch_.begin(), n, order_.begin() + static_cast<std::ptrdiff_t>(begin));
        refineRuns(begin, end, depth + 1);
    }

    // By ICU, the direction reversed when descending.
    bool tieBefore(std::string_view a, std::string_view b) const {
        if (a == b) {
            return false;
        }
        const int c = collation_.compareTies(a, b);
        return descending_ ? c > 0 : c < 0;
    }

    void orderWhole(std::size_t begin, std::size_t end) {
        struct Keyed {
            std::int32_t row;
            std::string key;
        };
        std::vector<Keyed> run;
        for (std::size_t k = begin; k < end; ++k) {
            run.push_back({order_[k], {}});
            keyMaker_.whole(name(order_[k]), run.back().key);
        }
        std::stable_sort(run.begin(), run.end(), [this](const Keyed& a, const Keyed& b) {
            const int c = compareKeys(a.key, b.key);
            if (c != 0) {
                return descending_ ? c > 0 : c < 0;
            }
            return tieBefore(name(a.row), name(b.row));
        });
        for (std::size_t k = begin; k < end; ++k) {
            order_[k] = run[k - begin].row;
        }
    }

    // The keys of the rows are equal: ICU orders their names. Each name
    // is compared once with the others, however many rows hold it.
    void orderTies(std::size_t begin, std::size_t end) {
        const auto first = order_.begin() + static_cast<std::ptrdiff_t>(begin);
        const auto last = order_.begin() + static_cast<std::ptrdiff_t>(end);
        std::vector<std::int32_t> byName(first, last);
        std::sort(byName.begin(), byName.end(),
                  [this](std::int32_t a, std::int32_t b) { return name(a) < name(b); });
        std::vector<std::int32_t> distinct; // a row of each name
        for (std::size_t k = 0; k < byName.size(); ++k) {
            if (k == 0 || name(byName[k]) != name(byName[k - 1])) {
                distinct.push_back(byName[k]);
            }
        }
        std::stable_sort(distinct.begin(), distinct.end(), [this](std::int32_t a, std::int32_t b) {
            return tieBefore(name(a), name(b));
        });
        // Names ICU ties share a rank; the rows of a rank keep their order.
        std::vector<std::pair<std::string_view, std::size_t>> ranks;
        std::size_t rank = 0;
        for (std::size_t k = 0; k < distinct.size(); ++k) {
            if (k > 0 && tieBefore(name(distinct[k - 1]), name(distinct[k]))) {
                ++rank;
            }
            ranks.emplace_back(name(distinct[k]), rank);
        }
        std::sort(ranks.begin(), ranks.end());
        const auto rankOf = [&ranks](std::string_view n) {
            return std::lower_bound(ranks.begin(), ranks.end(), std::make_pair(n, std::size_t{0}))
                ->second;
        };
        std::vector<std::pair<std::size_t, std::int32_t>> ranked;
        for (auto it = first; it != last; ++it) {
            ranked.emplace_back(rankOf(name(*it)), *it);
        }
        std::stable_sort(ranked.begin(), ranked.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (std::size_t k = 0; k < ranked.size(); ++k) {
            order_[begin + k] = ranked[k].second;
        }
    }

    const NameColumn& names_;
    const NameCollation& collation_;
    NameKeys keyMaker_;
    std::size_t count_;
    std::uint64_t flip_;
    bool descending_;
    KeyArray keys_; // by row, of the bytes the rows are sorted by at the time
    KeyArray words_;
    std::vector<std::int32_t> order_;
    std::vector<std::int32_t> scratch_;
};

} // namespace

int CompareNames(std::string_view a, std::string_view b) {
    return CompareNames(a, b, NameCollation::ForUser());
}

int CompareNames(std::string_view a, std::string_view b, const NameCollation& collation) {
    NameKeys keys(collation);
    std::string keyA;
    std::string keyB;
    keys.whole(a, keyA);
    keys.whole(b, keyB);
    const int c = compareKeys(keyA, keyB);
    return c != 0 || a == b ? c : collation.compareTies(a, b);
}

std::vector<std::int32_t> OrderByName(const NameColumn& names, std::int32_t n, bool descending) {
    return OrderByName(names, n, descending, NameCollation::ForUser());
}

std::vector<std::int32_t> OrderByName(const NameColumn& names, std::int32_t n, bool descending,
                                      const NameCollation& collation) {
    const auto count = static_cast<std::size_t>(std::max(n, 0));
    return NameSorter(names, count, descending, collation).run();
}

} // namespace kestrune
