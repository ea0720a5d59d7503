#pragma once
// A stable order of rows by 64-bit unsigned keys, linear in the number of
// rows: least significant digit first radix passes over eight-byte words
// (the 32 highest differing bits of a key above its position), shared by
// the cores on a large sheet, then the few rows whose keys those bits do
// not tell apart put in order by their whole keys.

#include "runtime/zeroed_column.h"

#include <algorithm>
#include <cstdint>

namespace kestrune {

// Keys of a large table fill megabytes: large pages, as the columns have.
using KeyArray = ZeroedColumn<std::uint64_t>;

namespace key_sort_detail {

// A word: 32 bits of the key above the row's position.
constexpr int kWindowBits = 32;
constexpr std::uint64_t kPositionMask = (std::uint64_t{1} << kWindowBits) - 1;

// How far keys are shifted down for their windows, given the bits in
// which they differ: the 32 bits from the highest such bit down.
int WindowShift(std::uint64_t differing);
// Sorts the n words by their windows, stably, using scratch (n words);
// differing has the bits in which the windows differ. Returns the buffer
// the sorted words are in.
std::uint64_t* SortWindows(std::uint64_t* words, std::uint64_t* scratch, std::size_t n,
                           std::uint64_t differing);

inline std::size_t PositionOf(std::uint64_t word) {
    return static_cast<std::size_t>(word & kPositionMask);
}

// Puts each run of sorted words whose windows are equal in the order of
// their whole keys; a run is in the order of its positions, and stays so
// where the keys are equal.
template <typename Keys> void OrderTies(std::uint64_t* sorted, std::size_t n, const Keys& key) {
    auto before = [&](std::uint64_t a, std::uint64_t b) {
        return key(PositionOf(a)) < key(PositionOf(b));
    };
    for (std::size_t k = 0; k < n;) {
        std::size_t run = k + 1;
        while (run < n && sorted[run] >> kWindowBits == sorted[k] >> kWindowBits) {
            ++run;
        }
        std::uint64_t* const first = sorted + k;
        std::uint64_t* const last = sorted + run;
        // Most often the keys of a run are one and the same.
        const std::uint64_t firstKey = key(PositionOf(*first));
        std::uint64_t* differs = first + 1;
        while (differs < last && key(PositionOf(*differs)) == firstKey) {
            ++differs;
        }
        if (differs == last) {
            // in order already
        } else if (run - k <= 16) {
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
        k = run;
    }
}

} // namespace key_sort_detail

// Writes the rows begin + 1 .. end, whose keys are key(begin) .. key(end - 1),
// to order[begin .. end) in the order of their keys; rows with equal keys
// keep their order. A key is asked for up to three times, so it may be made
// from the row each time rather than kept. words is room the sort may use
// (grown as needed), so that the runs of one table can share it.
template <typename Keys>
void OrderRowsByKey(const Keys& key, std::size_t begin, std::size_t end, std::int32_t* order,
                    KeyArray& words) {
    namespace d = key_sort_detail;
    const std::size_t n = end - begin;
    if (n == 0) {
        return;
    }
    const std::uint64_t first = key(begin);
    std::uint64_t differing = 0;
    for (std::size_t k = begin; k < end; ++k) {
        differing |= key(k) ^ first;
    }
    const int shift = d::WindowShift(differing);
    words.growTo(2 * n);
    std::uint64_t* const packed = words.data();
    for (std::size_t k = 0; k < n; ++k) {
        packed[k] = (key(begin + k) >> shift) << d::kWindowBits | (begin + k);
    }
    std::uint64_t* const sorted =
        d::SortWindows(packed, packed + n, n, (differing >> shift) << d::kWindowBits);
    if (shift > 0) { // the bits below the window may still tell keys apart
        d::OrderTies(sorted, n, key);
    }
    for (std::size_t k = 0; k < n; ++k) {
        order[begin + k] = static_cast<std::int32_t>(d::PositionOf(sorted[k]) + 1);
    }
}

// The same for keys kept in an array, keys[begin .. end).
inline void OrderRowsByKey(const KeyArray& keys, std::size_t begin, std::size_t end,
                           std::int32_t* order, KeyArray& words) {
    OrderRowsByKey([&keys](std::size_t k) { return keys[k]; }, begin, end, order, words);
}

} // namespace kestrune
