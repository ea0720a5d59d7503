#include "sheet/key_sort.h"

#include "runtime/cores.h"

#include <algorithm>
#include <array>
#include <bit>
#include <utility>
#include <vector>

namespace kestrune {
namespace {

// Below this many rows a comparison sort beats the radix passes.
constexpr std::size_t kRadixThreshold = 256;
// From this many rows on, the cores share every pass.
constexpr std::size_t kSharedRows = std::size_t{1} << 15;
constexpr int kDigitBits = 11;
constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
constexpr std::uint64_t kDigitMask = kBuckets - 1;
// A word: 32 bits of the key above the row's position.
constexpr int kWindowBits = 32;
constexpr std::uint64_t kPositionMask = (std::uint64_t{1} << kWindowBits) - 1;
constexpr std::array<int, 3> kShifts = {32, 32 + kDigitBits, 32 + 2 * kDigitBits};

using Counts = std::array<std::size_t, kBuckets>;

// What each share of the words knows of itself, read by the other shares
// between passes.
struct Share {
    std::size_t begin = 0; // the share's words, by index
    std::size_t end = 0;
    Counts count{};
};

void countDigits(const std::uint64_t* first, const std::uint64_t* last, int shift, Counts& count) {
    count.fill(0);
    for (const std::uint64_t* w = first; w != last; ++w) {
        ++count[(*w >> shift) & kDigitMask];
    }
}

// The passes over the n words, run by one part of the work on its share of
// them; each pass scatters every share's words of a bucket after those of
// the shares before it, so it is stable. Every part takes the same
// decisions, and meets the others between the steps that read what they
// wrote. Returns the buffer the sorted words are in.
std::uint64_t* radixPasses(WorkPart& part, std::vector<Share>& shares, std::uint64_t* from,
                           std::uint64_t* to, std::size_t n, std::uint64_t differing) {
    const std::size_t me = part.index();
    Share& mine = shares[me];
    const WorkPart::Range range = part.share(n);
    mine.begin = range.begin;
    mine.end = range.end;
    for (const int shift : kShifts) {
        if (((differing >> shift) & kDigitMask) == 0) {
            continue; // every word has this digit
        }
        countDigits(from + mine.begin, from + mine.end, shift, mine.count);
        part.meet();
        Counts offset;
        std::size_t before = 0;
        for (std::size_t b = 0; b < kBuckets; ++b) {
            for (std::size_t s = 0; s < part.parts(); ++s) {
                if (s == me) {
                    offset[b] = before;
                }
                before += shares[s].count[b];
            }
        }
        for (const std::uint64_t* w = from + mine.begin; w != from + mine.end; ++w) {
            to[offset[(*w >> shift) & kDigitMask]++] = *w;
        }
        part.meet(); // every word is in place before the next count
        std::swap(from, to);
    }
    return from;
}

// Sorts the words by their upper halves, stably; differing has the bits in
// which those halves differ.
std::uint64_t* sortWords(std::uint64_t* words, std::uint64_t* scratch, std::size_t n,
                         std::uint64_t differing) {
    std::vector<Share> shares(PartsFor(n, kSharedRows));
    std::uint64_t* sorted = words;
    RunOnCores(shares.size(), [&](WorkPart& part) {
        std::uint64_t* mine = radixPasses(part, shares, words, scratch, n, differing);
        if (part.index() == 0) {
            sorted = mine;
        }
    });
    return sorted;
}

std::size_t positionOf(std::uint64_t word) {
    return static_cast<std::size_t>(word & kPositionMask);
}

// Puts a run of words whose windows are equal in the order of their whole
// keys. The run is in the order of its positions, and stays so where the
// keys are equal.
void orderRun(std::uint64_t* first, std::uint64_t* last, const KeyArray& keys) {
    auto before = [&](std::uint64_t a, std::uint64_t b) {
        return keys[positionOf(a)] < keys[positionOf(b)];
    };
    if (last - first <= 16) {
        for (std::uint64_t* i = first + 1; i < last; ++i) {
            const std::uint64_t w = *i;
            std::uint64_t* j = i;
            for (; j > first && before(w, *(j - 1)); --j) {
                *j = *(j - 1);
            }
            *j = w;
        }
    } else {
        std::stable_sort(first, last, before);
    }
}

} // namespace

void OrderRowsByKey(const KeyArray& keys, std::size_t begin, std::size_t end, std::int32_t* order,
                    KeyArray& words) {
    const std::size_t n = end - begin;
    if (n == 0) {
        return;
    }
    std::uint64_t differing = 0;
    for (std::size_t k = begin; k < end; ++k) {
        differing |= keys[k] ^ keys[begin];
    }
    // The 32 bits from the highest one in which keys differ down; above
    // them every key is the same.
    const int highest = differing == 0 ? 0 : 63 - std::countl_zero(differing);
    const int shift = std::max(0, highest + 1 - kWindowBits);
    words.growTo(2 * n);
    std::uint64_t* const packed = words.data();
    for (std::size_t k = 0; k < n; ++k) {
        packed[k] = (keys[begin + k] >> shift) << kWindowBits | (begin + k);
    }
    std::uint64_t* sorted = packed;
    if (n < kRadixThreshold) {
        std::stable_sort(packed, packed + n, [](std::uint64_t a, std::uint64_t b) {
            return a >> kWindowBits < b >> kWindowBits;
        });
    } else {
        sorted = sortWords(packed, packed + n, n, (differing >> shift) << kWindowBits);
    }
    if (shift > 0) { // the bits below the window may still tell keys apart
        for (std::size_t k = 0; k < n;) {
            std::size_t run = k + 1;
            while (run < n && sorted[run] >> kWindowBits == sorted[k] >> kWindowBits) {
                ++run;
            }
            if (run - k > 1) {
                orderRun(sorted + k, sorted + run, keys);
            }
            k = run;
        }
    }
    for (std::size_t k = 0; k < n; ++k) {
        order[begin + k] = static_cast<std::int32_t>(positionOf(sorted[k]) + 1);
    }
}

} // namespace kestrune
