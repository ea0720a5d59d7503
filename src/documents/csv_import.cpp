#include "documents/csv_import.h"

#include "documents/csv_export.h"
#include "documents/data_sheet_format.h"
#include "runtime/byte_streams.h"
#include "runtime/cores.h"
#include "runtime/eight_bit_text.h"
#include "runtime/file_errors.h"
#include "runtime/line_breaks.h"
#include "runtime/utf8_check.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <istream>
#include <memory>
#include <new>
#include <optional>
#include <utility>
#include <vector>

namespace kestrune {
namespace {

// The pieces a file is read in: many records each, far more than the
// longest record, and small enough to stay in the cache between being read
// and being parsed.
constexpr std::size_t kPiece = std::size_t{512} << 10;
static_assert(kPiece > 2 * kMaxTableRecord);
// The bytes the layout of a table is told from.
constexpr std::size_t kLayoutWindow = std::size_t{4} << 20;
// Below this, a second thread costs more than it saves.
constexpr std::uint64_t kSplitBytes = std::uint64_t{1} << 20;

// How a read went: ok once the file could be read (a read that failed
// part-way has its error reported to the slots, and the rows before it are
// kept), and the lines that were not one model.
struct ImportOutcome {
    bool ok = false;
    SkippedLines skipped;
    bool failed = false; // a read failed part-way
};

bool isImportExtension(std::string_view extension) {
    return extension == kCSVExtension || extension == kTXTExtension;
}

// Counts the line ends of a part of a file, a piece at a time. The part
// after the middle also finds where the first line that starts after the
// middle begins: the lines before it are the first half's.
class LineScan {
public:
    explicit LineScan(bool seeking) : seeking_(seeking) {}

    // Takes every byte but a CR that closes bytes while its LF may follow,
    // as long as the line start is still sought.
    std::size_t add(std::string_view bytes, BytesEnd end) {
        const char* p = bytes.data();
        const char* const last = p + bytes.size();
        if (offset_ == 0 && !bytes.empty()) {
            marked_ = bytes.starts_with(kUtf8ByteOrderMark);
            first_ = bytes.front();
        }
        if (seeking_) {
            const char* const lineEnd = FindLineBreak(p, last);
            if (lineEnd != last && *lineEnd == '\r' && lineEnd + 1 == last &&
                end == BytesEnd::More) {
                count(p, lineEnd, before_);
                return static_cast<std::size_t>(lineEnd - bytes.data());
            }
            const char* after = lineEnd == last ? last : lineEnd + 1;
            after += after < last && *lineEnd == '\r' && *after == '\n' ? 1 : 0;
            count(p, after, before_);
            p = after;
            if (lineEnd != last) {
                seeking_ = false;
                start_ = offset_;
            }
        }
        count(p, last, after_);
        return bytes.size();
    }

    bool marked() const { return marked_; }
    char first() const { return first_; }
    char last() const { return last_; }
    // Where the line after the part's first line end starts, from the
    // part's first byte; the line ends before it, and from it on.
    std::optional<std::uint64_t> lineStart() const {
        return seeking_ ? std::nullopt : std::optional(start_);
    }
    std::uint64_t lineEndsBefore() const { return before_; }
    std::uint64_t lineEnds() const { return before_ + after_; }
    std::uint64_t lineEndsAfter() const { return after_; }
    std::uint64_t size() const { return offset_; }

private:
    void count(const char* p, const char* last, std::uint64_t& into) {
        if (p == last) {
            return;
        }
        into += CountLineEnds(p, last, afterCR_);
        afterCR_ = last[-1] == '\r';
        last_ = last[-1];
        offset_ += static_cast<std::uint64_t>(last - p);
    }

