#include "exchange/model_text.h"

#include "runtime/number_text.h"

#include <cmath>
#include <string>

namespace kestrune {
namespace {

// Each parameter is written to 1/k of its unit: Dia, Sd and Mms to tenths,
// Fp, Xmax and Vd to hundredths, Vap and Qmp to thousandths.
constexpr std::array<int, kParamCount> kModelTextScale = {10, 100, 1000, 1000, 10, 100, 100, 10};

// Walks the fields of a model text. A field runs to the next separator;
// after the last separator the text has no more fields.
class FieldReader {
public:
    explicit FieldReader(std::string_view text) : text_(text) {}

    Str255 name() {
        const std::size_t end = nextSeparator();
        const std::string_view field =
            end == std::string_view::npos ? std::string_view() : text_.substr(start_, end - start_);
        advance(end);
        return Str255(field);
    }

    // The number at the start of the field; what follows it is ignored.
    double number() {
        const double value = ended_ ? 0.0 : PSval(text_.substr(start_));
        advance(nextSeparator());
        return value;
    }

private:
    std::size_t nextSeparator() const {
        return ended_ ? std::string_view::npos : text_.find(kModelTextSeparator, start_);
    }
    void advance(std::size_t separator) {
        if (separator == std::string_view::npos) {
            ended_ = true;
            return;
        }
        start_ = separator + kModelTextSeparator.size();
    }

    std::string_view text_;
    std::size_t start_ = 0;
    bool ended_ = false;
};

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

PasteBuffer TextToParameterValue(const Str255& text) {
    PasteBuffer model;
    FieldReader reader(text.view());
    model.s_Manuf = reader.name();
    model.s_SP = reader.name();
    for (Param p : kAllParams) {
        model[p] = reader.number();
    }
    return model;
}

PasteBuffer ModelOfRow(const ModelTable& table, std::int32_t row) {
    PasteBuffer model;
    model.s_Manuf = table.Manufacturer.str(row);
    model.s_SP = table.ModelName.str(row);
    for (Param p : kAllParams) {
        model[p] = table.value(p, row);
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
        table.setValue(p, row, model[p]);
    }
}

} // namespace kestrune
