#pragma once
// The text a document keeps of a number of the table: what Save writes and
// what the edit field shows.

#include "model/model_table.h"

#include <cstdint>
#include <string>

namespace kestrune {

// Row's number of column p written at out (room for kMaxNumberText bytes)
// as a document keeps it: a number within the column's places, or one
// worked out, as documents always wrote it; a number given with more
// places with each of them. Returns the end.
inline char* WriteKeptNumber(char* out, const ModelTable& table, Param p, std::int32_t row) {
    const ValueColumn& column = table.column(p);
    const int places = kKeptPlaces[static_cast<std::size_t>(p)];
    const int scale = kScaleOfPlaces[static_cast<std::size_t>(places)];
    if (PlainDecimal decimal; column.decimalAt(row, decimal)) {
        // The usual number, within the places, goes the way it always went.
        return decimal.places <= places ? writeRoundedPSstr(out, decimal, scale)
                                        : writeKeptPSstr(out, decimal, places);
    }
    const double value = column.get(row);
    return column.workedOutAt(row) ? writeRoundedPSstr(out, value, scale)
                                   : writeKeptPSstr(out, value, places);
}

// The same as a text.
std::string KeptNumberText(const ModelTable& table, Param p, std::int32_t row);

} // namespace kestrune
