#pragma once
// A spreadsheet's table read into the sheet's rows, one model a record: a
// manufacturer, a model name and eight numbers. A record that is not one
// model (too few or too many fields, or a number field that holds anything
// but one number) is skipped, its line counted and the first few told why;
// blank lines, records of empty fields and a header line (first field
// "Manufacturer") are skipped without a word.

#include "documents/record_models.h"
#include "documents/spreadsheet_records.h"
#include "model/model_table.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

// How many skipped lines are named, and how many of them told why.
inline constexpr std::size_t kListedSkippedLines = 20;
inline constexpr std::size_t kDescribedSkippedLines = 5;

// A skipped line by number (1-based, as an editor counts them; a record
// over several lines by the line it begins on) and why it is not one model.
struct SkippedLine {
    std::int64_t line = 0;
    std::string reason;
};

// The lines an import skipped: how many, the first of them by number, and
// the first few with their reasons. A record longer than kMaxTableRecord
// loses its first line only; the lines after it are read anew.
struct SkippedLines {
    std::int64_t count = 0;
    std::vector<std::int64_t> first;
    std::vector<SkippedLine> described;
};

class ImportedRows {
public:
    // Rows go to table from row 1 on; room for lines of them is made at once.
    ImportedRows(ModelTable& table, NameText names, TableLayout layout, std::int32_t lines);

    // Where a reader's names go while another reader fills the same
    // columns: parts of the name columns of their own (none: straight into
    // the columns).
    struct NameParts {
        NameColumn::Part* manufacturer = nullptr;
        NameColumn::Part* modelName = nullptr;
    };

    // A reader of the lines from a line start further on, beside the reader
    // of the lines before them, which must have made room for them: its
    // rows are the rows after row after.row, its names go through
    // after.names, and it grows nothing. join() puts its rows after the
    // others once the parts have ended.
    struct After {
        std::int32_t row;
        NameParts names;
    };
    ImportedRows(ModelTable& table, NameText names, TableLayout layout, After after);
    ImportedRows(const ImportedRows&) = delete;
    ImportedRows& operator=(const ImportedRows&) = delete;

    // Reads the records of bytes, which follow the bytes of earlier calls
    // (a UTF-8 byte-order mark at the very start of a table is dropped).
    // Returns how many bytes it took: a record that may go on past them is
    // left, and must come again at the front of the next call's bytes. At
    // the end of the file every byte is taken.
    std::size_t read(std::string_view bytes, BytesEnd end);

    // Names go through parts (or, with none, straight into the columns).
    void writeNamesThrough(NameParts names) { parts_ = names; }

    // The rows and skipped lines of next, which read on from where this
    // reader stopped, come after this reader's.
    void join(ImportedRows& next);
    // Clears what next wrote into the table: its lines are read anew.
    void drop(ImportedRows& next);

    // Ends the table after the rows read: fNum and an empty row after it.
    void finish();

    // Room for this many bytes of names in each name column it fills, so
    // that they are not copied as they grow (memory never written costs
    // nothing).
    void reserveNameBytes(std::size_t bytes);

    std::int32_t rows() const { return rows_; }
    const SkippedLines& skipped() const { return skipped_; }
    // A continuation ran out of room: its lines must be read anew.
    bool overflowed() const { return overflowed_; }

private:
    ImportedRows(ModelTable& table, NameText names, TableLayout layout);
    // Rows 0 to last become addressable.
    void makeRoom(std::int32_t last);
    void take(const TableRecord& record);
    // Stores a model's names and values as the row after the others.
    // Numbers are doubles, or decimals as read from their text.
    template <typename Number>
    void store(std::string_view manufacturer, std::string_view modelName,
               const std::array<Number, kParamCount>& values);
    void skip(std::int64_t line, const RecordFault& fault);
    std::optional<double> number(std::string_view field) const;
    // Rows first to last (of the table) hold no numbers again.
    void clearNumbers(std::int32_t first, std::int32_t last);

    ModelTable& table_;
    NameText names_;
    TableLayout layout_;
    bool started_ = false;    // the byte-order mark is behind us
    bool firstRecord_ = true; // the one that may be a header
    bool skipping_ = false;   // the rest of a skipped line is still to come
    bool overflowed_ = false;
    std::int64_t line_ = 1;
    std::int32_t rows_ = 0;
    // A continuation's rows are table rows after_ + 1 on.
    std::int32_t after_ = 0;
    bool continuation_ = false;
    NameParts parts_;
    std::int32_t roomFor_ = 0; // the last row addressable in every column
    std::int32_t* number_ = nullptr;
    // Numbers go through writers of the reader's own; a continuation's are
    // taken on by the reader it joins, and finish() ends them.
    ModelTable::Writers params_;
    SkippedLines skipped_;
    TableRecord record_;
    PlainRecord plain_;
    // The bytes being read, from and to: fields cut from them lie within.
    std::uintptr_t readFrom_ = 0;
    std::uintptr_t readTo_ = 0;
};

} // namespace kestrune
