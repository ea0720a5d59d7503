#pragma once
// A stable order of rows by 64-bit unsigned keys, linear in the number of
// rows: least significant digit first radix passes over eight-byte words
// (the 32 highest differing bits of a key above its position), shared by
// the cores on a large sheet, then the few rows whose keys those bits do
// not tell apart put in order by their whole keys.

#include "runtime/zeroed_column.h"

#include <cstdint>

namespace kestrune {

// Keys of a large table fill megabytes: large pages, as the columns have.
using KeyArray = ZeroedColumn<std::uint64_t>;

// Writes the rows begin + 1 .. end, whose keys are keys[begin .. end), to
// order[begin .. end) in the order of their keys; rows with equal keys keep
// their order. words is room the sort may use (grown as needed), so that
// the runs of one table can share it.
void OrderRowsByKey(const KeyArray& keys, std::size_t begin, std::size_t end, std::int32_t* order,
                    KeyArray& words);

} // namespace kestrune
