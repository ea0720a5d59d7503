#include "runtime/table_numbers.h"

#include <string>

namespace kestrune {
namespace {

constexpr std::size_t kMaxRuns = 8;

// A number's text cut into runs of digits and the one separator between
// each two: '.', ',' or ' ' for any group blank.
struct Runs {
    std::array<std::string_view, kMaxRuns> digits{};
    std::array<char, kMaxRuns> gaps{};
    std::size_t count = 0;
    bool negative = false;
    bool exponent = false; // the text goes on with an exponent after the runs

    std::size_t gapsOf(char gap) const {
        std::size_t n = 0;
        for (std::size_t k = 0; k + 1 < count; ++k) {
            n += gaps[k] == gap ? 1 : 0;
        }
        return n;
    }
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The length of a blank that groups digits at s, 0 when there is none: a
// space, an apostrophe, a no-break space or a narrow one in UTF-8, or the
// no-break space of Windows-1252.
std::size_t groupBlankAt(std::string_view s) {
    if (s.starts_with(' ') || s.starts_with('\'') || s.starts_with('\xA0')) {
        return 1;
    }
    if (s.starts_with("\xC2\xA0")) {
        return 2;
    }
    return s.starts_with("\xE2\x80\xAF") ? 3 : 0;
}

std::string_view trimmed(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// False unless s is a sign, then runs of digits each parted from the next
// by one separator, then an exponent or nothing.
bool cut(std::string_view s, Runs& runs) {
    s = trimmed(s);
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        runs.negative = s.front() == '-';
        s.remove_prefix(1);
    }
    std::size_t i = 0;
    for (;;) {
        const std::size_t start = i;
        while (i < s.size() && isDigit(s[i])) {
            ++i;
        }
        if (i == start || runs.count == kMaxRuns) {
            return false;
        }
        runs.digits[runs.count++] = s.substr(start, i - start);
        if (i == s.size()) {
            return true;
        }
        if (s[i] == 'e' || s[i] == 'E') {
            runs.exponent = true;
            return true;
        }
        const std::size_t blank = groupBlankAt(s.substr(i));
        if (blank == 0 && s[i] != '.' && s[i] != ',') {
            return false;
        }
        runs.gaps[runs.count - 1] = blank != 0 ? ' ' : s[i];
        i += blank != 0 ? blank : 1;
    }
}

char markChar(DecimalMarks mark) {
    return mark == DecimalMarks::Comma ? ',' : '.';
}

// The value of runs read as digits grouped in threes, with the decimal
// mark mark before the last run or none; nothing unless they are that.
std::optional<double> grouped(const Runs& runs, char mark) {
    if (runs.count < 2 || runs.exponent) {
        return std::nullopt;
    }
    const bool decimals = runs.gaps[runs.count - 2] == mark;
    const std::size_t groups = runs.count - (decimals ? 1 : 0);
    const char group = runs.gaps[0];
    if (groups < 2 || group == mark || runs.digits[0].size() > 3 || runs.digits[0][0] == '0') {
        return std::nullopt;
    }
    std::string text = runs.negative ? "-" : "";
    text += runs.digits[0];
    for (std::size_t k = 1; k < groups; ++k) {
        if (runs.gaps[k - 1] != group || runs.digits[k].size() != 3) {
            return std::nullopt;
        }
        text += runs.digits[k];
    }
    if (decimals) {
        text += '.';
        text += runs.digits[runs.count - 1];
    }
    return ReadNumberField(text, DecimalMarks::Point);
}

// Runs that may be digits grouped by mark as well as a decimal with it:
// one to three digits, the mark and three more ("1,089").
bool eitherWay(const Runs& runs, char mark) {
    return runs.count == 2 && !runs.exponent && runs.gaps[0] == mark &&
           runs.digits[0].size() <= 3 && runs.digits[0][0] != '0' && runs.digits[1].size() == 3;
}

} // namespace

void DecimalMarkVotes::add(std::string_view field) {
    Runs runs;
    if (!cut(field, runs) || runs.count < 2) {
        return;
    }
    const std::size_t points = runs.gapsOf('.');
    const std::size_t commas = runs.gapsOf(',');
    if (points + commas == 0) {
        return;
    }
    // Which mark is the decimal one, or which may be.
    char mark = 0;
    if (points > 0 && commas > 0) {
        mark = runs.gaps[runs.count - 2];
    } else if (points + commas > 1) {
        mark = points > 0 ? ',' : '.';
    } else {
        mark = points > 0 ? '.' : ',';
    }
    if (mark == ' ') {
        return; // a blank after the last mark: no number
    }
    const std::size_t k = mark == ',' ? 1 : 0;
    if (eitherWay(runs, mark)) {
        ++likely_[k];
        return;
    }
    const std::size_t decimalMarks = mark == ',' ? commas : points;
    if (decimalMarks == 0 ? grouped(runs, mark).has_value()
                          : runs.gaps[runs.count - 2] == mark &&
                                (runs.count == 2 || grouped(runs, mark).has_value())) {
        ++sure_[k];
    }
}

DecimalMarks DecimalMarkVotes::decided(DecimalMarks fallback) const {
    const std::array<std::int64_t, 2>& votes = sure_[0] + sure_[1] > 0 ? sure_ : likely_;
    if (votes[0] == votes[1]) {
        return fallback;
    }
    return votes[1] > votes[0] ? DecimalMarks::Comma : DecimalMarks::Point;
}

bool DecimalMarkVotes::settled() const {
    constexpr std::int64_t kEnough = 64;
    return sure_[0] + sure_[1] >= kEnough;
}

std::optional<double> ReadTableNumber(std::string_view field, DecimalMarks mark) {
    if (const std::optional<double> value = ReadNumberField(field, mark)) {
        return value;
    }
    Runs runs;
    if (!cut(field, runs)) {
        return std::nullopt;
    }
    if (const std::optional<double> value = grouped(runs, markChar(mark))) {
        return value;
    }
    const DecimalMarks other =
        mark == DecimalMarks::Comma ? DecimalMarks::Point : DecimalMarks::Comma;
    if (eitherWay(runs, markChar(other))) {
        return std::nullopt;
    }
    return ReadNumberField(field, other);
}

} // namespace kestrune
