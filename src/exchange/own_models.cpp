#include "exchange/own_models.h"

#include "exchange/pasted_rows.h"
#include "runtime/number_text.h"
#include "runtime/utf8_check.h"
#include "runtime/utf8_text.h"

#include <array>
#include <charconv>
#include <cstddef>

namespace kestrune {
namespace {

constexpr char kWorkedOut = '~';
constexpr std::size_t kFields = 2 + kParamCount;

void appendName(std::string& out, std::string_view name) {
    for (const char c : name) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out += c;
        }
    }
}

void appendNumber(std::string& out, double value, bool workedOut) {
    if (workedOut) {
        out += kWorkedOut;
    }
    std::array<char, kMaxNumberText> text{};
    const char* end = writeShortest(text.data(), value);
    out.append(text.data(), static_cast<std::size_t>(end - text.data()));
}

std::optional<Str255> readName(std::string_view field) {
    std::string name;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            name += field[i];
            continue;
        }
        const char escaped = ++i < field.size() ? field[i] : '\0';
        switch (escaped) {
        case '\\':
            name += '\\';
            break;
        case 't':
            name += '\t';
            break;
        case 'r':
            name += '\r';
            break;
        case 'n':
            name += '\n';
            break;
        default:
            return std::nullopt;
        }
    }
    Utf8Check check;
    if (!check.add(name) || !check.finish() ||
        CutToCharacters(name, Str255::kMaxLength).size() < name.size()) {
        return std::nullopt;
    }
    return Str255(name);
}

bool readNumber(std::string_view field, double& value, bool& workedOut) {
    workedOut = field.starts_with(kWorkedOut);
    field.remove_prefix(workedOut ? 1 : 0);
    const char* end = field.data() + field.size();
    const std::from_chars_result read = std::from_chars(field.data(), end, value);
    return !field.empty() && read.ec == std::errc() && read.ptr == end;
}

std::optional<PasteBuffer> readLine(std::string_view line) {
    std::array<std::string_view, kFields> fields;
    for (std::size_t k = 0; k < kFields; ++k) {
        const std::size_t tab = line.find('\t');
        if ((tab == std::string_view::npos) != (k + 1 == kFields)) {
            return std::nullopt;
        }
        fields[k] = line.substr(0, tab);
        line.remove_prefix(tab == std::string_view::npos ? line.size() : tab + 1);
    }
    PasteBuffer model;
    const std::optional<Str255> manufacturer = readName(fields[0]);
    const std::optional<Str255> modelName = readName(fields[1]);
    if (!manufacturer || !modelName) {
        return std::nullopt;
    }
    model.s_Manuf = *manufacturer;
    model.s_SP = *modelName;
    for (std::size_t k = 0; k < kParamCount; ++k) {
        if (!readNumber(fields[2 + k], model.values[k], model.workedOut[k])) {
            return std::nullopt;
        }
    }
    return model;
}

} // namespace

std::string OwnModelsText(const ModelTable& table, std::int32_t first, std::int32_t last) {
    std::string out;
    for (std::int32_t row = first; row <= last; ++row) {
        appendName(out, table.Manufacturer.get(row));
        out += '\t';
        appendName(out, table.ModelName.get(row));
        for (Param p : kAllParams) {
            out += '\t';
            appendNumber(out, table.value(p, row), table.column(p).workedOutAt(row));
        }
        out += '\n';
    }
    return out;
}

std::optional<std::vector<PasteBuffer>> ReadOwnModels(std::string_view text) {
    if (text.size() > kMaxPastedRowsBytes) {
        return std::nullopt;
    }
    std::vector<PasteBuffer> models;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos || models.size() == kMaxPastedRows) {
            return std::nullopt; // a line cut short, or too many
        }
        std::optional<PasteBuffer> model = readLine(text.substr(0, end));
        if (!model) {
            return std::nullopt;
        }
        models.push_back(std::move(*model));
        text.remove_prefix(end + 1);
    }
    if (models.empty()) {
        return std::nullopt;
    }
    return models;
}

} // namespace kestrune
