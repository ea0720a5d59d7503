#pragma once
// The quick way through a document held whole in memory: when every line is
// exactly one record, the lines are independent, so the parts of a large
// document are read at once, one a core, straight into the table. Anything
// else (a record spread over lines, an empty line, a line too long to be
// taken in one piece) is left to the item-by-item reader, which gives the
// same rows.

#include "model/model_table.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace kestrune {

// Bytes to read records from: held in memory, or read piece by piece (a
// file is never held whole beside the table it fills). readAt puts up to
// size bytes from offset at data and returns how many (0 when a read
// fails); two threads may call it at once.
struct RecordBytes {
    std::uint64_t size = 0;
    std::optional<std::string_view> inMemory;
    std::function<std::size_t(char* data, std::size_t size, std::uint64_t offset)> readAt;
};
RecordBytes RecordBytesInMemory(std::string_view bytes);

// The pieces a file is read in.
inline constexpr std::size_t kRecordPiece = std::size_t{256} << 10;

// Reads the records of bytes into rows 1 to n of table, n being the number
// of lines, when each line holds exactly fields items (9: no Mms, or 10) by
// the item rules and is at most maxLine bytes long. Returns n, or -1 when
// some line is not such a record or a read failed; the rows it wrote are
// then emptied again.
// names tells how the names are written.
std::int32_t ReadWholeLineRecords(const RecordBytes& bytes, int fields, std::size_t maxLine,
                                  ModelTable& table, NameText names,
                                  std::size_t piece = kRecordPiece);
inline std::int32_t ReadWholeLineRecords(std::string_view bytes, int fields, std::size_t maxLine,
                                         ModelTable& table, NameText names = NameText::MacRoman) {
    return ReadWholeLineRecords(RecordBytesInMemory(bytes), fields, maxLine, table, names);
}

} // namespace kestrune
