#include "documents/data_sheet_format.h"

#include "documents/whole_line_records.h"
#include "model/kept_number.h"
#include "runtime/byte_streams.h"
#include "runtime/cores.h"
#include "runtime/mac_roman.h"
#include "runtime/number_text.h"
#include "runtime/utf8_text.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <istream>
#include <optional>
#include <unistd.h>
#include <utility>
#include <vector>

namespace kestrune {
namespace {

constexpr int kCurrentFields = 10;
constexpr int kOldFields = 9;

// One pass over the bytes each: names are short, and a set search per byte
// costs more than the loop.
bool needsQuotes(std::string_view name) {
    if (!name.empty() && (name.front() == ' ' || name.front() == '\t')) {
        return true;
    }
    return std::any_of(name.begin(), name.end(), [](char c) { return c == ',' || c == '\t'; });
}

bool carriable(std::string_view name) {
    if (name.empty()) {
        return true;
    }
    if (name.front() == '"') {
        return false;
    }
    bool quoted = name.front() == ' ' || name.front() == '\t';
    bool doubleQuote = false;
    for (const char c : name) {
        if (c == '\r' || c == '\n') {
            return false;
        }
        quoted = quoted || c == ',' || c == '\t';
        doubleQuote = doubleQuote || c == '"';
    }
    return !(quoted && doubleQuote);
}

constexpr std::string_view kLeftDoubleQuote = "\u201C";
constexpr std::string_view kRightDoubleQuote = "\u201D";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A quote at the start of a name, after a blank or after an opening bracket
// opens a quotation; any other closes one ("PR 250 "Pro"" reads PR 250 “Pro”).
bool opensQuotation(std::string_view before) {
    if (before.empty() || before.ends_with(kLeftDoubleQuote)) {
        return true;
    }
    const char c = before.back();
    return c == ' ' || c == '\t' || c == '(' || c == '[' || c == '{';
}

std::string substituted(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (const char c : name) {
        if (c == '\r' || c == '\n') {
            out.push_back(' ');
        } else if (c == '"') {
            out.append(opensQuotation(out) ? kLeftDoubleQuote : kRightDoubleQuote);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

bool isAscii(std::string_view name) {
    return IsAsciiText(name);
}

// How a document's names are written: in Mac OS Roman, as documents always
// were, from a table whose names are known to be plain ASCII (Plain) or not;
// or in UTF-8, when a name needs more.
enum class Written { Plain, MacRoman, Utf8 };

// A name's bytes as the document holds them, converted into room when they
// must be.
std::string_view encoded(std::string_view name, Written as,
                         std::array<char, Str255::kMaxBytes>& room) {
    if (as == Written::Utf8 || isAscii(name)) {
        return name;
    }
    return {room.data(), utf8ToMacRoman(name, room.data())};
}

// Copies a name's n bytes to p with fixed-size moves, which the compiler
// makes inline; short names are most of a catalogue. Never reads outside
// the name, which may end where its column's memory ends.
void copyName(char* p, const char* s, std::size_t n) {
    if (n > 32) {
        std::memcpy(p, s, n);
    } else if (n >= 16) { // two moves that may overlap
        std::memcpy(p, s, 16);
        std::memcpy(p + n - 16, s + n - 16, 16);
    } else if (n >= 8) {
        std::memcpy(p, s, 8);
        std::memcpy(p + n - 8, s + n - 8, 8);
    } else if (n >= 4) {
        std::memcpy(p, s, 4);
        std::memcpy(p + n - 4, s + n - 4, 4);
    } else if (n > 0) {
        p[0] = s[0];
        p[n / 2] = s[n / 2];
        p[n - 1] = s[n - 1];
    }
}

char* writeField(char* p, std::string_view name, bool quoted) {
    if (quoted) {
        *p++ = '"';
    }
    copyName(p, name.data(), name.size());
    p += name.size();
    if (quoted) {
        *p++ = '"';
    }
    return p;
}

// Up to eight of a name's bytes in one word, for a test of whether any is
// marked: every byte of the n is in it (some twice), and the rest is zero.
std::uint64_t someBytes(const char* s, std::size_t n) {
    if (n >= 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, s + n - 8, 8);
        return word;
    }
    if (n >= 4) {
        std::uint32_t low = 0;
        std::uint32_t high = 0;
        std::memcpy(&low, s, 4);
        std::memcpy(&high, s + n - 4, 4);
        return low | static_cast<std::uint64_t>(high) << 32;
    }
    if (n == 0) {
        return 0;
    }
    return static_cast<std::uint8_t>(s[0]) |
           static_cast<std::uint64_t>(static_cast<std::uint8_t>(s[n / 2])) << 8 |
           static_cast<std::uint64_t>(static_cast<std::uint8_t>(s[n - 1])) << 16;
}

// Whether bytes holds a comma, a tab, a double quote, a CR or an LF, looked
// for eight bytes at a time: x has a zero byte exactly when (x - 1s) & ~x
// has a top bit set.
bool hasMarkedByte(std::string_view bytes) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kTops = 0x80 * kOnes;
    std::uint64_t found = 0;
    auto look = [&](std::uint64_t word) { // a zero byte is never marked
        for (const std::uint64_t mark :
             {',' * kOnes, '\t' * kOnes, '"' * kOnes, '\r' * kOnes, '\n' * kOnes}) {
            const std::uint64_t x = word ^ mark;
            found |= (x - kOnes) & ~x & kTops;
        }
    };
    std::size_t i = 0;
    for (; i + 8 < bytes.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, 8);
        look(word);
    }
    // The last eight bytes, or all of them, some looked at twice.
    look(someBytes(bytes.data(), bytes.size()));
    return found != 0;
}

// Writes a name as the document holds it. One the document cannot carry is
// written as it will be from now on, and altered is set.
char* writeName(char* p, std::string_view name, Written as, bool& altered) {
    std::array<char, Str255::kMaxBytes> room;
    // The usual name: nothing to quote, nothing to change.
    if (name.empty() || (name.front() != ' ' && name.front() != '\t' && name.front() != '"' &&
                         !hasMarkedByte(name))) {
        return writeField(p, as == Written::Plain ? name : encoded(name, as, room), false);
    }
    // One pass for both questions: must it be quoted, can it be carried.
    bool quoted = !name.empty() && (name.front() == ' ' || name.front() == '\t');
    bool doubleQuote = false;
    bool lineBreak = false;
    for (const char c : name) {
        quoted = quoted || c == ',' || c == '\t';
        doubleQuote = doubleQuote || c == '"';
        lineBreak = lineBreak || c == '\r' || c == '\n';
    }
    const bool carried =
        !lineBreak && !(quoted && doubleQuote) && (name.empty() || name.front() != '"');
    if (carried) {
        return writeField(p, encoded(name, as, room), quoted);
    }
    altered = true;
    const std::string written = substituted(name);
    return writeField(p, encoded(written, as, room), needsQuotes(written));
}

// The longest line a record gets: two quoted names, eight numbers, the
// commas and the CR.
constexpr std::size_t kMaxRecord =
    2 * (Str255::kMaxBytes + 2) + kParamCount * (kMaxNumberText + 1) + 2;

// The document line of a row written at p; returns its end. altered is set
// when a name had to be changed to be written.
char* writeRecord(char* p, const ModelTable& table, std::int32_t row, Written as, bool& altered) {
    p = writeName(p, table.Manufacturer.get(row), as, altered);
    *p++ = ',';
    p = writeName(p, table.ModelName.get(row), as, altered);
    for (Param param : kAllParams) {
        *p++ = ',';
        p = WriteKeptNumber(p, table, param, row);
    }
    *p++ = '\r';
    return p;
}

void appendName(std::string& out, std::string_view name) {
    if (needsQuotes(name)) {
        out.push_back('"');
        out.append(name);
        out.push_back('"');
    } else {
        out.append(name);
    }
}

constexpr std::int32_t kNamesAhead = 16;

void prefetchNames(const ModelTable& table, std::int32_t row) {
#if defined(__GNUC__)
    __builtin_prefetch(table.Manufacturer.get(row).data());
    __builtin_prefetch(table.ModelName.get(row).data());
#else
    (void)table;
    (void)row;
#endif
}

// Formats rows first to end - 1; the rows whose names had to be changed are
// added to altered.
void formatRows(ByteBlock& out, const ModelTable& table, std::int32_t first, std::int32_t end,
                Written as, std::vector<std::int32_t>& altered) {
    // Kept in locals: the block's own fields may share a cache line with
    // the other thread's block.
    std::size_t size = 0;
    char* data = out.data();
    std::size_t capacity = out.capacity();
    for (std::int32_t r = first; r < end; ++r) {
        if (capacity - size < kMaxRecord) {
            out.setSize(size);
            out.reserve(std::max(2 * capacity, size + kMaxRecord));
            data = out.data();
            capacity = out.capacity();
        }
        // After a sort the rows' names lie anywhere in their columns: asking
        // for those of a row some way ahead keeps several reads under way.
        prefetchNames(table, r + kNamesAhead);
        bool changed = false;
        size = static_cast<std::size_t>(writeRecord(data + size, table, r, as, changed) - data);
        if (changed) {
            altered.push_back(r);
        }
    }
    out.setSize(size);
}

// The table takes the names as they were written.
void keepWrittenNames(ModelTable& table, const std::vector<std::int32_t>& rows) {
    for (const std::int32_t r : rows) {
        for (NameColumn* column : {&table.Manufacturer, &table.ModelName}) {
            if (!carriable(column->get(r))) {
                column->set(r, substituted(column->get(r)));
            }
        }
    }
}

// How the table's names are written: in UTF-8 only when one lies beyond
// Mac OS Roman. A table of plain ASCII names is known to fit without a look
// at them.
Written writtenAs(const ModelTable& table) {
    if (!table.Manufacturer.mayGoBeyondAscii() && !table.ModelName.mayGoBeyondAscii()) {
        return Written::Plain;
    }
    for (std::int32_t r = 1; r <= table.fNum; ++r) {
        for (const NameColumn* column : {&table.Manufacturer, &table.ModelName}) {
            const std::string_view name = column->get(r);
            if (!isAscii(name) && !fitsMacRoman(name)) {
                return Written::Utf8;
            }
        }
    }
    return Written::MacRoman;
}

SaveOutcome writeRows(TextFiles& files, ModelTable& table, WorkProgress* progress) {
    SaveOutcome outcome;
    // Names are written as documents always held them, in Mac OS Roman,
    // unless one needs more: then the document is UTF-8 and says so with a
    // byte-order mark.
    const Written as = writtenAs(table);
    if (as == Written::Utf8) {
        files.FilePrintString(kDocumentFileNumber, kByteOrderMark);
    }
    // Records are made in blocks of many rows, one print per block, a round
    // of blocks at a time: this thread makes the first block of a round and
    // the other cores the others, and while they make theirs this thread
    // writes the blocks they made in the round before.
    const std::int32_t last = table.fNum;
    const std::size_t cores = MachineCores();
    // A small sheet is shared out too, a block a core.
    const std::int32_t blockRows =
        std::clamp(last / static_cast<std::int32_t>(cores) + 1, 1 << 11, 1 << 14);
    // This thread's block, written as each round ends, and the other cores'
    // blocks of two rounds: the one being made and the one before.
    std::vector<ByteBlock> blocks(2 * cores - 1);
    std::vector<std::vector<std::int32_t>> altered(blocks.size());
    const auto blockOf = [&](std::size_t round, std::size_t part) {
        return part == 0 ? 0 : round % 2 * (cores - 1) + part;
    };
    const auto write = [&](std::size_t block) {
        outcome.alteredNameRows.insert(outcome.alteredNameRows.end(), altered[block].begin(),
                                       altered[block].end());
        files.FilePrintString(kDocumentFileNumber, blocks[block].view());
    };
    std::size_t round = 0;
    std::size_t waiting = 0; // blocks of the round before, after its first
    for (std::int32_t r = 1; r <= last; ++round) {
        const auto rowsLeft = static_cast<std::size_t>(last - r) + 1;
        const auto perBlock = static_cast<std::size_t>(blockRows);
        const std::size_t made =
            RunOnCores(std::min(cores, (rowsLeft + perBlock - 1) / perBlock), [&](WorkPart& part) {
                if (part.index() == 0) {
                    for (std::size_t b = 1; b <= waiting; ++b) {
                        write(blockOf(round + 1, b)); // the round before
                    }
                }
                const std::size_t block = blockOf(round, part.index());
                const std::int32_t first = r + static_cast<std::int32_t>(part.index()) * blockRows;
                altered[block].clear();
                formatRows(blocks[block], table, first, std::min(last + 1, first + blockRows), as,
                           altered[block]);
            });
        write(blockOf(round, 0));
        waiting = made - 1;
        r += static_cast<std::int32_t>(made) * blockRows;
        if (progress != nullptr) {
            progress->advance(std::min(rowsLeft, made * perBlock));
        }
    }
    for (std::size_t b = 1; b <= waiting; ++b) {
        write(blockOf(round + 1, b)); // the last round
    }
    // Names change in the table only once no other thread reads it: a name
    // set while another core makes a block could move the bytes it reads.
    keepWrittenNames(table, outcome.alteredNameRows);
    outcome.ok = files.FileClose(kDocumentFileNumber);
    return outcome;
}

// Counts how many items the first line of the open document holds; reading
// stops at the end of that line.
int itemsOnFirstLine(TextFiles& files) {
    int count = 0;
    do {
        files.FileInputItemBytes(kDocumentFileNumber);
        ++count;
    } while (files.lineHasMoreItems(kDocumentFileNumber) && count <= kCurrentFields);
    return count;
}

// Decides between the ten-field and the nine-field layout. reopen() starts
// the document again from its first byte.
int probeFieldCount(TextFiles& files, const std::function<void()>& reopen) {
    const int firstLine = itemsOnFirstLine(files);
    if (firstLine == kCurrentFields || firstLine == kOldFields) {
        reopen();
        return firstLine;
    }
    // Neither: a nine-field file repeats its first Manufacturer as the tenth item.
    reopen();
    const std::string first(files.FileInputItemBytes(kDocumentFileNumber));
    for (int k = 2; k < kCurrentFields; ++k) {
        files.FileInputItemBytes(kDocumentFileNumber);
    }
    const std::string tenth(files.FileInputItemBytes(kDocumentFileNumber));
    reopen();
    return first == tenth ? kOldFields : kCurrentFields;
}

// whole gives the open document's bytes when they can be read at any offset.
// names tells how the document's names are written.
void readRecords(TextFiles& files, ModelTable& table, NameText names,
                 const std::function<void()>& reopen,
                 const std::function<std::optional<RecordBytes>()>& whole = {}) {
    table.fNum = 0;
    if (files.FileEof(kDocumentFileNumber)) {
        // An empty document: one end-of-file report, no rows.
        files.FileInputItemBytes(kDocumentFileNumber);
        files.FileClose(kDocumentFileNumber);
        return;
    }
    const int fields = probeFieldCount(files, reopen);
    if (const std::optional<RecordBytes> bytes = whole ? whole() : std::nullopt) {
        const std::int32_t rows =
            ReadWholeLineRecords(*bytes, fields, TextFiles::kMaxItemLine, table, names);
        if (rows >= 0) {
            table.fNum = rows;
            files.FileClose(kDocumentFileNumber);
            return;
        }
    }
    while (!files.FileEof(kDocumentFileNumber)) {
        const std::int32_t r = table.fNum + 1;
        table.fNum = r;
        table.ensureRows(r + 1);
        table.Number[r] = r;
        table.Manufacturer.set(r, files.FileInputItemBytes(kDocumentFileNumber), names);
        table.ModelName.set(r, files.FileInputItemBytes(kDocumentFileNumber), names);
        for (Param p : kAllParams) {
            const bool present = p != Param::Mms || fields == kCurrentFields;
            table.setGivenValue(p, r,
                                present ? files.FileInputItemNumber(kDocumentFileNumber) : 0.0);
        }
    }
    files.FileClose(kDocumentFileNumber);
}

// How the names of the document just opened are written: in UTF-8 when it
// begins with a byte-order mark (which is passed over), else in Mac OS Roman.
NameText openedText(TextFiles& files) {
    return files.FileSkipPrefix(kDocumentFileNumber, kByteOrderMark) ? NameText::Utf8
                                                                     : NameText::MacRoman;
}

// The shortest record a document holds: two empty names and the eight
// numbers of the older layout, " 0" each, with their commas and CR.
constexpr std::int64_t kShortestRecord = 24;

// How many rows a document can hold at most, from its line ends and its
// size, to size the table once before a load.
std::int64_t estimateRows(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    std::int64_t count = 0;
    std::int64_t bytes = 0;
    char previous = '\0';
    std::vector<char> buffer(1 << 18);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n <= 0) {
            break;
        }
        bytes += n;
        const char* begin = buffer.data();
        const char* end = begin + n;
        if (std::memchr(begin, '\n', static_cast<std::size_t>(n)) == nullptr) {
            count += std::count(begin, end, '\r'); // the usual case, and a fast one
        } else {
            for (const char* p = begin; p != end; ++p) {
                count += *p == '\r' || (*p == '\n' && previous != '\r'); // CR LF ends one line
                previous = *p;
            }
        }
        previous = end[-1];
    }
    ::close(fd);
    return std::min(count, bytes / kShortestRecord + 1);
}

} // namespace

