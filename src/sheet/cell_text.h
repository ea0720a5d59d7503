#pragma once
// The sheet's fixed geometry and the text every cell shows: where the header
// labels, row numbers and values go and how a stored number becomes its
// on-screen text. Positions are sheet pixels before the xSft/ySft offsets.

#include "model/model_table.h"
#include "ports/canvas.h"
#include "runtime/str255.h"

#include <cstdint>
#include <string_view>

namespace kestrune {

constexpr std::int32_t kSheetColumnCount = 11; // row number, two names, eight parameters
constexpr std::int32_t kRowHeight = 16;
constexpr std::int32_t kLabelBaseline = 13;       // header label line
constexpr std::int32_t kUnitBaseline = 28;        // header unit line
constexpr std::int32_t kSuperscriptBaseline = 24; // the "2" of cm2, the "3" of cm3
constexpr std::int32_t kCellAreaRight = 728;
constexpr std::int32_t kManufacturerX = 34;
constexpr std::int32_t kModelNameX = 146;

// Fonts and sizes of the sheet's texts.
constexpr std::int32_t kHeaderFont = 8; // labels, units, row numbers
constexpr double kHeaderFontSize = 13.0;
constexpr double kSuperscriptFontSize = 9.0;
constexpr std::int32_t kCellFont = 5; // names and values
constexpr double kCellFontSize = 12.0;
constexpr std::int32_t kControlFont = 1; // the tool area's controls
constexpr double kControlFontSize = 12.0;

// Baseline of the texts on line lineNo (1 is the first line below the header).
constexpr double LineBaseline(std::int64_t lineNo) {
    return 29.0 + static_cast<double>(kRowHeight * lineNo);
}

// The two header lines of a column; empty texts are not drawn.
struct ColumnHeader {
    std::string_view label;
    std::int32_t labelX;
    std::string_view unit;
    std::int32_t unitX;
    std::string_view superscript; // drawn small into the blanks of the unit
    std::int32_t superscriptX;
};

// Columns 0 to 10 (the cellH numbering); nullptr for any other index.
const ColumnHeader* HeaderOfColumn(std::int32_t index);

// Left and right x of the selected column: 0 to 728 in row mode (cellH 0 or
// less), else the column's extent.
struct ColumnExtent {
    std::int32_t x0;
    std::int32_t x1;
};
ColumnExtent SelectionColumnExtent(std::int32_t cellH);

// A text and the x of its baseline's left end.
struct PlacedText {
    Str255 text;
    std::int32_t x = 0;
};

// The row-number text of a row, right-aligned up to 999.
PlacedText RowNumberText(std::int32_t row);

// Where the glyphs of a row number may go: the number column up to its
// divider. Longer numbers are fitted into it (FitText).
TextBox RowNumberBox();

// A parameter as its column shows it: rounded for display, decimals filled
// in, aligned on the integer digits.
PlacedText ValueText(Param p, double v);

// Where the glyphs of a value may go: its column between the grid lines.
TextBox ValueBox(Param p);

// Fills in trailing decimal zeros of a number text: mode 1 to one decimal,
// mode 2 to two, mode 3 to three; never shortens. Other modes change nothing.
Str255 PlusCommaZero(const Str255& text, std::int32_t mode);

// The number in text rounded to the edit precision of column cellH; the
// row-number and name columns (0 to 2) give the text back unchanged.
Str255 DigitOpt(const Str255& text, std::int32_t cellH);

} // namespace kestrune