    bool seeking_;
    bool afterCR_ = false;
    bool marked_ = false;
    char first_ = '\0';
    char last_ = '\0';
    std::uint64_t offset_ = 0;
    std::uint64_t start_ = 0;
    std::uint64_t before_ = 0;
    std::uint64_t after_ = 0;
};

// What the first look at a file tells: whether a UTF-8 byte-order mark
// begins it, how many lines it has, and where the first line that starts
// after its middle begins.
struct TextScan {
    bool marked = false;
    std::int32_t lines = 0;  // every record takes at least one
    std::uint64_t split = 0; // 0 when the file ends first
    std::int64_t linesBeforeSplit = 0;
    bool header = false; // the first record is a header line
};

constexpr std::size_t kStop = std::string_view::npos;

// A source read a piece at a time into a buffer of kPiece bytes; one a
// thread.
struct Pieces {
    const ByteSource& source;
    std::unique_ptr<char[]> buffer = std::make_unique_for_overwrite<char[]>(kPiece);
};

// Hands bytes from to to of a source to take, a piece at a time:
// take(bytes, end) returns how many bytes it used, and the rest comes again
// at the front of the next piece. The last piece ends as lastEnd says.
// Returns the bytes left over at the end; false in failed when a read
// failed (what came before is handed over as the end of the file). A take
// that returns kStop ends the reading there.
template <typename Take>
std::size_t forEachPiece(const Pieces& pieces, std::uint64_t from, std::uint64_t to,
                         BytesEnd lastEnd, bool& failed, Take&& take) {
    const ByteSource& source = pieces.source;
    char* const buffer = pieces.buffer.get();
    std::size_t have = 0;
    std::uint64_t at = from;
    for (;;) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(kPiece - have, to - at));
        std::size_t got = 0;
        while (got < want) {
            const std::size_t n = source.readAt(buffer + have + got, want - got, at + got);
            if (n == 0) {
                break;
            }
            got += n;
        }
        have += got;
        at += got;
        failed = got < want;
        const BytesEnd end = failed ? BytesEnd::File : at >= to ? lastEnd : BytesEnd::More;
        std::size_t used = take(std::string_view(buffer, have), end);
        if (used == kStop) {
            return 0;
        }
        if (end != BytesEnd::More) {
            return have - used;
        }
        if (used == 0 && have == kPiece) {
            used = take(std::string_view(buffer, have),
                        BytesEnd::File); // no record is that long
            return have - used;
        }
        std::memmove(buffer, buffer + used, have - used);
        have -= used;
    }
}

// Every byte of the stream; a read that fails is reported and what came
// before it is kept.
std::string readAll(TextFiles& files, std::istream& stream) {
    std::string bytes;
    std::array<char, 1 << 16> chunk{};
    while (stream.read(chunk.data(), chunk.size()) || stream.gcount() > 0) {
        bytes.append(chunk.data(), static_cast<std::size_t>(stream.gcount()));
    }
    if (stream.bad()) {
        files.CheckFileError(kCSVFileNumber, FileErrorCode::kIoError);
    }
    return bytes;
}

// Every byte of a source that cannot be read at an offset (a pipe).
std::string readAll(TextFiles& files, ByteSource& source) {
    std::string bytes;
    for (int c = source.get(); c >= 0; c = source.get()) {
        bytes.push_back(static_cast<char>(c));
        source.readUntilLineEnd(bytes, bytes.max_size() - bytes.size());
    }
    files.CheckFileError(kCSVFileNumber, source.error());
    return bytes;
}

// Whether the first record of a table, which start begins, is a header
// line, read as no row: a record whole within start whose first field is
// "Manufacturer".
bool startsWithHeader(std::string_view start, BytesEnd end, const TableLayout& layout) {
    TableRecord record;
    return SkipToFirstRecord(start, end) &&
           CutRecord(start, layout.separator, end, record) == RecordCut::Whole &&
           record.length <= kMaxTableRecord && IsHeaderRecord(record);
}

// The layout of a table from its first bytes (as many as kLayoutWindow),
// and whether a header line begins it.
TableLayout layoutOf(const ByteSource& source, std::uint64_t size, bool& header) {
    const auto window = static_cast<std::size_t>(std::min<std::uint64_t>(size, kLayoutWindow));
    const std::unique_ptr<char[]> buffer = std::make_unique_for_overwrite<char[]>(window);
    std::size_t got = 0;
    while (got < window) {
        const std::size_t n = source.readAt(buffer.get() + got, window - got, got);
        if (n == 0) {
            break;
        }
        got += n;
    }
    const std::string_view bytes(buffer.get(), got);
    const BytesEnd end = size <= kLayoutWindow ? BytesEnd::File : BytesEnd::More;
    const TableLayout layout = TableLayoutOf(bytes, end);
    header = startsWithHeader(bytes, end, layout);
    return layout;
}

