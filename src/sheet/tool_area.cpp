#include "sheet/tool_area.h"

#include <array>

namespace kestrune {
namespace {

struct ColumnTexts {
    const char* label;
    const char* help;
};

constexpr std::array<ColumnTexts, 11> kColumns = {{
    {"Selected Model", "Thiele/Small Parameters"},
    {"Manufacturer", "Manufacturer"},
    {"Model Name ..", "Model Name"},
    {"Dia ........ (cm)", "Nominal Diameter"},
    {"Fp .......... (Hz)", "Passive Radiator Free Air Resonance"},
    {"Vap ..... (Liter)", "Passive Radiator Acoustic Volume"},
    {"Qmp ..............", "Passive Radiator Mechanical Q Factor"},
    {"Sd ........ (cm\u00B2)", "Diaphragm Effective Area"},
    {"Xmax ... (mm)", "Peak Liner Displacement"},
    {"Vd ........ (cm\u00B3)", "Peak Displacement Volume"},
    {"Mms .. (grams)", "Passive Radiator Effective Mass"},
}};

const ColumnTexts& columnTexts(std::int32_t cellH) {
    return kColumns[static_cast<std::size_t>(cellH >= 0 && cellH <= 10 ? cellH : 0)];
}

} // namespace

std::string ColumnLabel(std::int32_t cellH) {
    return columnTexts(cellH).label;
}

std::string ColumnHelp(std::int32_t cellH) {
    return columnTexts(cellH).help;
}

std::string SendButtonTitle(std::int32_t transMethod) {
    return transMethod == 2 ? "Copy" : "Send";
}

std::string SendButtonHelp(std::int32_t transMethod, bool rowMode) {
    std::string help =
        transMethod == 2 ? "Copy Parameters to Clipboard" : "Send Parameters to Tarnwell";
    help += rowMode ? "\nShortcut is 'Enter'" : "\nShortcut is 'Option + Enter'";
    return help;
}

} // namespace kestrune
