#include "documents/record_models.h"

#include "runtime/utf8_text.h"

#include <algorithm>
#include <array>

namespace kestrune {
namespace {

constexpr std::array<std::string_view, kParamCount> kParamNames = {"Dia", "Fp",   "Vap", "Qmp",
                                                                   "Sd",  "Xmax", "Vd",  "Mms"};

// The characters of a field's text that a reason quotes.
constexpr std::size_t kQuotedCharacters = 24;

bool isRowNumber(std::string_view field) {
    return !field.empty() &&
           std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string quoted(std::string_view text) {
    const std::string_view shown = CutToCharacters(text, kQuotedCharacters);
    return "\u201C" + std::string(shown) + (shown.size() < text.size() ? "\u2026" : "") + "\u201D";
}

} // namespace

const std::string_view* ModelFields(const TableRecord& record) {
    if (record.count >= kTableFields && record.used <= kTableFields) {
        return record.fields.data();
    }
    if (record.used == kTableFields + 1 && isRowNumber(record.fields[0])) {
        return record.fields.data() + 1;
    }
    return nullptr;
}

bool IsHeaderRecord(const TableRecord& record) {
    const std::string_view* fields = ModelFields(record);
    return (fields != nullptr ? fields[0] : record.fields[0]) == kCSVHeaderFirstField;
}

RecordFault FieldsFault(const TableRecord& record) {
    RecordFault fault;
    fault.fields = ModelFieldCount(record);
    return fault;
}

RecordFault FaultOf(RecordFault::Kind kind, std::string_view text) {
    RecordFault fault;
    fault.kind = kind;
    fault.text = text;
    return fault;
}

RecordFault NumberFault(Param p, std::string_view text) {
    RecordFault fault;
    fault.kind = RecordFault::Kind::NotANumber;
    fault.param = p;
    fault.text = text;
    return fault;
}

std::string DescribeFault(const RecordFault& fault) {
    switch (fault.kind) {
    case RecordFault::Kind::Fields:
        return std::to_string(fault.fields) + (fault.fields == 1 ? " field, " : " fields, ") +
               std::to_string(kTableFields) + " expected";
    case RecordFault::Kind::NotANumber:
        return std::string(kParamNames[static_cast<std::size_t>(fault.param)]) + " " +
               quoted(fault.text) + " is not a number";
    case RecordFault::Kind::NotAModel:
        return quoted(fault.text) + " is not a model";
    case RecordFault::Kind::TooLong:
        return "too long for one model";
    case RecordFault::Kind::TooManyRows:
        return "more rows than a sheet holds";
    }
    return {};
}

} // namespace kestrune