// Counts the lines of the size bytes of a source, the halves of a large
// one at once; false in failed when a read failed.
TextScan scanLines(Pieces& pieces, std::uint64_t size, bool& failed) {
    const std::uint64_t middle = size >= kSplitBytes ? size / 2 : size;
    LineScan first(false);
    LineScan second(true);
    bool secondFailed = false;
    const auto scanFirst = [&] {
        forEachPiece(pieces, 0, middle, BytesEnd::File, failed,
                     [&](std::string_view bytes, BytesEnd end) { return first.add(bytes, end); });
    };
    if (middle == size) {
        scanFirst(); // a small file costs no thread
    } else {
        RunBeside(
            [&] {
                forEachPiece(
                    Pieces{pieces.source}, middle, size, BytesEnd::File, secondFailed,
                    [&](std::string_view bytes, BytesEnd end) { return second.add(bytes, end); });
            },
            scanFirst);
    }
    failed = failed || secondFailed;
    TextScan scan;
    scan.marked = first.marked();
    // A CR LF across the middle is one line end, counted with the CR.
    const std::uint64_t lineFeedAfterCR =
        first.size() > 0 && first.last() == '\r' && second.size() > 0 && second.first() == '\n';
    const std::uint64_t beforeSplit = first.lineEnds() + second.lineEndsBefore() - lineFeedAfterCR;
    const std::uint64_t lineEnds = beforeSplit + second.lineEndsAfter();
    const char last = second.size() > 0 ? second.last() : first.last();
    const bool lastIsLineEnd = last == '\r' || last == '\n';
    const std::uint64_t lines = lineEnds + (size > 0 && !lastIsLineEnd ? 1 : 0);
    scan.lines = static_cast<std::int32_t>(std::min<std::uint64_t>(lines, INT32_MAX - 2));
    if (const std::optional<std::uint64_t> start = second.lineStart();
        start && middle + *start < size) {
        scan.split = middle + *start;
        scan.linesBeforeSplit = static_cast<std::int64_t>(beforeSplit);
    }
    return scan;
}

// The records from one place on into rows: whether a read failed, and
// whether every byte they took was UTF-8 while check asks for it.
struct RowReading {
    ImportedRows& rows;
    Utf8Check* check;
    std::atomic<bool>& notUtf8;

    std::size_t take(std::string_view bytes, BytesEnd end) const {
        if (check != nullptr && notUtf8.load(std::memory_order_relaxed)) {
            return kStop; // the other half found a byte that is not UTF-8
        }
        const std::size_t used = rows.read(bytes, end);
        if (check != nullptr && !check->add(bytes.substr(0, used))) {
            notUtf8.store(true, std::memory_order_relaxed);
            return kStop;
        }
        return used;
    }
    std::size_t from(const Pieces& pieces, std::uint64_t first, std::uint64_t last,
                     BytesEnd lastEnd, bool& failed) const {
        return forEachPiece(
            pieces, first, last, lastEnd, failed,
            [this](std::string_view bytes, BytesEnd end) { return take(bytes, end); });
    }
};

// The name columns shared out between the readers of the two halves: each
// writes the names of its rows into bytes of its own, as long as its half,
// and the bytes are joined end to end once both are done (no name copied
// beside the others).
class HalvesNameParts {
public:
    HalvesNameParts(ModelTable& table, std::int32_t lastRow, std::uint64_t size,
                    std::uint64_t split, NameText names)
        : table_(table),
          manufacturers_(table.Manufacturer.beginParts(lastRow, capacities(size, split, names))),
          modelNames_(table.ModelName.beginParts(lastRow, capacities(size, split, names))) {}
    HalvesNameParts(const HalvesNameParts&) = delete;
    HalvesNameParts& operator=(const HalvesNameParts&) = delete;
    ~HalvesNameParts() { end(); }

