#include "documents/whole_line_records.h"

#include "runtime/line_breaks.h"
#include "runtime/number_text.h"
#include "runtime/side_task.h"
#include "runtime/str255.h"
#include "runtime/text_files.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>

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
    const char* end = FindLineBreak(p, last);
    if (end == last) {
        return {last, last};
    }
    return {end, *end == '\r' && end + 1 < last && end[1] == '\n' ? end + 2 : end + 1};
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

struct Columns {
    std::int32_t* number;
    std::array<double*, kParamCount> params;
    // The names go where only one thread writes.
    NameColumn* manufacturer;
    NameColumn* modelName;
    std::int32_t nameShift; // a name of row r goes to row r - nameShift
};

// One line as the record of row r; false when it is not one whole record.
bool readRecord(std::string_view line, int fields, std::int32_t r, const Columns& columns) {
    if (line.empty()) {
        return false;
    }
    std::size_t i = 0;
    const std::string_view manufacturer = TakeItem(line, i);
    if (i >= line.size()) {
        return false;
    }
    const std::string_view modelName = TakeItem(line, i);
    columns.manufacturer->set(r - columns.nameShift, manufacturer);
    columns.modelName->set(r - columns.nameShift, modelName);
    const auto row = static_cast<std::size_t>(r);
    for (int k = 0; k < fields - 2; ++k) {
        if (i >= line.size()) {
            return false; // the record goes on in the next line
        }
        double& value = columns.params[static_cast<std::size_t>(k)][row];
        while (i < line.size() && isBlank(line[i])) {
            ++i;
        }
        if (!readPlainDecimalField(line, i, value)) {
            const std::string_view item = TakeItem(line, i);
            value = PSval(item.substr(0, Str255::kMaxLength));
        } else if (i < line.size()) {
            ++i; // its comma
        }
    }
    if (i < line.size()) {
        return false; // the next record begins in this line
    }
    columns.number[row] = r;
    return true;
}

// Calls onLine with each line of bytes from offset from to offset to, in
// order. A file is read a piece at a time into a buffer of its own. False
// when a line is longer than maxLine, a read fails or onLine says no.
template <typename OnLine>
bool forEachLine(const RecordBytes& bytes, std::uint64_t from, std::uint64_t to,
                 std::size_t maxLine, std::size_t piece, OnLine&& onLine) {
    if (bytes.inMemory) {
        const char* p = bytes.inMemory->data() + from;
        const char* last = bytes.inMemory->data() + to;
        while (p < last) {
            const LineEnd end = lineEnd(p, last);
            const std::string_view line(p, static_cast<std::size_t>(end.end - p));
            if (line.size() > maxLine || !onLine(line)) {
                return false;
            }
            p = end.next;
        }
        return true;
    }
    std::unique_ptr<char[]> buffer(new char[piece]); // NOLINT: filled by the reads
    std::size_t have = 0;
    std::uint64_t at = from;
    for (;;) {
        if (at < to) {
            const auto want =
                static_cast<std::size_t>(std::min<std::uint64_t>(piece - have, to - at));
            const std::size_t got = bytes.readAt(buffer.get() + have, want, at);
            if (got == 0) {
                return false;
            }
            have += got;
            at += got;
        }
        const bool ended = at >= to;
        const char* p = buffer.get();
        const char* last = p + have;
        while (p < last) {
            const LineEnd end = lineEnd(p, last);
            // A line is whole once its end is in; a CR that closes the
            // piece may still have its LF to come.
            if (!ended && (end.end == last || (end.next == last && *end.end == '\r'))) {
                break;
            }
            const std::string_view line(p, static_cast<std::size_t>(end.end - p));
            if (line.size() > maxLine || !onLine(line)) {
                return false;
            }
            p = end.next;
        }
        if (ended) {
            return true;
        }
        const auto rest = static_cast<std::size_t>(last - p);
        if (rest > maxLine + 1 || rest == piece) {
            return false; // longer than a record can be
        }
        std::memmove(buffer.get(), p, rest);
        have = rest;
    }
}

