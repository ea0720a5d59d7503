#pragma once
// A stable sort of rows by a 64-bit unsigned key, linear in the number of
// rows: least significant digit first radix passes, shared by both cores on
// a large sheet.

#include "runtime/large_pages.h"

#include <cstdint>
#include <vector>

namespace kestrune {

// A row and its key as an unsigned integer whose order is the key's order.
struct KeyedRow {
    std::uint64_t key;
    std::int32_t row;
};

// Keys of a large table fill megabytes: large pages, as the columns have.
using Keys = std::vector<KeyedRow, LargePageAllocator<KeyedRow>>;

// Sorts first .. last by key; rows with equal keys keep their order. scratch
// is room the passes may use (resized as needed), so that the runs of one
// table can share it.
void StableSortByKey(KeyedRow* first, KeyedRow* last, Keys& scratch);

} // namespace kestrune
