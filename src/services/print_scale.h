#pragma once
// How large the printed table is drawn on a paper: the fitted percentage
// of the page rectangle, made smaller where the table would leave the
// margins, times the user's scale.

#include "ports/print_job.h"

namespace kestrune {

// What a printed page covers, in points of the unscaled page from the
// corner inside the margins: the title above, the frame's bottom line and
// the last row's descenders below, and to the right room for a page label
// up to "Page :  999/ 999", which passes the frame's right edge; a longer
// label is narrowed to end there.
constexpr PageRect kPrintedExtent{5.0, 53.5, 705.0, 820.0};

// The paper's rectangle seen from the corner inside the margins: the top
// and left margins negative, the far edges of the paper turned as printed.
PageRect AdjustedPageRect(const PageFormat& format);

// The paper as printed, width and height, less its margins.
struct PrintableSize {
    double width = 0.0;
    double height = 0.0;
};
PrintableSize PrintableSizeOf(const PageFormat& format);

// The percentage the page rectangle asks for: by its height on a page more
// than 1.35 times as wide as high, else by its width; a whole number.
double FittedPageScale(const PageRect& adjustedPage);

// The scale in percent at which pages print on format: the fitted
// percentage, or the largest whole one at which the table stays inside the
// margins when that is smaller, times the user's scale userScale / 100
// (applied here and nowhere else).
double CalcPrintPageScale(const PageFormat& format, double userScale);

} // namespace kestrune
