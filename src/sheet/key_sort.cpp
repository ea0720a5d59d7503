#include "sheet/key_sort.h"

#include "runtime/side_task.h"

#include <algorithm>
#include <array>
#include <barrier>
#include <optional>
#include <utility>

namespace kestrune {
namespace {

// Below this many rows a comparison sort beats the radix passes.
constexpr std::ptrdiff_t kRadixThreshold = 256;
// From this many rows on, both cores share every pass.
constexpr std::ptrdiff_t kTwoCoreRows = std::ptrdiff_t{1} << 15;
constexpr int kDigitBits = 11;
constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
constexpr std::uint64_t kDigitMask = kBuckets - 1;
constexpr int kPasses = (64 + kDigitBits - 1) / kDigitBits;

using Counts = std::array<std::size_t, kBuckets>;

// What each share of the rows knows of itself, read by the other share
// between passes.
struct Share {
    KeyedRow* begin = nullptr; // the share's rows in the input
    KeyedRow* end = nullptr;
    std::uint64_t differing = 0; // the key bits in which its rows differ
    Counts count{};
};

std::uint64_t differingBits(const KeyedRow* first, const KeyedRow* last, std::uint64_t anyKey) {
    std::uint64_t bits = 0;
    for (const KeyedRow* e = first; e != last; ++e) {
        bits |= e->key ^ anyKey;
    }
    return bits;
}

void countDigits(const KeyedRow* first, const KeyedRow* last, int shift, Counts& count) {
    count.fill(0);
    for (const KeyedRow* e = first; e != last; ++e) {
        ++count[(e->key >> shift) & kDigitMask];
    }
}

// The passes over n rows split in shares.size() shares, run by share number
// `me`; each pass scatters every share's rows of a bucket after those of the
// shares before it, so it is stable. Every share takes the same decisions,
// and meets the others at the barrier between the steps that read what they
// wrote.
// Returns the buffer that holds the sorted rows: from or to.
template <typename Barrier>
KeyedRow* radixPasses(std::size_t me, std::vector<Share>& shares, KeyedRow* from, KeyedRow* to,
                      Barrier& sync) {
    Share& mine = shares[me];
    const std::uint64_t anyKey = from->key;
    const std::ptrdiff_t at = mine.begin - from;
    const std::ptrdiff_t size = mine.end - mine.begin;
    mine.differing = differingBits(mine.begin, mine.end, anyKey);
    sync.arrive_and_wait();
    std::uint64_t differing = 0;
    for (const Share& s : shares) {
        differing |= s.differing;
    }
    for (int pass = 0; pass < kPasses; ++pass) {
        const int shift = pass * kDigitBits;
        if (((differing >> shift) & kDigitMask) == 0) {
            continue; // every key has this digit
        }
        KeyedRow* const begin = from + at;
        countDigits(begin, begin + size, shift, mine.count);
        sync.arrive_and_wait();
        Counts offset;
        std::size_t before = 0;
        for (std::size_t b = 0; b < kBuckets; ++b) {
            for (std::size_t s = 0; s < shares.size(); ++s) {
                if (s == me) {
                    offset[b] = before;
                }
                before += shares[s].count[b];
            }
        }
        for (const KeyedRow* e = begin; e != begin + size; ++e) {
            to[offset[(e->key >> shift) & kDigitMask]++] = *e;
        }
        sync.arrive_and_wait(); // every row is in place before the next count
        std::swap(from, to);
    }
    return from;
}

} // namespace

void StableSortByKey(KeyedRow* first, KeyedRow* last, Keys& scratch) {
    const std::ptrdiff_t n = last - first;
    if (n < kRadixThreshold) {
        std::stable_sort(first, last,
                         [](const KeyedRow& a, const KeyedRow& b) { return a.key < b.key; });
        return;
    }
    scratch.resize(static_cast<std::size_t>(n));
    const std::size_t parts = n >= kTwoCoreRows ? 2 : 1;
    std::vector<Share> shares(parts);
    for (std::size_t s = 0; s < parts; ++s) {
        shares[s].begin =
            first + n * static_cast<std::ptrdiff_t>(s) / static_cast<std::ptrdiff_t>(parts);
        shares[s].end =
            first + n * static_cast<std::ptrdiff_t>(s + 1) / static_cast<std::ptrdiff_t>(parts);
    }
    std::barrier sync(static_cast<std::ptrdiff_t>(parts));
    KeyedRow* sorted = nullptr;
    {
        std::optional<SideTask> helper;
        if (parts == 2) {
            helper.emplace([&] { radixPasses(1, shares, first, scratch.data(), sync); });
        }
        sorted = radixPasses(0, shares, first, scratch.data(), sync);
        WaitFor(helper);
    }
    if (sorted != first) {
        std::copy(sorted, sorted + n, first);
    }
}

} // namespace kestrune
