#pragma once
// One model as it travels through the clipboard and the undo.

#include "model/model_table.h"
#include "runtime/str255.h"

#include <array>

namespace kestrune {

// One model without its Number: what a model text carries.
struct PasteBuffer {
    Str255 s_Manuf;
    Str255 s_SP;
    std::array<double, kParamCount> values{};
    // Which numbers were worked out rather than given (ValueColumn): a
    // model read from a text holds numbers given.
    std::array<bool, kParamCount> workedOut{};

    double& operator[](Param p) { return values[static_cast<std::size_t>(p)]; }
    double operator[](Param p) const { return values[static_cast<std::size_t>(p)]; }
};

} // namespace kestrune
