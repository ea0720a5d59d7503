#pragma once
// Copies elements picked by an order into consecutive places: the step that
// moves a column's rows when the sheet is sorted.

#include <cstddef>
#include <cstdint>

namespace kestrune {

// out[k] = data[order[k]] for k below n.
template <typename T>
void GatherByOrder(const T* data, const std::int32_t* order, std::size_t n, T* out) {
    // The reads are random once the data outgrows the cache: asking for a
    // few elements ahead keeps several of them under way at once.
    constexpr std::size_t kAhead = 16;
    const std::size_t prefetched = n > kAhead ? n - kAhead : 0;
    std::size_t k = 0;
    for (; k < prefetched; ++k) {
#if defined(__GNUC__)
        __builtin_prefetch(data + order[k + kAhead]);
#endif
        out[k] = data[order[k]];
    }
    for (; k < n; ++k) {
        out[k] = data[order[k]];
    }
}

} // namespace kestrune
