#include "documents/imported_rows.h"

#include "runtime/cores.h"
#include "runtime/line_breaks.h"
#include "runtime/mac_roman.h"
#include "runtime/number_text.h"
#include "runtime/table_numbers.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace kestrune {
namespace {

static_assert(std::tuple_size_v<decltype(PlainRecord::values)> == kParamCount);

// The table's row numbers are 32-bit and row fNum+1 must stay addressable.
constexpr std::int32_t kMaxRows = INT32_MAX - 2;

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

} // namespace

ImportedRows::ImportedRows(ModelTable& table, NameText names, TableLayout layout)
    : table_(table), names_(names), layout_(layout), params_(table.beginWriters()) {}

ImportedRows::ImportedRows(ModelTable& table, NameText names, TableLayout layout,
                           std::int32_t lines)
    : ImportedRows(table, names, layout) {
    makeRoom(std::clamp(lines, 0, kMaxRows) + 1);
}

ImportedRows::ImportedRows(ModelTable& table, NameText names, TableLayout layout, After after)
    : ImportedRows(table, names, layout) {
    started_ = true;
    firstRecord_ = false;
    continuation_ = true;
    after_ = after.row;
    parts_ = after.names;
    std::int64_t capacity = table.Number.capacity();
    for (Param p : kAllParams) {
        capacity = std::min(capacity, table.column(p).capacity());
    }
    roomFor_ = static_cast<std::int32_t>(std::min<std::int64_t>(capacity - 1, kMaxRows + 1LL));
    number_ = table.Number.data();
}

void ImportedRows::reserveNameBytes(std::size_t bytes) {
    if (parts_.manufacturer == nullptr) {
        table_.Manufacturer.reserveBytes(bytes);
        table_.ModelName.reserveBytes(bytes);
    }
}

void ImportedRows::makeRoom(std::int32_t last) {
    table_.ensureRows(last);
    roomFor_ = last;
    number_ = table_.Number.data();
}

std::size_t ImportedRows::read(std::string_view bytes, BytesEnd end) {
    if (!started_) {
        if (bytes.size() < kUtf8ByteOrderMark.size() && end != BytesEnd::File &&
            kUtf8ByteOrderMark.starts_with(bytes)) {
            return 0;
        }
        started_ = true;
        if (bytes.starts_with(kUtf8ByteOrderMark)) {
            return kUtf8ByteOrderMark.size() + read(bytes.substr(kUtf8ByteOrderMark.size()), end);
        }
    }
    readFrom_ = reinterpret_cast<std::uintptr_t>(bytes.data());
    readTo_ = readFrom_ + bytes.size();
    // The common record is read in one pass, anything else cut into fields.
    const bool plain = layout_.separator == ',' && layout_.decimals == DecimalMarks::Point;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::string_view rest = bytes.substr(pos);
        if (skipping_ || rest.front() == ' ' || rest.front() == '\t' || isLineEnd(rest.front())) {
            const std::size_t length = LineLength(rest, end);
            if (length == 0) {
                if (skipping_) {
                    // Nothing of it counts; a CR at the very end may still
                    // have its LF to come.
                    pos += rest.back() == '\r' ? rest.size() - 1 : rest.size();
                }
                break;
            }
            if (skipping_ || IsBlankLine(rest)) {
                skipping_ = false;
                pos += length;
                line_ += isLineEnd(rest[length - 1]) ? 1 : 0;
                continue;
            }
        }
        if (plain && !firstRecord_ && after_ + rows_ != kMaxRows && ReadPlainRecord(rest, plain_) &&
            plain_.length <= kMaxTableRecord) {
            store(plain_.manufacturer, plain_.modelName, plain_.values);
            pos += plain_.length;
            ++line_;
            continue;
        }
        const RecordCut cut = CutRecord(rest, layout_.separator, end, record_);
        if (cut == RecordCut::Unfinished && rest.size() < kMaxTableRecord) {
            break;
        }
        if (cut != RecordCut::Whole || record_.length > kMaxTableRecord) {
            // Only its first line goes; the lines after it are read anew.
            firstRecord_ = false;
            skip(line_, FaultOf(RecordFault::Kind::TooLong));
            skipping_ = true;
            continue;
        }
        take(record_);
        pos += record_.length;
        line_ += record_.lineEnds;
    }
    return end == BytesEnd::File ? bytes.size() : pos;
}

void ImportedRows::skip(std::int64_t line, const RecordFault& fault) {
    ++skipped_.count;
    if (skipped_.first.size() < kListedSkippedLines) {
        skipped_.first.push_back(line);
    }
    if (skipped_.described.size() < kDescribedSkippedLines) {
        // Its text as the names of the file read.
        const std::string text = NameToUtf8(fault.text, names_);
        RecordFault told = fault;
        told.text = text;
        skipped_.described.push_back({line, DescribeFault(told)});
    }
}

std::optional<double> ImportedRows::number(std::string_view field) const {
    // A plain decimal followed by the comma after it in the bytes read is
    // read as the document reader reads its numbers, eight bytes at a time.
    const auto at = reinterpret_cast<std::uintptr_t>(field.data());
    if (layout_.decimals == DecimalMarks::Point && at >= readFrom_ && at + field.size() < readTo_ &&
        field.data()[field.size()] == ',') {
        std::size_t stop = 0;
        double value = 0.0;
        if (readPlainDecimalField(std::string_view(field.data(), readTo_ - at), stop, value) &&
            stop == field.size()) {
            return value;
        }
    }
    return ReadTableNumber(field, layout_.decimals);
}

