#include "sheet/key_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <random>
#include <utility>
#include <vector>

using namespace kestrune;

namespace {

// Row counts on both sides of the comparison sort's limit and of the two-core
// limit, odd and even; keys whose differences lie in the highest 32 differing
// bits, below them, in both, or in the lowest 32 bits only. Each run is a
// segment inside a larger array, as a sheet's runs between NaN rows are.
TEST(OrderRowsByKey, IsTheStableOrderOfTheKeysForEverySizeAndShapeOfKeys) {
    std::mt19937_64 rng(5);
    const std::vector<std::pair<const char*, std::function<std::uint64_t()>>> shapes = {
        {"spread", [&] { return rng(); }},
        {"lowest 32 bits only", [&] { return rng() % (std::uint64_t{1} << 20); }},
        {"crowded", [&] { return rng() % 10 != 0 ? std::uint64_t{77} << 40 : rng(); }},
        {"apart only below the window", [&] { return (rng() % 2) << 62 | rng() % 4096; }},
        {"both", [&] { return (rng() % 8) << 50 | rng() % 64; }},
    };
    constexpr std::size_t kBefore = 3; // rows in front of the segment
    constexpr std::size_t kAfter = 2;
    KeyArray words; // shared by every run, as one sort's segments share it
    for (const std::size_t n : {1, 2, 255, 256, 257, 32767, 32768, 32769, 65537}) {
        for (const auto& [what, draw] : shapes) {
            KeyArray keys(kBefore + n + kAfter);
            std::generate(keys.begin(), keys.end(), draw);
            std::vector<std::int32_t> expected(n);
            std::iota(expected.begin(), expected.end(), static_cast<std::int32_t>(kBefore + 1));
            std::stable_sort(expected.begin(), expected.end(), [&](std::int32_t a, std::int32_t b) {
                return keys[static_cast<std::size_t>(a - 1)] <
                       keys[static_cast<std::size_t>(b - 1)];
            });
            std::vector<std::int32_t> order(keys.size(), -1);
            OrderRowsByKey(keys, kBefore, kBefore + n, order.data(), words);
            for (std::size_t k = 0; k < keys.size(); ++k) {
                const bool inside = k >= kBefore && k < kBefore + n;
                ASSERT_EQ(order[k], inside ? expected[k - kBefore] : -1)
                    << what << ", " << n << " rows, place " << k;
            }
        }
    }
}

} // namespace
