#include "exchange/pasted_rows.h"

#include "documents/record_models.h"
#include "documents/spreadsheet_records.h"
#include "exchange/model_text.h"
#include "runtime/table_numbers.h"

#include <optional>

namespace kestrune {
namespace {

constexpr char kTab = '\t';

PastedRows refused(std::string refusal) {
    return {{}, std::move(refusal)};
}

// A spreadsheet's row, or what is wrong with it.
std::optional<PasteBuffer> readCells(const TableRecord& record, DecimalMarks marks,
                                     RecordFault& fault) {
    const std::string_view* cells = ModelFields(record);
    if (cells == nullptr) {
        fault = FieldsFault(record);
        return std::nullopt;
    }
    PasteBuffer model;
    model.s_Manuf = Str255(cells[0]);
    model.s_SP = Str255(cells[1]);
    for (Param p : kAllParams) {
        const std::string_view cell = cells[2 + static_cast<std::size_t>(p)];
        const std::optional<double> value = ReadTableNumber(cell, marks);
        if (!value) {
            fault = NumberFault(p, cell);
            return std::nullopt;
        }
        model[p] = *value;
    }
    return model;
}

std::string_view withoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
        line.remove_suffix(1);
    }
    return line;
}

} // namespace

PastedRows ReadPastedRows(std::string_view text) {
    if (text.size() > kMaxPastedRowsBytes) {
        return refused("Too much text to paste as rows");
    }
    const DecimalMarks marks = DecimalMarksOf(text, kTab, BytesEnd::File, DecimalMarks::Point);
    std::vector<PasteBuffer> models;
    TableRecord record;
    std::int64_t line = 1;
    bool header = false;
    for (std::string_view rest = text; !rest.empty();) {
        const std::size_t lineLength = LineLength(rest, BytesEnd::File);
        const std::string_view raw = withoutLineEnd(rest.substr(0, lineLength));
        CutRecord(rest, kTab, BytesEnd::File, record); // the whole text is there
        // A line without a tab is the line as it stands, quotes and all.
        const bool cells = record.count > 1;
        const std::size_t length = cells ? record.length : lineLength;
        const std::int64_t lineEnds = cells ? record.lineEnds : (raw.size() < lineLength ? 1 : 0);
        const std::int64_t at = line;
        rest.remove_prefix(length);
        line += lineEnds;
        if (record.used == 0) {
            continue; // a blank line
        }
        if (models.empty() && !header && cells && IsHeaderRecord(record)) {
            header = true;
            continue;
        }
        if (models.size() == kMaxPastedRows) {
            return refused("More than " + std::to_string(kMaxPastedRows) + " rows to paste");
        }
        RecordFault fault = FaultOf(RecordFault::Kind::NotAModel, raw);
        std::optional<PasteBuffer> model =
            cells ? readCells(record, marks, fault) : TextToParameterValue(raw);
        if (!model && cells && length == lineLength) {
            // The model text of a row whose name holds a tab.
            model = TextToParameterValue(raw);
        }
        if (!model) {
            return refused("Line " + std::to_string(at) + ": " + DescribeFault(fault));
        }
        models.push_back(std::move(*model));
    }
    if (models.empty()) {
        return refused(header ? "Only a header row to paste" : "No rows to paste");
    }
    return {std::move(models), {}};
}

} // namespace kestrune
