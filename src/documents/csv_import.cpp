#include "documents/csv_import.h"

#include "documents/csv_export.h"
#include "documents/data_sheet_format.h"
#include "runtime/byte_streams.h"
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

namespace kestrune {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
// The pieces a file is read in: many records each, and far more than the
// longest record.
constexpr std::size_t kPiece = std::size_t{4} << 20;
static_assert(kPiece > 2 * kMaxTableRecord);
// The shortest line a model can take: nine commas and a line end.
constexpr std::uint64_t kShortestRecord = 10;

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
// read, and how many rows it can hold at most.
class TextScan {
public:
    // Takes bytes up to the last whole character (all of them atEnd).
    std::size_t add(std::string_view bytes, bool atEnd) {
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
        const std::string_view taken = bytes.substr(0, whole);
        lineEnds_ += CountLineBreakBytes(taken.data(), taken.data() + taken.size());
        size_ += whole;
        return whole;
    }
    NameText names() const {
        return marked_ || (!ascii_ && utf8_) ? NameText::Utf8 : NameText::MacRoman;
    }
    // An upper bound; a line ended by CR LF counts twice.
    std::int32_t rowsAtMost() const {
        const std::uint64_t rows = std::min(lineEnds_ + 1, size_ / kShortestRecord + 1);
        return static_cast<std::int32_t>(std::min<std::uint64_t>(rows, INT32_MAX - 2));
    }

private:
    bool started_ = false;
    bool marked_ = false; // a UTF-8 byte-order mark comes first
    bool ascii_ = true;
    bool utf8_ = true;
    std::uint64_t lineEnds_ = 0;
    std::uint64_t size_ = 0;
};

// Hands the first size bytes of source to take, a piece at a time:
// take(bytes, atEnd) returns how many bytes it used, and the rest comes
// again at the front of the next piece. A read that fails is reported, and
// what came before it is handed over as the end.
template <typename Take>
void forEachPiece(TextFiles& files, const ByteSource& source, std::uint64_t size, Take&& take) {
    std::unique_ptr<char[]> buffer(new char[kPiece]); // NOLINT: filled by the reads
    std::size_t have = 0;
    std::uint64_t at = 0;
    for (;;) {
        const auto want =
            static_cast<std::size_t>(std::min<std::uint64_t>(kPiece - have, size - at));
        std::size_t got = 0;
        while (got < want) {
            const std::size_t n = source.readAt(buffer.get() + have + got, want - got, at + got);
            if (n == 0) {
                break;
            }
            got += n;
        }
        have += got;
        at += got;
        const bool failed = got < want;
        if (failed) {
            files.CheckFileError(kCSVFileNumber, FileErrorCode::kIoError);
        }
        const bool atEnd = failed || at >= size;
        const std::size_t used = take(std::string_view(buffer.get(), have), atEnd);
        if (atEnd) {
            return;
        }
        if (used == 0 && have == kPiece) {
            take(std::string_view(buffer.get(), have), true); // cannot be: no record is that long
            return;
        }
        std::memmove(buffer.get(), buffer.get() + used, have - used);
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

ImportOutcome readText(ModelTable& table, std::string_view text) {
    TextScan scan;
    scan.add(text, true);
    ImportedRows rows(table, scan.names(), scan.rowsAtMost());
    rows.read(text, true);
    rows.finish();
    return {true, rows.skipped()};
}

} // namespace

bool OpenDialogCSVFilter(std::string_view path, bool isFolder) {
    return isFolder || isImportExtension(ExtensionOf(path));
}

ImportOutcome ReadCSVTable(TextFiles& files, ModelTable& table, const std::string& path) {
    int status = 0;
    const std::unique_ptr<ByteSource> source = openFileSource(path, status);
    if (!source) {
        files.CheckFileError(kCSVFileNumber, status);
        return {};
    }
    const std::optional<std::uint64_t> size = source->wholeSize();
    if (!size) {
        return readText(table, readAll(files, *source));
    }
    // Read twice, a piece at a time, and never held whole: first to know
    // how its names are written, then into the table.
    TextScan scan;
    const int errorsBefore = files.FileErrorCount();
    forEachPiece(files, *source, *size,
                 [&](std::string_view bytes, bool atEnd) { return scan.add(bytes, atEnd); });
    if (files.FileErrorCount() != errorsBefore) {
        return {}; // the table stays as it was
    }
    ImportedRows rows(table, scan.names(), scan.rowsAtMost());
    forEachPiece(files, *source, *size,
                 [&](std::string_view bytes, bool atEnd) { return rows.read(bytes, atEnd); });
    rows.finish();
    return {true, rows.skipped()};
}

ImportOutcome ReadCSVTable(AppState& app, const std::string& path) {
    return ReadCSVTable(app.files, app.table, path);
}

ImportOutcome ReadCSVTable(AppState& app, std::istream& stream) {
    std::string text;
    try {
        text = readAll(app.files, stream);
    } catch (const std::bad_alloc&) {
        app.files.CheckFileError(kCSVFileNumber, ENOMEM);
        return {};
    }
    return readText(app.table, text);
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

void ApplyImportedDocumentState(AppState& app, std::string_view path) {
    app.doc.fileName1 = ImportedDocumentName(path);
    app.doc.FileOpenFlag = 0;
    app.doc.DirtyFlag = 1;
    app.doc.fileUrl.clear();
    app.SelectLoadedSheet();
}

ImportOutcome ImportCSVTable(AppState& app, const std::string& path) {
    ImportOutcome outcome = ReadCSVTable(app, path);
    if (outcome.ok) {
        ApplyImportedDocumentState(app, path);
    }
    return outcome;
}

ImportOutcome ClickOpenCSVFile(AppState& app, const std::string& path) {
    if (!isImportExtension(ExtensionOf(path))) {
        return {};
    }
    return ImportCSVTable(app, path);
}

} // namespace kestrune