    ImportedRows::NameParts half(std::size_t k) { return {&manufacturers_[k], &modelNames_[k]}; }
    // The columns are whole again and take names as ever.
    void end() {
        if (!ended_) {
            ended_ = true;
            table_.Manufacturer.endParts(manufacturers_);
            table_.ModelName.endParts(modelNames_);
        }
    }

private:
    // A half's names take no more than its bytes, or three times as many
    // once converted from eight-bit text (memory never written costs nothing).
    static std::vector<std::size_t> capacities(std::uint64_t size, std::uint64_t split,
                                               NameText names) {
        const std::size_t growth = names == NameText::Utf8 ? 1 : 3;
        return {growth * static_cast<std::size_t>(split),
                growth * static_cast<std::size_t>(size - split)};
    }

    ModelTable& table_;
    std::vector<NameColumn::Part> manufacturers_;
    std::vector<NameColumn::Part> modelNames_;
    bool ended_ = false;
};

// Reads the bytes from split on with a second reader, beside rows reading
// the bytes before split, and joins them when split fell between records.
// Otherwise the rest is read after the first half, as one reader would.
void readInTwoHalves(Pieces& pieces, std::uint64_t size, const TextScan& scan,
                     HalvesNameParts& names, const RowReading& rows, const RowReading& second,
                     bool& failed) {
    const std::uint64_t split = scan.split;
    bool secondFailed = false;
    std::size_t left = 0;
    RunBeside(
        [&] { second.from(Pieces{pieces.source}, split, size, BytesEnd::File, secondFailed); },
        [&] { left = rows.from(pieces, 0, split, BytesEnd::LineStart, failed); });
    names.end();
    rows.rows.writeNamesThrough({});
    if (rows.notUtf8) {
        rows.rows.drop(second.rows);
        return; // read anew
    }
    if (!failed && left == 0 && !secondFailed && !second.rows.overflowed()) {
        pieces.buffer.reset(); // the halves are joined at the peak of memory
        rows.rows.join(second.rows);
        return;
    }
    // The middle fell inside a quoted field, or a read failed.
    rows.rows.drop(second.rows);
    if (!failed) {
        rows.from(pieces, split - left, size, BytesEnd::File, failed);
    }
}

// Reads the size bytes of source into the table as scan found them, with
// names as names says; false when names said UTF-8 unless a byte is not,
// and one is not.
bool readRows(Pieces& pieces, std::uint64_t size, const TextScan& scan, const TableLayout& layout,
              ModelTable& table, NameText names, bool unlessNotUtf8, ImportOutcome& outcome) {
    bool failed = false;
    std::atomic<bool> notUtf8 = false;
    Utf8Check firstCheck;
    Utf8Check secondCheck;
    ImportedRows rows(table, names, layout, scan.lines);
    const RowReading first{rows, unlessNotUtf8 ? &firstCheck : nullptr, notUtf8};
    if (scan.split == 0) {
        // Names are a part of each line; the two columns take at most half
        // of the bytes each, as a rule.
        rows.reserveNameBytes(static_cast<std::size_t>(size / 2));
        first.from(pieces, 0, size, BytesEnd::File, failed);
    } else {
        HalvesNameParts parts(table, scan.lines, size, scan.split, names);
        rows.writeNamesThrough(parts.half(0));
        ImportedRows second(table, names, layout,
                            ImportedRows::After{static_cast<std::int32_t>(scan.linesBeforeSplit -
                                                                          (scan.header ? 1 : 0)),
                                                parts.half(1)});
        readInTwoHalves(pieces, size, scan, parts, first,
                        RowReading{second, unlessNotUtf8 ? &secondCheck : nullptr, notUtf8},
                        failed);
    }
    // A read that failed cut the text short where it stopped.
    if (notUtf8 || (unlessNotUtf8 && !failed && !(firstCheck.finish() && secondCheck.finish()))) {
        return false;
    }
    rows.finish();
    outcome = {true, rows.skipped(), failed};
    return true;
}