NameField EncodeNameField(std::string_view name) {
    NameField field;
    field.exact = carriable(name);
    appendName(field.text, field.exact ? std::string(name) : substituted(name));
    return field;
}

std::string WritableName(std::string_view name) {
    return carriable(name) ? std::string(name) : substituted(name);
}

void AppendDocumentRecord(std::string& out, const ModelTable& table, std::int32_t row) {
    std::array<char, kMaxRecord> line{};
    bool altered = false;
    const char* end = writeRecord(line.data(), table, row, Written::Utf8, altered);
    out.append(line.data(), static_cast<std::size_t>(end - line.data()));
}

SaveOutcome WriteDataSheet(ModelTable& table, const std::string& path, WorkProgress* progress) {
    CodecFiles files;
    files.slots.FileOpenOutput(kDocumentFileNumber, path);
    SaveOutcome outcome;
    if (files.slots.isOpen(kDocumentFileNumber)) {
        outcome = writeRows(files.slots, table, progress);
    }
    outcome.errors = std::move(files.errors);
    return outcome;
}

SaveOutcome WriteDataSheet(ModelTable& table, std::ostream& out) {
    CodecFiles files;
    files.slots.FileOpenOutput(kDocumentFileNumber, out);
    SaveOutcome outcome = writeRows(files.slots, table, nullptr);
    outcome.errors = std::move(files.errors);
    return outcome;
}

