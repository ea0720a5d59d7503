#include "documents/csv_import.h"

#include "documents/csv_export.h"
#include "documents/data_sheet_format.h"
#include "documents/whole_line_records.h"
#include "runtime/byte_streams.h"
#include "runtime/file_errors.h"
#include "runtime/mac_roman.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <istream>
#include <new>
#include <system_error>
#include <unistd.h>
#include <utility>
#include <vector>

namespace kestrune {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr int kHeaderFields = 10;
// The table's row numbers are 32-bit and row fNum+1 must stay addressable.
constexpr std::int32_t kMaxRows = INT32_MAX - 2;
// The shortest line a model can take ("a,b,1,2,3,4,5,6,7,8" and its line end).
constexpr std::size_t kShortestRecord = 20;

bool isImportExtension(std::string_view extension) {
    return extension == kCSVExtension || extension == kTXTExtension;
}

bool isPlainAscii(std::string_view bytes) {
    return std::none_of(bytes.begin(), bytes.end(),
                        [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Rows to make room for before reading, so that a large file does not
// regrow the columns again and again; a guess, never more than the text can hold.
std::int32_t expectedRows(std::string_view text) {
    std::size_t lines = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        lines += text[i] == '\r' || (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'));
    }
    const std::size_t rows = std::min(lines, text.size() / kShortestRecord + 1);
    return static_cast<std::int32_t>(std::min<std::size_t>(rows, kMaxRows));
}

// What a read works on: the file slots and the table it fills.
struct SheetReading {
    TextFiles& files;
    ModelTable& table;
};

// open() opens the text at its first byte as file kCSVFileNumber; false
// when it could not (the table is left alone then).
bool readRows(const SheetReading& in, const std::function<void()>& open) {
    TextFiles& files = in.files;
    ModelTable& table = in.table;

    // The header is recognised by its first field alone; reading then
    // starts over from the first byte.
    open();
    if (!files.isOpen(kCSVFileNumber)) {
        return false;
    }
    const bool header = files.FileInputItemBytes(kCSVFileNumber) == kCSVHeaderFirstField;
    files.FileClose(kCSVFileNumber);
    open();
    if (!files.isOpen(kCSVFileNumber)) {
        return false;
    }
    if (header) {
        for (int k = 0; k < kHeaderFields; ++k) {
            files.FileInputItemBytes(kCSVFileNumber);
        }
    }

    table.fNum = 0;
    while (!files.FileEof(kCSVFileNumber) && table.fNum < kMaxRows) {
        const std::int32_t r = table.fNum + 1;
        table.fNum = r;
        table.ensureRows(r + 1);
        table.Number[r] = r;
        table.Manufacturer.set(r, files.FileInputItemBytes(kCSVFileNumber));
        table.ModelName.set(r, files.FileInputItemBytes(kCSVFileNumber));
        for (Param p : kAllParams) {
            table.setValue(p, r, files.FileInputItemNumber(kCSVFileNumber));
        }
    }
    files.FileClose(kCSVFileNumber);
    table.emptyRow(table.fNum + 1, true);
    return true;
}

// The rows of a table's text: whole lines at once when every line (after a
// header line) is one model, else item by item.
void readRowsFromText(const SheetReading& in, std::string_view text) {
    if (!text.empty()) {
        std::string_view body = text;
        std::size_t skipped = 0;
        if (FirstItem(text) == kCSVHeaderFirstField) {
            skipped = SkipLineOfItems(text, kHeaderFields, TextFiles::kMaxItemLine);
            body = text.substr(skipped);
        }
        const bool headerInOneLine = skipped > 0 || body.size() == text.size();
        if (headerInOneLine && !body.empty()) {
            const std::int32_t rows =
                ReadWholeLineRecords(body, kHeaderFields, TextFiles::kMaxItemLine, in.table);
            if (rows >= 0) {
                in.table.fNum = rows;
                in.table.emptyRow(rows + 1, true);
                return;
            }
        }
    }
    readRows(in, [&] { in.files.FileOpenInputBytes(kCSVFileNumber, text); });
}

// A plain ASCII file of one model a line (after a header line) read whole
// lines at a time, piece by piece, while it stays open; false when it is not
// such a file, and nothing is reported.
bool readPlainLines(const SheetReading& in, const ByteSource& source) {
    const std::optional<std::uint64_t> size = source.wholeSize();
    if (!size || *size == 0) {
        return false;
    }
    // The first line, to know whether a header comes first.
    std::string head(
        static_cast<std::size_t>(std::min<std::uint64_t>(*size, TextFiles::kMaxItemLine + 2)),
        '\0');
    for (std::size_t got = 0; got < head.size();) {
        const std::size_t n = source.readAt(head.data() + got, head.size() - got, got);
        if (n == 0) {
            return false;
        }
        got += n;
    }
    std::uint64_t skipped = 0;
    if (FirstItem(head) == kCSVHeaderFirstField) {
        skipped = SkipLineOfItems(head, kHeaderFields, TextFiles::kMaxItemLine);
        if (skipped == 0) {
            return false;
        }
    }
    RecordBytes body;
    body.size = *size - skipped;
    body.readAt = [&source, skipped](char* data, std::size_t length, std::uint64_t offset) {
        return source.readAt(data, length, offset + skipped);
    };
    if (!isPlainAscii(head)) {
        return false;
    }
    const std::int32_t rows = ReadWholeLineRecords(body, kHeaderFields, TextFiles::kMaxItemLine,
                                                   in.table, kRecordPiece, true);
    if (rows < 0) {
        return false;
    }
    in.table.fNum = rows;
    in.table.emptyRow(rows + 1, true);
    return true;
}

// What a first pass over a file finds out without keeping its bytes.
struct PlainTextScan {
    // Every byte is ASCII and the whole file was read: its text is its bytes.
    bool plain = false;
    // The rows to make room for, as expectedRows counts them.
    std::int32_t rows = 0;
};

PlainTextScan scanForPlainText(const std::string& path) {
    PlainTextScan scan;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return scan;
    }
    std::vector<char> buffer(1 << 18);
    std::size_t lines = 1;
    std::size_t size = 0;
    char previous = '\0';
    bool ascii = true;
    ssize_t n = 0;
    while (ascii && (n = ::read(fd, buffer.data(), buffer.size())) > 0) {
        const char* begin = buffer.data();
        const char* end = begin + n;
        unsigned char high = 0;
        for (const char* p = begin; p != end; ++p) {
            high |= static_cast<unsigned char>(*p);
        }
        ascii = high < 0x80;
        if (std::memchr(begin, '\n', static_cast<std::size_t>(n)) == nullptr) {
            lines += static_cast<std::size_t>(std::count(begin, end, '\r'));
        } else {
            for (const char* p = begin; p != end; ++p) {
                lines += *p == '\r' || (*p == '\n' && previous != '\r'); // CR LF ends one line
                previous = *p;
            }
        }
        previous = end[-1];
        size += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (!ascii || n < 0) {
        return scan; // converted, or the full path reports the failure
    }
    scan.plain = true;
    const std::size_t rows = std::min(lines, size / kShortestRecord + 1);
    scan.rows = static_cast<std::int32_t>(std::min<std::size_t>(rows, kMaxRows));
    return scan;
}

// Turns the bytes into the table's text and makes room for its rows; false,
// with the file-error alert, when memory runs out before the table changes.
bool prepareText(const SheetReading& in, const std::function<std::string()>& readBytes,
                 std::string& text) {
    try {
        text = ImportedTextToMacRoman(readBytes());
        in.table.ensureRows(expectedRows(text) + 1);
    } catch (const std::bad_alloc&) {
        text.clear();
        in.files.CheckFileError(kCSVFileNumber, ENOMEM);
        return false;
    }
    return true;
}

// Every byte of the source; a read that fails part-way is reported and what
// came before it is kept.
std::string readAll(const SheetReading& in, ByteSource& source, std::size_t sizeHint) {
    std::string bytes;
    bytes.reserve(sizeHint);
    for (;;) {
        source.readUntilLineEnd(bytes, bytes.max_size() - bytes.size());
        const int c = source.get();
        if (c < 0) {
            break;
        }
        bytes.push_back(static_cast<char>(c));
    }
    in.files.CheckFileError(kCSVFileNumber, source.error());
    return bytes;
}

std::string readAll(const SheetReading& in, std::istream& stream) {
    std::string bytes;
    std::array<char, 1 << 16> chunk{};
    while (stream.read(chunk.data(), chunk.size()) || stream.gcount() > 0) {
        bytes.append(chunk.data(), static_cast<std::size_t>(stream.gcount()));
    }
    if (stream.bad()) {
        in.files.CheckFileError(kCSVFileNumber, FileErrorCode::kIoError);
    }
    return bytes;
}

} // namespace

bool OpenDialogCSVFilter(std::string_view path, bool isFolder) {
    return isFolder || isImportExtension(ExtensionOf(path));
}

std::string ImportedTextToMacRoman(std::string bytes) {
    if (bytes.starts_with(kUtf8ByteOrderMark)) {
        // The mark declares UTF-8; bytes that are not are '?' like any
        // character Mac OS Roman lacks.
        return utf8ToMacRoman(std::string_view(bytes).substr(kUtf8ByteOrderMark.size()));
    }
    if (isPlainAscii(bytes) || !isValidUtf8(bytes)) {
        return bytes;
    }
    return utf8ToMacRoman(bytes);
}

bool ReadCSVTable(TextFiles& files, ModelTable& table, const std::string& path) {
    const SheetReading in{files, table};
    int status = 0;
    std::unique_ptr<ByteSource> source = openFileSource(path, status);
    if (!source) {
        in.files.CheckFileError(kCSVFileNumber, status);
        return false;
    }
    // Plain ASCII needs no conversion: it is read straight from the file
    // instead of held whole in memory beside the table it fills.
    if (readPlainLines(in, *source)) {
        return true;
    }
    const PlainTextScan scan = scanForPlainText(path);
    source.reset();
    if (scan.plain) {
        try {
            in.table.ensureRows(scan.rows + 1);
        } catch (const std::bad_alloc&) {
            in.files.CheckFileError(kCSVFileNumber, ENOMEM);
            return false;
        }
        return readRows(in, [&] { in.files.FileOpenInput(kCSVFileNumber, path); });
    }
    source = openFileSource(path, status);
    if (!source) {
        in.files.CheckFileError(kCSVFileNumber, status);
        return false;
    }
    std::error_code sizeUnknown;
    const std::uintmax_t size = std::filesystem::file_size(path, sizeUnknown);
    std::string text;
    const bool ready = prepareText(
        in, [&] { return readAll(in, *source, sizeUnknown ? 0 : static_cast<std::size_t>(size)); },
        text);
    source.reset(); // releases the file's lock
    if (!ready) {
        return false;
    }
    readRowsFromText(in, text);
    return true;
}

bool ReadCSVTable(AppState& app, const std::string& path) {
    return ReadCSVTable(app.files, app.table, path);
}

bool ReadCSVTable(AppState& app, std::istream& stream) {
    const SheetReading in{app.files, app.table};
    std::string text;
    if (!prepareText(
            in, [&] { return readAll(in, stream); }, text)) {
        return false;
    }
    readRowsFromText(in, text);
    return true;
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

bool ImportCSVTable(AppState& app, const std::string& path) {
    if (!ReadCSVTable(app, path)) {
        return false;
    }
    ApplyImportedDocumentState(app, path);
    return true;
}

bool ClickOpenCSVFile(AppState& app, const std::string& path) {
    if (!isImportExtension(ExtensionOf(path))) {
        return false;
    }
    return ImportCSVTable(app, path);
}

} // namespace kestrune
