#include "runtime/number_field.h"

#include "runtime/number_text.h"

#include <cmath>
#include <string>

namespace kestrune {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool markAllowed(char c, DecimalMarks marks) {
    switch (marks) {
    case DecimalMarks::Point:
        return c == '.';
    case DecimalMarks::Comma:
        return c == ',';
    case DecimalMarks::PointOrComma:
        return c == '.' || c == ',';
    }
    return false;
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

} // namespace

std::optional<double> ReadNumberField(std::string_view field, DecimalMarks marks) {
    const std::string_view s = trimBlanks(field);
    if (s.empty()) {
        return 0.0;
    }
    // The usual field, a plain decimal with a point, read where it stands
    // as the document reader reads it.
    if (marks != DecimalMarks::Comma) {
        std::size_t end = 0;
        if (double plain = 0.0; readPlainDecimalField(s, end, plain) && end == s.size()) {
            return plain;
        }
    }
    std::size_t i = 0;
    if (s[i] == '+' || s[i] == '-') {
        ++i;
    }
    std::size_t digits = 0;
    std::size_t markAt = std::string_view::npos;
    for (; i < s.size(); ++i) {
        if (isDigit(s[i])) {
            ++digits;
        } else if (markAt == std::string_view::npos && markAllowed(s[i], marks)) {
            markAt = i;
        } else {
            break;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            ++j;
        }
        const std::size_t exponentStart = j;
        while (j < s.size() && isDigit(s[j])) {
            ++j;
        }
        if (j == exponentStart) {
            return std::nullopt;
        }
        i = j;
    }
    if (i != s.size()) {
        return std::nullopt;
    }
    // The text is now one the document reader takes whole: read it the
    // same way, so a number reads alike from any source.
    std::string text(s);
    if (markAt != std::string_view::npos) {
        text[markAt] = '.';
    }
    const double value = PSval(text);
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace kestrune
