#include "documents/csv_import.h"

#include "documents/csv_export.h"
#include "documents/data_sheet_format.h"
#include "runtime/byte_streams.h"
#include "runtime/cores.h"
#include "runtime/file_errors.h"
#include "runtime/line_breaks.h"
#include "runtime/mac_roman.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <istream>
#include <memory>
#include <new>
#include <utility>

namespace kestrune {
namespace {

// The pieces a file is read in: many records each, and far more than the
// longest record.
constexpr std::size_t kPiece = std::size_t{4} << 20;
static_assert(kPiece > 2 * kMaxTableRecord);
// Below this, a second thread costs more than it saves.
constexpr std::uint64_t kSplitBytes = std::uint64_t{1} << 20;

// How a read went: ok once the file could be read (a read that failed
// part-way has its error reported to the slots, and the rows before it are
// kept), and the lines that were not one model.
struct ImportOutcome {
    bool ok = false;
    SkippedLines skipped;
};

bool isImportExtension(std::string_view extension) {
    return extension == kCSVExtension || extension == kTXTExtension;
}

// Where bytes stop holding whole UTF-8 characters: before a leading byte
// at the end whose character goes on past them.
std::size_t wholeCharacters(std::string_view bytes) {
    const std::size_t size = bytes.size();
    for (std::size_t back = 1; back <= 4 && back <= size; ++back) {
        const auto c = static_cast<unsigned char>(bytes[size - back]);
        if ((c & 0xC0) == 0x80) {
            continue; // a continuation byte
        }
        const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? size - back : size;
    }
    return size;
}

// The first look at a file, a piece at a time: how its names are to be
// read, how many lines it has, and where the first line that starts after
// the middle (at or past middle) begins.
class TextScan {
public:
    explicit TextScan(std::uint64_t middle) : middle_(middle) {}

