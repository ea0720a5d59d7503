#include "exchange/row_html.h"

#include "runtime/number_text.h"

#include <array>
#include <string_view>

namespace kestrune {
namespace {

void appendEscaped(std::string& html, std::string_view utf8) {
    for (const char c : utf8) {
        switch (c) {
        case '&':
            html += "&amp;";
            break;
        case '<':
            html += "&lt;";
            break;
        case '>':
            html += "&gt;";
            break;
        case '"':
            html += "&quot;";
            break;
        default:
            html += c;
        }
    }
}

void appendCell(std::string& html, std::string_view utf8) {
    html += "<td>";
    appendEscaped(html, utf8);
    html += "</td>";
}

} // namespace

std::string RowHtml(const ModelTable& table, std::int32_t row) {
    // The charset tells a reader that takes the bytes alone how to read the names.
    std::string html = "<meta charset=\"utf-8\"><table><tr>";
    appendCell(html, table.Manufacturer.get(row));
    appendCell(html, table.ModelName.get(row));
    for (Param p : kAllParams) {
        std::array<char, kMaxNumberText> number{};
        const char* end = writeShortest(number.data(), table.value(p, row));
        appendCell(html,
                   std::string_view(number.data(), static_cast<std::size_t>(end - number.data())));
    }
    html += "</tr></table>";
    return html;
}

} // namespace kestrune
