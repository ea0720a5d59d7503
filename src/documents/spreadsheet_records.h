#pragma once
// The lines of a table as spreadsheets write them, from a file or pasted.
// Fields are parted by one separator (a comma, a tab or a semicolon). A
// field whose first byte past its blanks is a double quote is quoted when
// the next lone double quote closes it before the separator or the line end
// (blanks aside) and within kMaxTableRecord bytes of the record's start:
// inside it the separator is text, "" is one double quote, and a line break
// is a blank, so that one record may go on over several lines. Any other
// field, blanks and quotes included, runs up to the next separator or line
// end. A line ends at CR, LF or CR LF.

#include "runtime/number_field.h"

#include "runtime/number_text.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrune {

// A model's record: the two names and the eight numbers.
inline constexpr int kTableFields = 10;
// A record longer than this is not a model (a quote left open, most
// likely), and no quoted field reaches beyond it.
inline constexpr std::size_t kMaxTableRecord = std::size_t{64} << 10;

// How a table parts its fields and writes its decimals.
struct TableLayout {
    char separator = ',';
    DecimalMarks decimals = DecimalMarks::Point;
};

// One record cut into its fields. The texts point into the bytes cut, or
// into the record's own storage where unquoting changed them; they stay
// valid until the next cut into the same record.
struct TableRecord {
    // The first kTableFields + 1 fields (a row number may stand before a
    // model's); a record with more is only counted.
    std::array<std::string_view, kTableFields + 1> fields{};
    int count = 0;
    // The fields up to the last one that holds more than blanks: 0 for a
    // record of empty fields.
    int used = 0;
    // The bytes the record takes, its line end included.
    std::size_t length = 0;
    // The line ends it takes (its last line's included, when it has one).
    std::int64_t lineEnds = 0;
    std::array<std::string, kTableFields + 2> storage;
};

// What follows the bytes handed over.
enum class BytesEnd {
    More,      // more bytes, anywhere in a record
    LineStart, // more bytes, from the start of a line: a CR at the end ends its line
    File,      // nothing
};

enum class RecordCut {
    Whole,      // record holds the record that starts the bytes
    Unfinished, // the bytes end before it does: more bytes are needed
};

// Cuts the record at the start of bytes. A quoted field loses the blanks
// around its quotes (spaces, and tabs when they do not part fields); an
// unquoted one keeps them. At the end of the file every record is whole.
RecordCut CutRecord(std::string_view bytes, char separator, BytesEnd end, TableRecord& record);

// The common record, read in one pass: comma-separated with decimal points,
// on one line that ends within the bytes (LF, CR LF or a CR followed by
// another byte), its names unquoted or simply quoted (no doubled quote, and
// the comma right after the closing one; blanks before the opening quote
// only), its eight numbers plain decimals
// (a sign, digits and at most one point, blanks before them) with the comma
// or the line end right after them.
struct PlainRecord {
    std::string_view manufacturer;
    std::string_view modelName;
    // The numbers as their texts give them; value() is what reading the
    // field as a number gives.
    std::array<PlainDecimal, kTableFields - 2> values{};
    // The bytes it takes, its line end included.
    std::size_t length = 0;
};

// Reads the record at the start of bytes when it is such a record, and
// gives what CutRecord and ReadNumberField give for it; false for any
// other, which is left to them.
bool ReadPlainRecord(std::string_view bytes, PlainRecord& record);

// The length of the line that starts bytes, its line end included; 0 when
// its end (or the byte after a closing CR) may lie beyond bytes.
std::size_t LineLength(std::string_view bytes, BytesEnd end);

// True when the line that starts bytes holds nothing but spaces and tabs.
bool IsBlankLine(std::string_view bytes);

// Moves start past a UTF-8 byte-order mark and the blank lines after it, to
// where the first record begins; false when the blank lines may go on
// beyond start.
bool SkipToFirstRecord(std::string_view& start, BytesEnd end);

// The fields of a record that may hold a model: all of them, but for blank
// ones after the tenth.
int ModelFieldCount(const TableRecord& record);

// The decimal mark of the numbers of the records that start bytes (their
// third to tenth fields), read as far as the bytes go or until the numbers
// have told; fallback when they do not tell.
DecimalMarks DecimalMarksOf(std::string_view bytes, char separator, BytesEnd end,
                            DecimalMarks fallback);

// The layout of a table from its first record (the header or the first
// model, after a UTF-8 byte-order mark and blank lines): tabs when the
// record has tabs and no comma outside quotes, or splits into ten fields at
// tabs and not at commas; semicolons when it splits into ten fields at
// semicolons and not at commas; commas otherwise, also when the record does
// not end within start. A table of commas writes decimal points; with tabs
// or semicolons the numbers in start tell the mark, and when they do not,
// tabs go with points and semicolons with commas.
TableLayout TableLayoutOf(std::string_view start, BytesEnd end);

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

} // namespace kestrune
