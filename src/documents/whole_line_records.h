#pragma once
// The quick way through a document held whole in memory: when every line is
// exactly one record, the lines are independent, so both halves of a large
// document are read at once, straight into the table. Anything else (a
// record spread over lines, an empty line, a line too long to be taken in
// one piece) is left to the item-by-item reader, which gives the same rows.

#include "model/model_table.h"

#include <string_view>

namespace kestrune {

// Reads the records of bytes into rows 1 to n of table, n being the number
// of lines, when each line holds exactly fields items (9: no Mms, or 10) by
// the item rules and is at most maxLine bytes long. Returns n, or -1 when
// some line is not such a record; the rows it wrote are then emptied again.
std::int32_t ReadWholeLineRecords(std::string_view bytes, int fields, std::size_t maxLine,
                                  ModelTable& table);

// Documents and imported tables up to this size are read in one piece.
inline constexpr std::size_t kWholeReadLimit = std::size_t{1} << 31;

// The first item of bytes by the item rules ("" for an empty first line).
std::string_view FirstItem(std::string_view bytes);

// Where the second line of bytes begins when the first holds exactly n items
// by the item rules (a header); 0 when it does not.
std::size_t SkipLineOfItems(std::string_view bytes, int n, std::size_t maxLine);

} // namespace kestrune