void ImportedRows::take(const TableRecord& record) {
    if (record.used == 0) {
        return; // empty fields only: a blank line to a spreadsheet
    }
    if (std::exchange(firstRecord_, false) && IsHeaderRecord(record)) {
        return;
    }
    if (after_ + rows_ == kMaxRows) {
        skip(line_, FaultOf(RecordFault::Kind::TooManyRows));
        return;
    }
    const std::string_view* fields = ModelFields(record);
    if (fields == nullptr) {
        skip(line_, FieldsFault(record));
        return;
    }
    std::array<double, kParamCount> values{};
    for (Param p : kAllParams) {
        const auto k = static_cast<std::size_t>(p);
        const std::optional<double> value = number(fields[k + 2]);
        if (!value) {
            skip(line_, NumberFault(p, fields[k + 2]));
            return;
        }
        values[k] = *value;
    }
    store(fields[0], fields[1], values);
}

template <typename Number>
void ImportedRows::store(std::string_view manufacturer, std::string_view modelName,
                         const std::array<Number, kParamCount>& values) {
    const std::int32_t r = rows_ + 1;
    if (after_ + r + 1 > roomFor_) {
        if (continuation_) {
            overflowed_ = true; // never written: the lines are read anew
            return;
        }
        // Grows by half again, so that a long table is not regrown row by
        // row (memory never written costs nothing).
        makeRoom(static_cast<std::int32_t>(
            std::min<std::int64_t>(std::int64_t{r} + 1 + r / 2, std::int64_t{kMaxRows} + 1)));
    }
    rows_ = r;
    const auto row = static_cast<std::size_t>(after_ + r);
    number_[row] = after_ + r;
    for (std::size_t k = 0; k < kParamCount; ++k) {
        params_[k].put(row, values[k]);
    }
    // A part has room for what every byte its reader reads can become (a
    // Mac OS Roman byte takes up to three in UTF-8).
    const std::int32_t at = after_ + r;
    if (parts_.manufacturer != nullptr) {
        parts_.manufacturer->set(at, manufacturer, names_);
        parts_.modelName->set(at, modelName, names_);
    } else {
        table_.Manufacturer.set(at, manufacturer, names_);
        table_.ModelName.set(at, modelName, names_);
    }
}

void ImportedRows::clearNumbers(std::int32_t first, std::int32_t last) {
    if (first > last) {
        return;
    }
    const auto from = static_cast<std::size_t>(first);
    const auto count = static_cast<std::size_t>(last - first + 1);
    std::fill_n(number_ + from, count, 0);
    for (Param p : kAllParams) {
        std::fill_n(table_.column(p).codes().data() + from, count, ValueColumn::Code{0});
    }
}

void ImportedRows::join(ImportedRows& next) {
    // The next reader's rows move down to follow these: the lines between
    // were blank, skipped or parts of longer records.
    const std::int32_t first = rows_ + 1;
    const std::int32_t count = next.rows_;
    if (count > 0) {
        const auto to = static_cast<std::size_t>(first);
        const auto from = static_cast<std::size_t>(next.after_ + 1);
        const auto moveNumbers = [&](std::size_t firstColumn, std::size_t lastColumn) {
            if (to == from) {
                return; // the lines between were a header line at most
            }
            for (std::size_t k = firstColumn; k < lastColumn; ++k) {
                ValueColumn::Code* codes = table_.column(kAllParams[k]).codes().data();
                std::memmove(codes + to, codes + from,
                             static_cast<std::size_t>(count) * sizeof(ValueColumn::Code));
                if (next.params_[k].keptWhole()) {
                    double* whole = table_.column(kAllParams[k]).whole().data();
                    std::memmove(whole + to, whole + from,
                                 static_cast<std::size_t>(count) * sizeof(double));
                }
            }
        };
        for (std::size_t k = 0; k < kParamCount; ++k) {
            params_[k].adopt(next.params_[k]);
        }
        // Each name trades places with the empty row it moves to, which
        // moves no name's bytes; the rows after the moved ones end empty.
        const auto moveNames = [&](NameColumn& names) {
            if (first == next.after_ + 1) {
                return;
            }
            for (std::int32_t k = 0; k < count; ++k) {
                names.swap(first + k, next.after_ + 1 + k);
            }
        };
        // Half the columns on each core.
        RunBeside(
            [&] {
                moveNumbers(0, kParamCount / 2);
                moveNames(table_.Manufacturer);
            },
            [&] {
                moveNumbers(kParamCount / 2, kParamCount);
                moveNames(table_.ModelName);
                for (std::int32_t k = 0; k < count; ++k) {
                    number_[to + static_cast<std::size_t>(k)] = first + k;
                }
            });
        clearNumbers(std::max(first + count, next.after_ + 1), next.after_ + count);
    }
    rows_ += count;
    skipped_.count += next.skipped_.count;
    for (const std::int64_t line : next.skipped_.first) {
        if (skipped_.first.size() < kListedSkippedLines) {
            skipped_.first.push_back(line + line_ - 1);
        }
    }
    for (const SkippedLine& described : next.skipped_.described) {
        if (skipped_.described.size() < kDescribedSkippedLines) {
            skipped_.described.push_back({described.line + line_ - 1, described.reason});
        }
    }
    line_ += next.line_ - 1;
}

void ImportedRows::drop(ImportedRows& next) {
    clearNumbers(next.after_ + 1, next.after_ + next.rows_);
    for (std::int32_t r = next.after_ + 1; r <= next.after_ + next.rows_; ++r) {
        table_.Manufacturer.set(r, {});
        table_.ModelName.set(r, {});
    }
}

void ImportedRows::finish() {
    const std::int32_t n = rows_;
    // Number learns its highest row as one written through it would.
    table_.endWriters({&params_, 1});
    if (n > 0) {
        table_.Number[n] = n;
    }
    table_.fNum = n;
    table_.emptyRow(n + 1, true);
}

} // namespace kestrune
