#include "calculators/field_reading.h"

#include "model/app_state.h"
#include "runtime/number_field.h"
#include "runtime/number_text.h"

#include <limits>
#include <string>

namespace kestrune {

double fieldNumber(const Str255& text) {
    return ReadNumberField(text.view(), DecimalMarks::PointOrComma)
        .value_or(std::numeric_limits<double>::quiet_NaN());
}

void readField(const Str255& field, Str255& text, double& number) {
    text = field;
    number = fieldNumber(text);
}

CalcOutcome refuse(AppState& app, CalcOutcome why) {
    app.platform().SysBeep();
    app.calc.UncalcFlag = true;
    return why;
}

Str255 roundedText(double x, int scale) {
    const std::string text = RoundedPSstr(x, scale);
    return Str255(std::string_view(text));
}

} // namespace kestrune
