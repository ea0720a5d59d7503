#include "documents/whole_line_records.h"

#include "runtime/number_text.h"
#include "runtime/str255.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <thread>

namespace kestrune {
namespace {

// Below this, a second thread costs more than it saves.
constexpr std::size_t kSplitBytes = std::size_t{1} << 20;

// The end of the line that starts at p (its first CR or LF), and where the
// next line starts (past one CR, LF or CR LF).
struct LineEnd {
    const char* end;
    const char* next;
};

LineEnd lineEnd(const char* p, const char* last) {
    if (p == last) {
        return {last, last};
    }
    const auto* cr =
        static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(last - p)));
    const char* upTo = cr != nullptr ? cr : last;
    const auto* lf =
        static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(upTo - p)));
    if (lf != nullptr) {
        return {lf, lf + 1};
    }
    if (cr == nullptr) {
        return {last, last};
    }
    return {cr, cr + 1 < last && cr[1] == '\n' ? cr + 2 : cr + 1};
}

std::int64_t countLines(const char* p, const char* last) {
    std::int64_t lines = 0;
    while (p < last) {
        p = lineEnd(p, last).next;
        ++lines;
    }
    return lines;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// One item from position i of line, by the item rules: blanks skipped, a
// quoted item up to its closing quote, an unquoted one up to a tab or a
// comma; then blanks and one comma are passed over.
std::string_view nextItem(std::string_view line, std::size_t& i) {
    while (i < line.size() && isBlank(line[i])) {
        ++i;
    }
    std::string_view item;
    if (i < line.size() && line[i] == '"') {
        const std::size_t start = i + 1;
        std::size_t close = line.find('"', start);
        if (close == std::string_view::npos) {
            close = line.size();
        }
        item = line.substr(start, close - start);
        i = close < line.size() ? close + 1 : close;
    } else {
        const std::size_t start = i;
        while (i < line.size() && line[i] != '\t' && line[i] != ',') {
            ++i;
        }
        item = line.substr(start, i - start);
    }
    while (i < line.size() && (isBlank(line[i]) || line[i] == '\r')) {
        ++i;
    }
    if (i < line.size() && line[i] == ',') {
        ++i;
    }
    return item;
}

// A number item: a plain decimal read in the same pass as its item, else
// the item's PSval.
double numberItem(std::string_view line, std::size_t& i) {
    while (i < line.size() && isBlank(line[i])) {
        ++i;
    }
    double value = 0.0;
    if (readPlainDecimalField(line, i, value)) {
        i += i < line.size() ? 1 : 0; // its comma
        return value;
    }
    return PSval(nextItem(line, i).substr(0, Str255::kMaxLength));
}

struct Columns {
    std::int32_t* number;
    std::array<double*, kParamCount> params;
    // The names go where only one thread writes.
    NameColumn* manufacturer;
    NameColumn* modelName;
    std::int32_t nameShift; // a name of row r goes to row r - nameShift
};

// Reads the lines of [p, last) into rows first, first+1, ...; false at the
// first line that is not one whole record.
bool readPart(const char* p, const char* last, int fields, std::size_t maxLine, std::int32_t first,
              const Columns& columns) {
    std::int32_t r = first;
    while (p < last) {
        const LineEnd end = lineEnd(p, last);
        const std::string_view line(p, static_cast<std::size_t>(end.end - p));
        if (line.empty() || line.size() > maxLine) {
            return false;
        }
        std::size_t i = 0;
        columns.manufacturer->set(r - columns.nameShift, nextItem(line, i));
        if (i >= line.size()) {
            return false;
        }
        columns.modelName->set(r - columns.nameShift, nextItem(line, i));
        const auto row = static_cast<std::size_t>(r);
        for (int k = 0; k < fields - 2; ++k) {
            if (i >= line.size()) {
                return false; // the record goes on in the next line
            }
            columns.params[static_cast<std::size_t>(k)][row] = numberItem(line, i);
        }
        if (i < line.size()) {
            return false; // the next record begins in this line
        }
        columns.number[row] = r;
        ++r;
        p = end.next;
    }
    return true;
}

} // namespace

std::string_view FirstItem(std::string_view bytes) {
    const char* begin = bytes.data();
    const LineEnd end = lineEnd(begin, begin + bytes.size());
    std::size_t i = 0;
    return nextItem(std::string_view(begin, static_cast<std::size_t>(end.end - begin)), i);
}