    // Takes bytes up to the last whole character (all of them at the end
    // of the file) and never a CR whose LF may follow.
    std::size_t add(std::string_view bytes, BytesEnd end) {
        const bool atEnd = end == BytesEnd::File;
        if (!started_) {
            if (bytes.size() < kUtf8ByteOrderMark.size() && !atEnd &&
                kUtf8ByteOrderMark.starts_with(bytes)) {
                return 0;
            }
            started_ = true;
            marked_ = bytes.starts_with(kUtf8ByteOrderMark);
        }
        std::size_t whole = bytes.size();
        if (!marked_ && utf8_ && !IsAscii(bytes.data(), bytes.data() + bytes.size())) {
            ascii_ = false;
            whole = atEnd ? bytes.size() : wholeCharacters(bytes);
            utf8_ = isValidUtf8(bytes.substr(0, whole));
        }
        if (!atEnd && whole > 1 && bytes[whole - 1] == '\r') {
            --whole;
        }
        const char* const begin = bytes.data();
        if (split_ == 0 && offset_ + whole > middle_) {
            const std::uint64_t from = std::max(middle_, offset_) - offset_;
            const char* const lineEnd =
                FindLineBreak(begin + static_cast<std::size_t>(from), begin + whole);
            if (lineEnd != begin + whole) {
                const char* after = lineEnd + 1;
                after += *lineEnd == '\r' && after < begin + whole && *after == '\n' ? 1 : 0;
                if (after < begin + whole || atEnd) {
                    split_ = offset_ + static_cast<std::uint64_t>(after - begin);
                    linesBeforeSplit_ = lineEnds_ + CountLineEnds(begin, after, afterCR_);
                }
            }
        }
        lineEnds_ += CountLineEnds(begin, begin + whole, afterCR_);
        if (whole > 0) {
            afterCR_ = bytes[whole - 1] == '\r';
            lastIsLineEnd_ = afterCR_ || bytes[whole - 1] == '\n';
        }
        offset_ += whole;
        return whole;
    }
    NameText names() const {
        return marked_ || (!ascii_ && utf8_) ? NameText::Utf8 : NameText::MacRoman;
    }
    // Every record takes at least one line.
    std::int32_t lines() const {
        const std::uint64_t lines = lineEnds_ + (offset_ > 0 && !lastIsLineEnd_ ? 1 : 0);
        return static_cast<std::int32_t>(std::min<std::uint64_t>(lines, INT32_MAX - 2));
    }
    // Where the second part of the file begins, 0 when the file ends first.
    std::uint64_t split() const { return split_ < offset_ ? split_ : 0; }
    std::int64_t linesBeforeSplit() const { return static_cast<std::int64_t>(linesBeforeSplit_); }

private:
    std::uint64_t middle_;
    bool started_ = false;
    bool marked_ = false; // a UTF-8 byte-order mark comes first
    bool ascii_ = true;
    bool utf8_ = true;
    bool afterCR_ = false;
    bool lastIsLineEnd_ = false;
    std::uint64_t lineEnds_ = 0;
    std::uint64_t offset_ = 0;
    std::uint64_t split_ = 0;
    std::uint64_t linesBeforeSplit_ = 0;
};

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
// failed (what came before is handed over as the end of the file).
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

// The layout of a table from its first piece.
TableLayout layoutOf(const Pieces& pieces, std::uint64_t size) {
    TableLayout layout;
    bool failed = false;
    forEachPiece(pieces, 0, std::min<std::uint64_t>(size, kPiece), BytesEnd::File, failed,
                 [&](std::string_view bytes, BytesEnd end) {
                     layout = TableLayoutOf(bytes, size <= kPiece ? end : BytesEnd::More);
                     return bytes.size();
                 });
    return layout;
}

// Reads the bytes from split on with a second reader, beside rows reading
// the bytes before split, and joins them when split fell between records.
// Otherwise the rest is read after the first half, as one reader would.
void readInTwoHalves(Pieces& pieces, std::uint64_t size, const TextScan& scan, ImportedRows& rows,
                     ImportedRows& second, bool& failed) {
    const std::uint64_t split = scan.split();
    bool secondFailed = false;
    std::size_t left = 0;
    RunBeside(
        [&] {
            forEachPiece(
                Pieces{pieces.source}, split, size, BytesEnd::File, secondFailed,
                [&](std::string_view bytes, BytesEnd end) { return second.read(bytes, end); });
        },
        [&] {
            left = forEachPiece(
                pieces, 0, split, BytesEnd::LineStart, failed,
                [&](std::string_view bytes, BytesEnd end) { return rows.read(bytes, end); });
        });
    if (!failed && left == 0 && !secondFailed && !second.overflowed()) {
        pieces.buffer.reset(); // the names of the halves are joined at the peak of memory
        rows.join(second);
        return;
    }
    // The middle fell inside a quoted field, or a read failed.
    rows.drop(second);
    if (!failed) {
        forEachPiece(pieces, split - left, size, BytesEnd::File, failed,
                     [&](std::string_view bytes, BytesEnd end) { return rows.read(bytes, end); });
    }
}

// Reads the size bytes of source into the table: once to look at them,
// then into the rows, the two halves of a large file at once.
ImportOutcome readTable(TextFiles& files, ModelTable& table, const ByteSource& source,
                        std::uint64_t size) {
    bool failed = false;
    Pieces pieces{source};
    TextScan scan(size >= kSplitBytes ? size / 2 : size);
    forEachPiece(pieces, 0, size, BytesEnd::File, failed,
                 [&](std::string_view bytes, BytesEnd end) { return scan.add(bytes, end); });
    if (failed) {
        files.CheckFileError(kCSVFileNumber, FileErrorCode::kIoError);
        return {}; // the table stays as it was
    }
    const TableLayout layout = layoutOf(pieces, size);
    ImportedRows rows(table, scan.names(), layout, scan.lines());
    // Names are a part of each line; the two columns take at most half of
    // the bytes each, as a rule.
    rows.reserveNameBytes(static_cast<std::size_t>(size / 2));
    if (scan.split() == 0) {
        forEachPiece(pieces, 0, size, BytesEnd::File, failed,
                     [&](std::string_view bytes, BytesEnd end) { return rows.read(bytes, end); });
    } else {
        ImportedRows second(
            table, scan.names(), layout,
            ImportedRows::After{static_cast<std::int32_t>(scan.linesBeforeSplit())});
        second.reserveNameBytes(static_cast<std::size_t>((size - scan.split()) / 2));
        readInTwoHalves(pieces, size, scan, rows, second, failed);
    }
    if (failed) {
        files.CheckFileError(kCSVFileNumber, FileErrorCode::kIoError);
    }
    rows.finish();
    return {true, rows.skipped()};
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
            progress->setTotal(*size);
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
