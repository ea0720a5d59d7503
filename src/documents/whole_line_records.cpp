#include "documents/whole_line_records.h"

#include "runtime/cores.h"
#include "runtime/line_breaks.h"
#include "runtime/number_text.h"
#include "runtime/str255.h"
#include "runtime/text_files.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

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
    // Each thread has writers of its own.
    ModelTable::Writers params;
    // Each thread stores its rows' names through parts of its own.
    NameColumn::Part* manufacturer;
    NameColumn::Part* modelName;
    NameText names;
};

// One line as the record of row r; false when it is not one whole record.
bool readRecord(std::string_view line, int fields, std::int32_t r, Columns& columns) {
    if (line.empty()) {
        return false;
    }
    std::size_t i = 0;
    const std::string_view manufacturer = TakeItem(line, i);
    if (i >= line.size()) {
        return false;
    }
    const std::string_view modelName = TakeItem(line, i);
    if (!columns.manufacturer->set(r, manufacturer, columns.names) ||
        !columns.modelName->set(r, modelName, columns.names)) {
        return false;
    }
    const auto row = static_cast<std::size_t>(r);
    for (int k = 0; k < fields - 2; ++k) {
        if (i >= line.size()) {
            return false; // the record goes on in the next line
        }
        ValueColumn::Writer& values = columns.params[static_cast<std::size_t>(k)];
        while (i < line.size() && isBlank(line[i])) {
            ++i;
        }
        if (PlainDecimal decimal; readPlainDecimalField(line, i, decimal)) {
            values.put(row, decimal);
        } else {
            const std::string_view item = TakeItem(line, i);
            values.put(row, PSval(item.substr(0, Str255::kMaxLength)));
            continue;
        }
        if (i < line.size()) {
            ++i; // its comma
        }
    }
    if (i < line.size()) {
        return false; // the next record begins in this line
    }
    columns.number[row] = r;
    return true;
}

// The buffer a part's bytes are read through, a piece at a time: made once
// and used by both passes, and no larger than the part, so that a small
// document takes no more memory than its own size.
class PieceBuffer {
public:
    PieceBuffer(const RecordBytes& bytes, std::uint64_t partBytes, std::size_t piece)
        : size_(bytes.inMemory
                    ? 0
                    : static_cast<std::size_t>(std::min<std::uint64_t>(piece, partBytes + 1))),
          data_(size_ == 0 ? nullptr : new char[size_]) {} // NOLINT: filled by the reads
    char* data() const { return data_.get(); }
    std::size_t size() const { return size_; }

private:
    std::size_t size_;
    std::unique_ptr<char[]> data_;
};

// Calls onLine with each line of bytes from offset from to offset to, in
// order. A file is read a piece at a time into buffer. False when a line is
// longer than maxLine, a read fails or onLine says no.
template <typename OnLine>
bool forEachLine(const RecordBytes& bytes, std::uint64_t from, std::uint64_t to,
                 std::size_t maxLine, const PieceBuffer& buffer, OnLine&& onLine) {
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
    const std::size_t piece = buffer.size();
    std::size_t have = 0;
    std::uint64_t at = from;
    for (;;) {
        if (at < to) {
            const auto want =
                static_cast<std::size_t>(std::min<std::uint64_t>(piece - have, to - at));
            const std::size_t got = bytes.readAt(buffer.data() + have, want, at);
            if (got == 0) {
                return false;
            }
            have += got;
            at += got;
        }
        const bool ended = at >= to;
        const char* p = buffer.data();
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
        std::memmove(buffer.data(), p, rest);
        have = rest;
    }
}

// Where the line that holds the byte at `near` starts (a CR LF pair stays
// whole), or 0 when no line ends close enough before it.
std::uint64_t startOfLineAt(const RecordBytes& bytes, std::uint64_t near, std::size_t maxLine) {
    const std::uint64_t low = near > maxLine + 2 ? near - maxLine - 2 : 0;
    const auto length = static_cast<std::size_t>(near + 1 - low);
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
    std::size_t p = length - 1; // the byte at `near`
    while (p > 0 && window[p - 1] != '\r' && window[p - 1] != '\n') {
        --p;
    }
    if (p == 0) {
        return 0;
    }
    return low + p + (window[p - 1] == '\r' && window[p] == '\n' ? 1 : 0);
}

