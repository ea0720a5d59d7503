#pragma once
// One model from a record of a table's text, as an import and a paste of
// rows both take it, and in words why a record is none.

#include "documents/spreadsheet_records.h"
#include "model/model_table.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrune {

inline constexpr std::string_view kCSVHeaderFirstField = "Manufacturer";

// Why a record is not one model.
struct RecordFault {
    enum class Kind { Fields, NotANumber, NotAModel, TooLong, TooManyRows };
    Kind kind = Kind::Fields;
    int fields = 0; // Fields: how many the record has
    Param param{};  // NotANumber: which number
    // NotANumber and NotAModel: the text, in UTF-8 when it is described.
    std::string_view text;
};

// The ten fields of the model in a record: the first ten when any after
// them are blank, the ten after a first that is a row number (digits
// only); nullptr when the record holds no model's fields.
const std::string_view* ModelFields(const TableRecord& record);

// A header line: the first of its model's fields (or its first field) is
// "Manufacturer", exactly.
bool IsHeaderRecord(const TableRecord& record);

// The faults of records with the wrong fields, and of a number field; any
// other is its kind alone, or a text that is no model.
RecordFault FieldsFault(const TableRecord& record);
RecordFault FaultOf(RecordFault::Kind kind, std::string_view text = {});
RecordFault NumberFault(Param p, std::string_view text);

// The fault in words: "8 fields, 10 expected", "Vd “1,089.5 mm” is not a
// number"; a long text is cut short.
std::string DescribeFault(const RecordFault& fault);

} // namespace kestrune
