#include "services/print_scale.h"

#include <algorithm>
#include <cmath>

namespace kestrune {
namespace {

// Page widths over heights above this are wide pages, fitted by their height.
constexpr double kWidePageRatio = 1.35;
// However small the paper, the table is drawn at least this large.
constexpr double kLeastScale = 1.0;

} // namespace

PageRect AdjustedPageRect(const PageFormat& format) {
    const double width = format.landscape ? format.paperHeight : format.paperWidth;
    const double height = format.landscape ? format.paperWidth : format.paperHeight;
    return {-format.margins.top, -format.margins.left, height - format.margins.top,
            width - format.margins.left};
}

PrintableSize PrintableSizeOf(const PageFormat& format) {
    const PageRect page = AdjustedPageRect(format);
    return {page.right - format.margins.right, page.bottom - format.margins.bottom};
}

double FittedPageScale(const PageRect& adjustedPage) {
    const double bottom = adjustedPage.bottom;
    const double right = adjustedPage.right;
    const double x = right / bottom > kWidePageRatio ? 0.1374408 * bottom + 1.222749
                                                     : (0.0973154 * right - 0.399329) * 1.04;
    return std::rint(x);
}

double CalcPrintPageScale(const PageFormat& format, double userScale) {
    const PrintableSize room = PrintableSizeOf(format);
    const double fits = std::floor(
        100.0 * std::min(room.width / kPrintedExtent.right, room.height / kPrintedExtent.bottom));
    const double fitted = FittedPageScale(AdjustedPageRect(format));
    return std::max(kLeastScale, std::min(fitted, fits)) * userScale / 100.0;
}

} // namespace kestrune
