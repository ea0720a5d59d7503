#include "documents/imported_rows.h"

#include "runtime/mac_roman.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kestrune {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
// The table's row numbers are 32-bit and row fNum+1 must stay addressable.
constexpr std::int32_t kMaxRows = INT32_MAX - 2;

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

bool beyondAscii(std::string_view bytes) {
    return std::any_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

} // namespace

ImportedRows::ImportedRows(ModelTable& table, NameText names, std::int32_t expectedRows)
    : table_(table), names_(names) {
    makeRoom(std::clamp(expectedRows, 0, kMaxRows) + 1);
}

void ImportedRows::makeRoom(std::int32_t last) {
    table_.ensureRows(last);
    roomFor_ = last;
    number_ = table_.Number.data();
    for (Param p : kAllParams) {
        params_[static_cast<std::size_t>(p)] = table_.column(p).data();
    }
}

std::size_t ImportedRows::read(std::string_view bytes, bool atEnd) {
    if (!started_) {
        if (bytes.size() < kUtf8ByteOrderMark.size() && !atEnd &&
            kUtf8ByteOrderMark.starts_with(bytes)) {
            return 0;
        }
        started_ = true;
        if (bytes.starts_with(kUtf8ByteOrderMark)) {
            return kUtf8ByteOrderMark.size() + read(bytes.substr(kUtf8ByteOrderMark.size()), atEnd);
        }
    }
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::string_view rest = bytes.substr(pos);
        if (skipping_ || rest.front() == ' ' || rest.front() == '\t' || isLineEnd(rest.front())) {
            const std::size_t length = LineLength(rest, atEnd);
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
        if (!layoutKnown_) {
            if (!DetectTableLayout(rest, atEnd, layout_) && rest.size() < kMaxTableRecord) {
                break;
            }
            layoutKnown_ = true;
        }
        const RecordCut cut = CutRecord(rest, layout_.separator, atEnd, record_);
        if (cut == RecordCut::Unfinished && rest.size() < kMaxTableRecord) {
            break;
        }
        if (cut != RecordCut::Whole || record_.length > kMaxTableRecord) {
            // Only its first line goes; the lines after it are read anew.
            firstRecord_ = false;
            skip();
            skipping_ = true;
            continue;
        }
        take(record_);
        pos += record_.length;
        line_ += record_.lineEnds;
    }
    return atEnd ? bytes.size() : pos;
}

void ImportedRows::skip() {
    ++skipped_.count;
    if (skipped_.first.size() < kListedSkippedLines) {
        skipped_.first.push_back(line_);
    }
}

std::string_view ImportedRows::name(std::string_view bytes, std::string& converted) const {
    if (names_ == NameText::MacRoman || !beyondAscii(bytes)) {
        return bytes;
    }
    converted = utf8ToMacRoman(bytes);
    return converted;
}

void ImportedRows::take(const TableRecord& record) {
    if (std::exchange(firstRecord_, false) && record.fields[0] == kCSVHeaderFirstField) {
        return;
    }
    std::array<double, kParamCount> values{};
    if (record.count != kTableFields || rows_ == kMaxRows) {
        skip();
        return;
    }
    for (Param p : kAllParams) {
        const auto k = static_cast<std::size_t>(p);
        const std::optional<double> value = ReadNumberField(record.fields[k + 2], layout_.decimals);
        if (!value) {
            skip();
            return;
        }
        values[k] = *value;
    }
    const std::int32_t r = ++rows_;
    if (r + 1 > roomFor_) {
        // Grows by half again, so that a long table is not regrown row by
        // row (memory never written costs nothing).
        makeRoom(static_cast<std::int32_t>(
            std::min<std::int64_t>(std::int64_t{r} + 1 + r / 2, std::int64_t{kMaxRows} + 1)));
    }
    const auto row = static_cast<std::size_t>(r);
    number_[row] = r;
    for (std::size_t k = 0; k < kParamCount; ++k) {
        params_[k][row] = values[k];
    }
    table_.Manufacturer.set(r, name(record.fields[0], convertedManufacturer_));
    table_.ModelName.set(r, name(record.fields[1], convertedModelName_));
}

void ImportedRows::finish() {
    const std::int32_t n = rows_;
    // The columns learn their highest row as one written through them would.
    if (n > 0) {
        table_.Number[n] = n;
        for (Param p : kAllParams) {
            table_.column(p)[n] = table_.value(p, n);
        }
    }
    table_.fNum = n;
    table_.emptyRow(n + 1, true);
}

} // namespace kestrune
