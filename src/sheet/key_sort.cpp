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
using key_sort_detail::kWindowBits;
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

} // namespace

namespace key_sort_detail {

int WindowShift(std::uint64_t differing) {
    const int highest = differing == 0 ? 0 : 63 - std::countl_zero(differing);
    return std::max(0, highest + 1 - kWindowBits);
}

std::uint64_t* SortWindows(std::uint64_t* words, std::uint64_t* scratch, std::size_t n,
                           std::uint64_t differing) {
    if (n < kRadixThreshold) {
        std::stable_sort(words, words + n, [](std::uint64_t a, std::uint64_t b) {
            return a >> kWindowBits < b >> kWindowBits;
        });
        return words;
    }
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

} // namespace key_sort_detail
} // namespace kestrune