// Where the second half starts: the line after the middle, or 0 when the
// bytes are too few to share out or no line ends near the middle.
std::uint64_t secondHalf(const RecordBytes& bytes, std::size_t maxLine) {
    if (bytes.size < kSplitBytes) {
        return 0;
    }
    const std::uint64_t middle = bytes.size / 2;
    const std::uint64_t low = middle > maxLine + 2 ? middle - maxLine - 2 : 0;
    const auto length = static_cast<std::size_t>(middle + 1 - low);
    std::string window(length, '\0');
    if (bytes.inMemory) {
        window.assign(bytes.inMemory->substr(static_cast<std::size_t>(low), length));
    } else {
        std::size_t got = 0;
        while (got < length) {
            const std::size_t n = bytes.readAt(window.data() + got, length - got, low + got);
            if (n == 0) {
                return 0;
            }
            got += n;
        }
    }
    std::size_t p = length - 1; // the middle byte
    while (p > 0 && window[p - 1] != '\r' && window[p - 1] != '\n') {
        --p;
    }
    if (p == 0) {
        return 0;
    }
    return low + p + (window[p - 1] == '\r' && window[p] == '\n' ? 1 : 0);
}

} // namespace

RecordBytes RecordBytesInMemory(std::string_view bytes) {
    RecordBytes in;
    in.size = bytes.size();
    in.inMemory = bytes;
    return in;
}

std::int32_t ReadWholeLineRecords(const RecordBytes& bytes, int fields, std::size_t maxLine,
                                  ModelTable& table, std::size_t piece) {
    const std::uint64_t middle = secondHalf(bytes, maxLine);
    const bool shared = middle > 0;
    const std::uint64_t firstEnd = shared ? middle : bytes.size;

    // The lines of each half, counted side by side: the second half's rows
    // start after the first half's.
    std::int64_t firstLines = 0;
    std::int64_t secondLines = 0;
    auto count = [&](std::uint64_t from, std::uint64_t to, std::int64_t& lines) {
        return forEachLine(bytes, from, to, maxLine, piece, [&](std::string_view line) {
            ++lines;
            return !line.empty();
        });
    };
    bool secondCounted = true;
    std::optional<SideTask> counter;
    if (shared) {
        counter.emplace([&] { secondCounted = count(middle, bytes.size, secondLines); });
    }
    const bool firstCounted = count(0, firstEnd, firstLines);
    WaitFor(counter);
    const std::int64_t rows = firstLines + secondLines;
    if (!firstCounted || !secondCounted || rows >= INT32_MAX - 2) {
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
    const auto firstBytes = static_cast<std::size_t>(firstEnd);
    const auto secondBytes = static_cast<std::size_t>(bytes.size - firstEnd);
    table.Manufacturer.reserveBytes(firstBytes / 2);
    table.ModelName.reserveBytes(firstBytes / 2);
    if (shared) {
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

    auto read = [&](std::uint64_t from, std::uint64_t to, std::int32_t first, const Columns& into) {
        std::int32_t r = first;
        return forEachLine(bytes, from, to, maxLine, piece, [&](std::string_view line) {
            return readRecord(line, fields, r++, into);
        });
    };
    bool secondOk = true;
    std::optional<SideTask> reader;
    if (shared) {
        reader.emplace([&] {
            secondOk = read(middle, bytes.size, static_cast<std::int32_t>(firstLines) + 1, second);
        });
    }
    const bool firstOk = read(0, firstEnd, 1, columns);
    WaitFor(reader);
    if (!firstOk || !secondOk) {
        for (std::int32_t r = 1; r <= n + 1; ++r) {
            table.emptyRow(r, true);
        }
        return -1;
    }
    if (shared) {
        const auto from = static_cast<std::int32_t>(firstLines) + 1;
        // One column on each core.
        SideTask joiner([&] { table.ModelName.splice(from, secondModelNames); });
        table.Manufacturer.splice(from, secondManufacturers);
        joiner.wait();
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
