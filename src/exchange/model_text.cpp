#include "exchange/model_text.h"

#include "runtime/number_field.h"
#include "runtime/number_text.h"

#include <cmath>
#include <string>

namespace kestrune {
namespace {

// Each parameter is written to 1/k of its unit: Dia, Sd and Mms to tenths,
// Fp, Xmax and Vd to hundredths, Vap and Qmp to thousandths.
constexpr std::array<int, kParamCount> kModelTextScale = {10, 100, 1000, 1000, 10, 100, 100, 10};

// A Model Name that ends, after two spaces, in a number holds a ninth number:
// the line has a field too many.
bool endsInNumberField(std::string_view name) {
    const std::size_t separator = name.rfind(kModelTextSeparator);
    if (separator == std::string_view::npos) {
        return false;
    }
    const std::string_view last = name.substr(separator + kModelTextSeparator.size());
    return last.find_first_not_of(' ') != std::string_view::npos &&
           ReadNumberField(last, DecimalMarks::Point).has_value();
}

bool sameValue(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

} // namespace

Str255 ParameterValueToText(const ModelTable& table, std::int32_t row) {
    std::string text;
    text.reserve(2 * Str255::kMaxLength);
    text += table.Manufacturer.get(row);
    text += kModelTextSeparator;
    text += table.ModelName.get(row);
    text += ' ';
    for (std::size_t i = 0; i < kAllParams.size(); ++i) {
        appendRoundedPSstr(text, table.value(kAllParams[i], row), kModelTextScale[i]);
        text += i + 1 < kAllParams.size() ? " " : "  \r";
    }
    return Str255(text);
}

Str255 SendText(const ModelTable& table, std::int32_t row) {
    Str255 text(kSendTextPrefix);
    text.append(ParameterValueToText(table, row).view());
    return text;
}

std::optional<PasteBuffer> TextToParameterValue(std::string_view line) {
    PasteBuffer model;
    // The numbers, from Mms back to Dia: words between runs of spaces.
    std::size_t end = line.find_last_not_of(" \r\n") + 1; // 0 for a blank line
    std::size_t start = end;
    for (std::size_t i = kParamCount; i-- > 0;) {
        if (end == 0) {
            return std::nullopt;
        }
        const std::size_t blank = line.rfind(' ', end - 1);
        start = blank == std::string_view::npos ? 0 : blank + 1;
        const std::optional<double> value =
            ReadNumberField(line.substr(start, end - start), DecimalMarks::Point);
        if (!value) {
            return std::nullopt;
        }
        model.values[i] = *value;
        end = start;
        while (end > 0 && line[end - 1] == ' ') {
            --end;
        }
    }
    // The Model Name is followed by one space, and Dia by its own leading
    // space when it has one.
    std::string_view names = line.substr(0, start);
    if (names.empty()) {
        return std::nullopt;
    }
    names.remove_suffix(1);
    if (!names.empty() && names.back() == ' ' && PSstr(model.values[0]).front() == ' ') {
        names.remove_suffix(1);
    }
    const std::size_t separator = names.find(kModelTextSeparator);
    if (separator == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view name = names.substr(separator + kModelTextSeparator.size());
    if (endsInNumberField(name)) {
        return std::nullopt;
    }
    model.s_Manuf = Str255(names.substr(0, separator));
    model.s_SP = Str255(name);
    return model;
}

PasteBuffer ModelOfRow(const ModelTable& table, std::int32_t row) {
    PasteBuffer model;
    model.s_Manuf = table.Manufacturer.str(row);
    model.s_SP = table.ModelName.str(row);
    for (Param p : kAllParams) {
        model[p] = table.value(p, row);
        model.workedOut[static_cast<std::size_t>(p)] = table.column(p).workedOutAt(row);
    }
    return model;
}

bool RowHoldsModel(const ModelTable& table, std::int32_t row, const PasteBuffer& model) {
    if (table.Manufacturer.get(row) != model.s_Manuf.view() ||
        table.ModelName.get(row) != model.s_SP.view()) {
        return false;
    }
    for (Param p : kAllParams) {
        if (!sameValue(table.value(p, row), model[p])) {
            return false;
        }
    }
    return true;
}

void StoreModel(ModelTable& table, std::int32_t row, const PasteBuffer& model) {
    table.Manufacturer.set(row, model.s_Manuf.view());
    table.ModelName.set(row, model.s_SP.view());
    for (Param p : kAllParams) {
        if (model.workedOut[static_cast<std::size_t>(p)]) {
            table.setValue(p, row, model[p]);
        } else {
            table.setGivenValue(p, row, model[p]);
        }
    }
}

} // namespace kestrune