std::size_t SkipLineOfItems(std::string_view bytes, int n, std::size_t maxLine) {
    const char* begin = bytes.data();
    const LineEnd end = lineEnd(begin, begin + bytes.size());
    const std::string_view line(begin, static_cast<std::size_t>(end.end - begin));
    if (line.empty() || line.size() > maxLine) {
        return 0;
    }
    std::size_t i = 0;
    for (int k = 0; k < n; ++k) {
        if (k > 0 && i >= line.size()) {
            return 0;
        }
        nextItem(line, i);
    }
    return i < line.size() ? 0 : static_cast<std::size_t>(end.next - begin);
}

std::int32_t ReadWholeLineRecords(std::string_view bytes, int fields, std::size_t maxLine,
                                  ModelTable& table) {
    const char* begin = bytes.data();
    const char* last = begin + bytes.size();
    // The second half starts at the line after the middle.
    const char* middle = begin;
    if (bytes.size() >= kSplitBytes) {
        const char* p = begin + bytes.size() / 2;
        while (p > begin && p[-1] != '\r' && p[-1] != '\n') {
            --p;
        }
        middle = p > begin && p[-1] == '\r' && p < last && *p == '\n' ? p + 1 : p;
    }

    std::int64_t secondLines = 0;
    std::thread counter;
    if (middle > begin) {
        counter = std::thread([&] { secondLines = countLines(middle, last); });
    }
    const std::int64_t firstLines = countLines(begin, middle > begin ? middle : last);
    if (counter.joinable()) {
        counter.join();
    }
    const std::int64_t rows = firstLines + secondLines;
    if (rows >= INT32_MAX - 2) {
        return -1;
    }
    const auto n = static_cast<std::int32_t>(rows);
    table.ensureRows(n + 1);
    Columns columns{table.Number.data(), {}, &table.Manufacturer, &table.ModelName, 0};
    for (Param p : kAllParams) {
        columns.params[static_cast<std::size_t>(p)] = table.column(p).data();
    }
    // The second half's names are gathered apart and joined on afterwards.
    NameColumn secondManufacturers;
    NameColumn secondModelNames;
    Columns second = columns;
    second.manufacturer = &secondManufacturers;
    second.modelName = &secondModelNames;
    second.nameShift = static_cast<std::int32_t>(firstLines);
    // Names are a part of each line: room for them is made once. Memory not
    // written to costs nothing.
    const auto firstBytes = static_cast<std::size_t>((middle > begin ? middle : last) - begin);
    const auto secondBytes = static_cast<std::size_t>(last - middle) * (middle > begin ? 1 : 0);
    table.Manufacturer.reserveBytes(firstBytes / 2);
    table.ModelName.reserveBytes(firstBytes / 2);
    if (middle > begin) {
        secondManufacturers.ensure(static_cast<std::int32_t>(secondLines));
        secondModelNames.ensure(static_cast<std::int32_t>(secondLines));
        secondManufacturers.reserveBytes(secondBytes / 2);
        secondModelNames.reserveBytes(secondBytes / 2);
        table.Manufacturer.reserveBytes(secondBytes / 2);
        table.ModelName.reserveBytes(secondBytes / 2);
    }
    if (fields != 10) {
        std::fill_n(columns.params[static_cast<std::size_t>(Param::Mms)] + 1, n, 0.0);
    }

    bool secondOk = true;
    std::thread reader;
    if (middle > begin) {
        reader = std::thread([&] {
            secondOk = readPart(middle, last, fields, maxLine,
                                static_cast<std::int32_t>(firstLines) + 1, second);
        });
    }
    const bool firstOk =
        readPart(begin, middle > begin ? middle : last, fields, maxLine, 1, columns);
    if (reader.joinable()) {
        reader.join();
    }
    if (firstOk && secondOk && middle > begin) {
        const auto from = static_cast<std::int32_t>(firstLines) + 1;
        table.Manufacturer.splice(from, secondManufacturers);
        table.ModelName.splice(from, secondModelNames);
    }
    if (!firstOk || !secondOk) {
        for (std::int32_t r = 1; r <= n + 1; ++r) {
            table.emptyRow(r, true);
        }
        return -1;
    }
    // The columns know their highest row as the row-by-row reader leaves them.
    if (n > 0) {
        table.Number[n] = n;
        for (Param p : kAllParams) {
            table.column(p)[n] = table.value(p, n);
        }
    }
    return n;
}

} // namespace kestrune