// Where each part of the bytes starts, and then their end: one part a core
// for bytes enough to share out, each starting on the line after an equal
// share of the bytes. Where no line ends near such a place, the part before
// takes that one's bytes too.
std::vector<std::uint64_t> partStarts(const RecordBytes& bytes, std::size_t maxLine) {
    const std::size_t wanted = PartsFor(static_cast<std::size_t>(bytes.size), kSplitBytes);
    std::vector<std::uint64_t> starts{0};
    for (std::size_t k = 1; k < wanted; ++k) {
        const std::uint64_t start = startOfLineAt(bytes, bytes.size / wanted * k, maxLine);
        if (start > starts.back() && start < bytes.size) {
            starts.push_back(start);
        }
    }
    starts.push_back(bytes.size);
    return starts;
}

} // namespace

RecordBytes RecordBytesInMemory(std::string_view bytes) {
    RecordBytes in;
    in.size = bytes.size();
    in.inMemory = bytes;
    return in;
}

std::int32_t ReadWholeLineRecords(const RecordBytes& bytes, int fields, std::size_t maxLine,
                                  ModelTable& table, NameText names, std::size_t piece) {
    const std::vector<std::uint64_t> starts = partStarts(bytes, maxLine);
    const std::size_t parts = starts.size() - 1;
    // Each part's lines, counted side by side: a part's rows start after
    // those of the parts before it.
    std::vector<std::int64_t> lines(parts, 0);
    std::vector<char> whole(parts, 0); // a part's lines were all taken
    std::vector<PieceBuffer> buffers;
    buffers.reserve(parts);
    for (std::size_t k = 0; k < parts; ++k) {
        buffers.emplace_back(bytes, starts[k + 1] - starts[k], piece);
    }
    RunOnCores(parts, [&](WorkPart& worker) {
        const WorkPart::Range mine = worker.share(parts);
        for (std::size_t k = mine.begin; k < mine.end; ++k) {
            whole[k] = forEachLine(bytes, starts[k], starts[k + 1], maxLine, buffers[k],
                                   [&](std::string_view line) {
                                       ++lines[k];
                                       return !line.empty();
                                   });
        }
    });
    const std::int64_t rows = std::accumulate(lines.begin(), lines.end(), std::int64_t{0});
    if (std::count(whole.begin(), whole.end(), 0) > 0 || rows >= INT32_MAX - 2) {
        return -1;
    }
    const auto n = static_cast<std::int32_t>(rows);
    table.ensureRows(n + 1);
    Columns columns{table.Number.data(), table.beginWriters(), nullptr, nullptr, names};
    // Each part's names go straight into the columns, in room as large as
    // the part's bytes (a name is a piece of its line); memory not written
    // to costs nothing, and what is left is given back.
    std::vector<std::size_t> partBytes(parts);
    std::vector<std::int32_t> firstRow(parts, 1);
    for (std::size_t k = 0; k < parts; ++k) {
        partBytes[k] = static_cast<std::size_t>(starts[k + 1] - starts[k]);
        if (k > 0) {
            firstRow[k] = firstRow[k - 1] + static_cast<std::int32_t>(lines[k - 1]);
        }
    }
    std::vector<NameColumn::Part> manufacturers = table.Manufacturer.beginParts(n, partBytes);
    std::vector<NameColumn::Part> modelNames = table.ModelName.beginParts(n, partBytes);
    std::vector<Columns> into(parts, columns);
    for (std::size_t k = 0; k < parts; ++k) {
        into[k].manufacturer = &manufacturers[k];
        into[k].modelName = &modelNames[k];
    }
    if (fields != 10) {
        ValueColumn::Code* mms = table.column(Param::Mms).codes().data();
        std::fill_n(mms + 1, n, ValueColumn::Code{0});
    }

    RunOnCores(parts, [&](WorkPart& worker) {
        const WorkPart::Range mine = worker.share(parts);
        for (std::size_t k = mine.begin; k < mine.end; ++k) {
            std::int32_t r = firstRow[k];
            whole[k] = forEachLine(
                bytes, starts[k], starts[k + 1], maxLine, buffers[k],
                [&](std::string_view line) { return readRecord(line, fields, r++, into[k]); });
        }
    });
    table.Manufacturer.endParts(manufacturers);
    table.ModelName.endParts(modelNames);
    std::vector<ModelTable::Writers> writers;
    for (const Columns& part : into) {
        writers.push_back(part.params);
    }
    table.endWriters(writers);
    if (std::count(whole.begin(), whole.end(), 0) > 0) {
        for (std::int32_t r = 1; r <= n + 1; ++r) {
            table.emptyRow(r, true);
        }
        return -1;
    }
    // Number knows its highest row as the row-by-row reader leaves it.
    if (n > 0) {
        table.Number[n] = n;
    }
    return n;
}

} // namespace kestrune
