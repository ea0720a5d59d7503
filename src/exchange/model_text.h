#pragma once
// The model text: one model of the sheet as one line of text, the form in
// which models travel over the clipboard and to the sibling application.
// Fields are separated by two spaces (one of them is the leading space
// PSstr gives a non-negative number); the line ends with a carriage return.

#include "model/model_table.h"
#include "model/paste_buffer.h"
#include "runtime/str255.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrune {

// Two spaces end every field of a model text.
constexpr std::string_view kModelTextSeparator = "  ";
// What the sibling application expects before the model text.
constexpr std::string_view kSendTextPrefix = "DUMMY&  ";

// The model text of a row: each number rounded to the step of its
// parameter, the whole cut at 255 bytes (a long text loses its tail, the
// carriage return included).
Str255 ParameterValueToText(const ModelTable& table, std::int32_t row);

// The text sent to the sibling application: the prefix, then the model
// text, cut at 255 bytes.
Str255 SendText(const ModelTable& table, std::int32_t row);

// Reads one line of model text back into a model; a line end is ignored.
// The eight numbers are the last eight words of the line, so a negative or
// very small number, which has no leading space, reads back like any other;
// before them the Manufacturer ends at the first two spaces and the Model
// Name takes the rest. Nothing when the line does not read as a model: a
// word where a number belongs, a number beyond the doubles, no two spaces
// after the Manufacturer, or a ninth number before the eight.
std::optional<PasteBuffer> TextToParameterValue(std::string_view line);

// The exact values of a row, worked out or given, and whether a row still
// holds them.
PasteBuffer ModelOfRow(const ModelTable& table, std::int32_t row);
bool RowHoldsModel(const ModelTable& table, std::int32_t row, const PasteBuffer& model);
// Stores a model into a row; Number is left alone.
void StoreModel(ModelTable& table, std::int32_t row, const PasteBuffer& model);

} // namespace kestrune