// Which eight-bit text the size bytes of a file that is not UTF-8 are in,
// read as far as it takes to tell.
NameText eightBitTextOf(const Pieces& pieces, std::uint64_t size) {
    EightBitGuess guess;
    bool failed = false;
    forEachPiece(pieces, 0, size, BytesEnd::File, failed, [&](std::string_view bytes, BytesEnd) {
        guess.add(bytes);
        return guess.settled() ? kStop : bytes.size();
    });
    return guess.likelier() == EightBitText::MacRoman ? NameText::MacRoman : NameText::Windows1252;
}

// Reads the size bytes of source into the table: once to count its lines,
// then into the rows, the two halves of a large file at once. Names behind
// a UTF-8 byte-order mark are kept as they are; so are those of a file that
// is UTF-8 throughout, which is read anew as Windows-1252 or Mac OS Roman,
// as its bytes show, once a byte shows it is not.
ImportOutcome readTable(TextFiles& files, ModelTable& table, const ByteSource& source,
                        std::uint64_t size) {
    bool failed = false;
    Pieces pieces{source};
    TextScan scan = scanLines(pieces, size, failed);
    if (failed) {
        files.CheckFileError(kCSVFileNumber, FileErrorCode::kIoError);
        return {}; // the table stays as it was
    }
    const TableLayout layout = layoutOf(source, size, scan.header);
    ImportOutcome outcome;
    if (!readRows(pieces, size, scan, layout, table, NameText::Utf8, !scan.marked, outcome)) {
        if (!pieces.buffer) {
            pieces.buffer = std::make_unique_for_overwrite<char[]>(kPiece);
        }
        readRows(pieces, size, scan, layout, table, eightBitTextOf(pieces, size), false, outcome);
    }
    if (outcome.failed) {
        files.CheckFileError(kCSVFileNumber, FileErrorCode::kIoError);
    }
    return outcome;
}

ImportOutcome readFile(TextFiles& files, ModelTable& table, const std::string& path,
                       WorkProgress* progress) {
    int status = 0;
    const std::unique_ptr<ByteSource> source = openFileSource(path, status, progress);
    if (!source) {
        files.CheckFileError(kCSVFileNumber, status);
        return {};
    }
    // Read a piece at a time, never held whole beside the table it fills.
    if (const std::optional<std::uint64_t> size = source->wholeSize()) {
        if (progress != nullptr) {
            progress->setTotal(2 * *size); // the lines counted, then read
        }
        return readTable(files, table, *source, *size);
    }
    const std::string text = readAll(files, *source);
    return readTable(files, table, *makeMemorySource(text), text.size());
}

TableImport imported(ModelTable table, ImportOutcome outcome, FileErrors errors) {
    return {{std::move(table), outcome.ok, std::move(errors)}, std::move(outcome.skipped)};
}

} // namespace

bool OpenDialogCSVFilter(std::string_view path, bool isFolder) {
    return isFolder || isImportExtension(ExtensionOf(path));
}

TableImport ReadCSVTable(ModelTable table, const std::string& path, WorkProgress* progress) {
    CodecFiles files;
    ImportOutcome outcome = readFile(files.slots, table, path, progress);
    return imported(std::move(table), std::move(outcome), std::move(files.errors));
}

TableImport ReadCSVTable(ModelTable table, std::istream& stream) {
    CodecFiles files;
    std::string text;
    try {
        text = readAll(files.slots, stream);
    } catch (const std::bad_alloc&) {
        files.slots.CheckFileError(kCSVFileNumber, ENOMEM);
        return imported(std::move(table), {}, std::move(files.errors));
    }
    ImportOutcome outcome = readTable(files.slots, table, *makeMemorySource(text), text.size());
    return imported(std::move(table), std::move(outcome), std::move(files.errors));
}

std::string ImportedDocumentName(std::string_view path) {
    const std::string_view name = LastPathComponent(path);
    std::string renamed =
        CFStringCopyPathReplacingExtension(name, kCSVExtension, kDocumentExtension);
    if (renamed != name) {
        return renamed;
    }
    return CFStringCopyPathReplacingExtension(name, kTXTExtension, kDocumentExtension);
}

} // namespace kestrune
