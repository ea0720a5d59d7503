#include "sheet/cell_text.h"

#include "runtime/number_text.h"

#include <array>
#include <cmath>
#include <string>

namespace kestrune {
namespace {

constexpr std::array<ColumnHeader, kSheetColumnCount> kHeaders = {{
    {"No", 6, "", 0, "", 0},
    {"Manufacturer", 45, "", 0, "", 0},
    {"Model Name", 174, "", 0, "", 0},
    {"Dia", 298, "(cm)", 295, "", 0},
    {"Fp", 357, "(Hz)", 353, "", 0},
    {"Vap", 408, "(Liter)", 403, "", 0},
    {"Qmp", 463, "", 0, "", 0},
    {"Sd", 524, "(cm  )", 516, "2", 540},
    {"Xmax", 571, "(mm)", 573, "", 0},
    {"Vd", 636, "(cm  )", 628, "3", 652},
    {"Mms", 686, "(grams)", 676, "", 0},
}};

// Where each parameter's text starts before its alignment offset.
constexpr std::array<std::int32_t, kParamCount> kValueBaseX = {297, 347, 395, 454,
                                                               506, 570, 618, 674};

// The cell font's digit pitch: one more integer digit moves a value one
// pitch to the left.
constexpr std::int32_t kDigitPitch = 8;

// Length of the number text of v's integer part: 2 for one digit, 3 for two...
std::int32_t integerWidth(double v) {
    return static_cast<std::int32_t>(PSstr(std::rint(v - 0.5)).size());
}

// Vap aligns on the whole text, which has no filled-in decimals.
std::int32_t vapOffset(const std::string& text) {
    const auto t = static_cast<std::int32_t>(text.size());
    switch (t) {
    case 0:
    case 1:
    case 2:
        return 18;
    case 3:
        return 14;
    case 4:
        return text.find('.') != std::string::npos ? 13 : 10;
    case 5:
        return 8;
    case 6:
        return 4;
    default:
        return -kDigitPitch * (t - 7);
    }
}

// Alignment offset by integer width w. Where the offsets level off (Sd at 5
// and 6 digits, Vd at 4 and 5) longer numbers keep moving left by a pitch.
std::int32_t widthOffset(Param p, std::int32_t w) {
    switch (p) {
    case Param::Dia:
    case Param::Qmp:
        return kDigitPitch * (3 - w);
    case Param::Fp:
        return kDigitPitch * (4 - w);
    case Param::Sd:
        return w <= 5 ? kDigitPitch * (5 - w) : -kDigitPitch * (w - 6);
    case Param::Xmax:
        return w == 2 ? 4 : -4;
    case Param::Vd:
        return w <= 4 ? kDigitPitch * (4 - w) : -kDigitPitch * (w - 5);
    case Param::Mms:
        return kDigitPitch * (5 - w);
    case Param::Vap:
        break;
    }
    return 0;
}

struct DisplayRule {
    int scale;         // rounding to 1/scale
    std::int32_t mode; // PlusCommaZero mode, 0 for none
};

DisplayRule displayRule(Param p, double v, std::int32_t w) {
    switch (p) {
    case Param::Dia:
    case Param::Fp:
    case Param::Sd:
    case Param::Mms:
        return {10, 1};
    case Param::Vap:
        return {100, 0};
    case Param::Qmp:
        return {1000, 3};
    case Param::Xmax:
        return {100, 2};
    case Param::Vd:
        return {v > 999.99 ? 10 : 100, w >= 5 ? 1 : 2};
    }
    return {1, 0};
}

} // namespace

const ColumnHeader* HeaderOfColumn(std::int32_t index) {
    if (index < 0 || index >= kSheetColumnCount) {
        return nullptr;
    }
    return &kHeaders[static_cast<std::size_t>(index)];
}

ColumnExtent SelectionColumnExtent(std::int32_t cellH) {
    if (cellH <= 0) {
        return {0, kCellAreaRight};
    }
    if (cellH == 1) {
        return {28, 140};
    }
    if (cellH == 2) {
        return {140, 280};
    }
    return {56 * cellH + 112, 56 * cellH + 168};
}

PlacedText RowNumberText(std::int32_t row) {
    PlacedText placed{Str255(PSstr(row)), -3};
    switch (placed.text.length()) {
    case 2:
        placed.x += 17;
        break;
    case 3:
        placed.x += 10;
        break;
    case 4:
        placed.x += 3;
        break;
    default:
        break;
    }
    return placed;
}

// Each grid line covers the pixel right of its column's x; texts keep one
// more pixel clear of it on either side.
TextBox RowNumberBox() {
    return {1.0, SelectionColumnExtent(1).x0 - 1.0};
}

TextBox ValueBox(Param p) {
    const ColumnExtent column = SelectionColumnExtent(3 + static_cast<std::int32_t>(p));
    return {column.x0 + 2.0, column.x1 - 1.0};
}

PlacedText ValueText(Param p, double v) {
    const std::int32_t w = integerWidth(v);
    const DisplayRule rule = displayRule(p, v, w);
    const std::string rounded = RoundedPSstr(v, rule.scale);
    const std::int32_t base = kValueBaseX[static_cast<std::size_t>(p)];
    if (p == Param::Vap) {
        return {Str255(rounded), base + vapOffset(rounded)};
    }
    return {PlusCommaZero(Str255(rounded), rule.mode), base + widthOffset(p, w)};
}

Str255 PlusCommaZero(const Str255& text, std::int32_t mode) {
    // Worked on an unbounded copy so that the sentinel always fits.
    std::string s(text.view());
    s.push_back('!');
    const std::size_t dot = s.find('.');
    const std::size_t p = dot == std::string::npos ? 0 : dot + 1;
    const std::size_t sentinel = s.find('!', p == 0 ? 0 : p - 1) + 1;
    const bool hasMinus = s.find('-') != std::string::npos;
    s.resize(sentinel - 1);
    const std::size_t d = sentinel - p;
    const bool hasDot = p != 0;
    switch (mode) {
    case 1:
        if (!hasDot) {
            s += ".0";
        }
        break;
    case 2:
        if (!hasDot) {
            s += ".00";
        } else if (d == 2) {
            s += "0";
        }
        break;
    case 3:
        if (hasDot) {
            if (d == 2) {
                s += "00";
            } else if (d == 3) {
                s += "0";
            }
        } else if (!hasMinus) {
            s += ".000";
        }
        break;
    default:
        break;
    }
    return Str255(s);
}

Str255 DigitOpt(const Str255& text, std::int32_t cellH) {
    // Edit precision of Dia to Mms (cellH 3 to 10) as a rounding scale.
    constexpr std::array<int, kParamCount> kEditScale = {100, 100, 100, 1000, 10, 100, 100, 10};
    if (cellH < 3 || cellH > 10) {
        return text;
    }
    const int scale = kEditScale[static_cast<std::size_t>(cellH - 3)];
    return Str255(RoundedPSstr(PSval(text.view()), scale));
}

} // namespace kestrune