namespace {

// Reads the document at path into table; false when it could not be opened.
bool readFile(TextFiles& files, ModelTable& table, const std::string& path,
              WorkProgress* progress) {
    files.FileOpenInput(kDocumentFileNumber, path);
    if (!files.isOpen(kDocumentFileNumber)) {
        return false;
    }
    const NameText names = openedText(files);
    // The usual way: the document's lines taken piece by piece, both halves
    // at once, straight into the table.
    const auto reopen = [&] {
        files.FileClose(kDocumentFileNumber);
        files.FileOpenInput(kDocumentFileNumber, path);
        openedText(files);
    };
    const std::uint64_t skipped = names == NameText::Utf8 ? kByteOrderMark.size() : 0;
    const auto whole = [&]() -> std::optional<RecordBytes> {
        const std::optional<TextFiles::WholeFile> file = files.FileWhole(kDocumentFileNumber);
        if (!file) {
            return std::nullopt;
        }
        RecordBytes bytes;
        bytes.size = file->size - skipped;
        bytes.readAt = [source = file->source, skipped](char* data, std::size_t size,
                                                        std::uint64_t offset) {
            return source->readAt(data, size, offset + skipped);
        };
        return bytes;
    };
    if (const std::optional<TextFiles::WholeFile> file = files.FileWhole(kDocumentFileNumber)) {
        if (progress != nullptr) {
            progress->setTotal(2 * file->size); // the lines counted, then read
        }
        readRecords(files, table, names, reopen, whole);
        return true;
    }
    if (progress != nullptr) {
        progress->setTotal(0); // how far a read line by line has come is not known
    }
    const std::int64_t rows = estimateRows(path);
    if (rows > 0 && rows < INT32_MAX - 2) {
        table.ensureRows(static_cast<std::int32_t>(rows) + 2);
    }
    readRecords(files, table, names, reopen);
    return true;
}

} // namespace

TableRead ReadDataSheet(ModelTable table, const std::string& path, WorkProgress* progress) {
    CodecFiles files;
    files.slots.setProgress(progress);
    const bool opened = readFile(files.slots, table, path, progress);
    return {std::move(table), opened, std::move(files.errors)};
}

TableRead ReadDataSheet(ModelTable table, std::istream& in) {
    CodecFiles files;
    // The document begins where the stream stands, not at its first byte.
    const std::istream::pos_type start = in.tellg();
    files.slots.FileOpenInput(kDocumentFileNumber, in);
    const NameText names = openedText(files.slots);
    readRecords(files.slots, table, names, [&] {
        files.slots.FileClose(kDocumentFileNumber);
        in.clear();
        in.seekg(start);
        files.slots.FileOpenInput(kDocumentFileNumber, in);
        openedText(files.slots);
    });
    return {std::move(table), true, std::move(files.errors)};
}

std::string_view LastPathComponent(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view ExtensionOf(std::string_view path) {
    const std::string_view leaf = LastPathComponent(path);
    const auto dot = leaf.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : leaf.substr(dot + 1);
}

} // namespace kestrune
