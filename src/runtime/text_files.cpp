#include "runtime/text_files.h"

#include "runtime/byte_streams.h"
#include "runtime/file_errors.h"
#include "runtime/file_probe.h"
#include "runtime/number_text.h"

namespace kestrune {

std::string_view TakeItem(std::string_view line, std::size_t& i) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (i < line.size() && blank(line[i])) {
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
    while (i < line.size() && (blank(line[i]) || line[i] == '\r')) {
        ++i;
    }
    if (i < line.size() && line[i] == ',') {
        ++i;
    }
    return item;
}

struct TextFiles::Slot {
    std::unique_ptr<ByteSource> in;
    std::unique_ptr<ByteSink> out;
    std::int64_t offset = 0;
    std::int64_t printColumn = 0;
    bool writeFailureReported = false;
};

TextFiles::TextFiles() = default;
TextFiles::~TextFiles() = default;

void TextFiles::CheckFileError(int n, int code) {
    if (code == 0) {
        return;
    }
    lastFileError_ = code;
    ++errorCount_;
    if (errorHandler_) {
        errorHandler_(n, code);
    }
}

TextFiles::Slot* TextFiles::slotFor(int n) {
    if (n < 1 || n > kMaxFileNumber) {
        CheckFileError(n, FileErrorCode::kBadFileNumber);
        return nullptr;
    }
    return slots_[static_cast<std::size_t>(n)].get();
}

TextFiles::Slot* TextFiles::openSlot(int n) {
    if (n < 1 || n > kMaxFileNumber) {
        CheckFileError(n, FileErrorCode::kBadFileNumber);
        return nullptr;
    }
    if (slots_[static_cast<std::size_t>(n)]) {
        FileClose(n);
    }
    auto& slot = slots_[static_cast<std::size_t>(n)];
    slot = std::make_unique<Slot>();
    return slot.get();
}

void TextFiles::FileOpenOutput(int n, const std::string& path) {
    if (openSlot(n) == nullptr) {
        return;
    }
    if (IsUnusablePath(path)) {
        // The system would write to the file the name stops at.
        slots_[static_cast<std::size_t>(n)].reset();
        CheckFileError(n, FileErrorCode::kCannotCreate);
        return;
    }
    int status = 0;
    auto sink = openAtomicFileSink(path, status);
    if (!sink) {
        slots_[static_cast<std::size_t>(n)].reset();
        CheckFileError(n, status);
        return;
    }
    slots_[static_cast<std::size_t>(n)]->out = std::move(sink);
}

void TextFiles::FileOpenInput(int n, const std::string& path) {
    if (openSlot(n) == nullptr) {
        return;
    }
    if (IsUnusablePath(path)) {
        slots_[static_cast<std::size_t>(n)].reset();
        CheckFileError(n, FileErrorCode::kNoAccess);
        return;
    }
    int status = 0;
    auto source = openFileSource(path, status, progress_);
    if (!source) {
        slots_[static_cast<std::size_t>(n)].reset();
        CheckFileError(n, status);
        return;
    }
    slots_[static_cast<std::size_t>(n)]->in = std::move(source);
}

void TextFiles::FileOpenOutput(int n, std::ostream& out) {
    if (Slot* s = openSlot(n)) {
        s->out = makeStreamSink(out);
    }
}

void TextFiles::FileOpenInput(int n, std::istream& in) {
    if (Slot* s = openSlot(n)) {
        s->in = makeStreamSource(in);
    }
}

std::optional<TextFiles::WholeFile> TextFiles::FileWhole(int n) const {
    if (!isOpen(n) || !slots_[static_cast<std::size_t>(n)]->in) {
        return std::nullopt;
    }
    const ByteSource* source = slots_[static_cast<std::size_t>(n)]->in.get();
    const std::optional<std::uint64_t> size = source->wholeSize();
    if (!size) {
        return std::nullopt;
    }
    return WholeFile{*size, source};
}

bool TextFiles::FileSkipPrefix(int n, std::string_view prefix) {
    if (!isOpen(n) || !slots_[static_cast<std::size_t>(n)]->in) {
        return false;
    }
    return slots_[static_cast<std::size_t>(n)]->in->skipPrefix(prefix);
}

void TextFiles::FileOpenInputBytes(int n, std::string_view bytes) {
    if (Slot* s = openSlot(n)) {
        s->in = makeMemorySource(bytes);
    }
}

bool TextFiles::isOpen(int n) const {
    return n >= 1 && n <= kMaxFileNumber && slots_[static_cast<std::size_t>(n)] != nullptr;
}

bool TextFiles::FileClose(int n) {
    linePos_ = 0;
    if (n == 0) {
        bool ok = true;
        for (int k = 1; k <= kMaxFileNumber; ++k) {
            if (slots_[static_cast<std::size_t>(k)]) {
                ok = FileClose(k) && ok;
            }
        }
        return ok;
    }
    if (n < 1 || n > kMaxFileNumber || !slots_[static_cast<std::size_t>(n)]) {
        return true;
    }
    auto slot = std::move(slots_[static_cast<std::size_t>(n)]);
    if (lineFile_ == n) {
        lineFile_ = 0;
    }
    if (!slot->out) {
        return true;
    }
    const int code = slot->out->commit();
    if (code != 0 && !slot->writeFailureReported) {
        CheckFileError(n, code);
    }
    return code == 0;
}

void TextFiles::FileAbandon(int n) {
    if (!isOpen(n)) {
        return;
    }
    if (lineFile_ == n) {
        linePos_ = 0;
        lineFile_ = 0;
    }
    slots_[static_cast<std::size_t>(n)].reset(); // an unfinished output leaves no file behind
}

bool TextFiles::FileEof(int n) {
    if (!isOpen(n)) {
        return true;
    }
    Slot& s = *slots_[static_cast<std::size_t>(n)];
    return !s.in || s.in->atEnd();
}

void TextFiles::FilePrintString(int n, std::string_view bytes) {
    Slot* s = isOpen(n) ? slots_[static_cast<std::size_t>(n)].get() : nullptr;
    if (s == nullptr || !s->out) {
        CheckFileError(n, FileErrorCode::kNotOpenForWrite);
        return;
    }
    if (!s->out->write(bytes) && !s->writeFailureReported) {
        s->writeFailureReported = true;
        CheckFileError(n, s->out->error());
    }
    s->offset += static_cast<std::int64_t>(bytes.size());
    s->printColumn += static_cast<std::int64_t>(bytes.size());
}

void TextFiles::FilePrintFloat(int n, double x) {
    FilePrintString(n, PSstr(x));
}

void TextFiles::FilePrintCR(int n) {
    FilePrintString(n, "\r");
    if (isOpen(n)) {
        slots_[static_cast<std::size_t>(n)]->printColumn = 0;
    }
}

TextFiles::Slot* TextFiles::readableSlot(int n) {
    Slot* s = isOpen(n) ? slots_[static_cast<std::size_t>(n)].get() : nullptr;
    if (s == nullptr || !s->in) {
        CheckFileError(n, FileErrorCode::kNotOpenForRead);
        return nullptr;
    }
    return s;
}

bool TextFiles::readLine(int n, Slot& s, std::size_t max) {
    line_.clear();
    lineView_ = line_;
    ByteSource& in = *s.in;
    if (in.atEnd()) {
        CheckFileError(n, in.error() != 0 ? in.error() : FileErrorCode::kEndOfFile);
        return false;
    }
    if (in.takeBufferedLine(lineView_, max)) {
        return true;
    }
    in.readUntilLineEnd(line_, max);
    lineView_ = line_;
    // One line end is consumed; a CR LF pair counts as one. A line cut at
    // its length limit keeps its terminator when that comes next, so a line
    // of exactly the limit reads as one line.
    const int c = in.peek();
    if (c == '\r') {
        in.get();
        if (in.peek() == '\n') {
            in.get();
        }
    } else if (c == '\n') {
        in.get();
    }
    if (in.error() != 0) {
        CheckFileError(n, in.error());
    }
    return true;
}

Str255 TextFiles::FileLineInput(int n) {
    Slot* s = readableSlot(n);
    line_.clear();
    lineView_ = line_;
    linePos_ = 0;
    if (s == nullptr) {
        return {};
    }
    readLine(n, *s, Str255::kMaxLength);
    lineFile_ = n;
    linePos_ = 1;
    return Str255(lineView_);
}

std::string_view TextFiles::FileInputItemBytes(int n) {
    Slot* s = readableSlot(n);
    if (s == nullptr) {
        return {};
    }
    if (lineFile_ != n || linePos_ == 0 || linePos_ > lineView_.size()) {
        readLine(n, *s, kMaxItemLine);
        lineFile_ = n;
        linePos_ = 1;
    }
    std::size_t i = linePos_ - 1;
    const std::string_view item = TakeItem(lineView_, i);
    linePos_ = i + 1;
    return item;
}

Str255 TextFiles::FileInputItem(int n) {
    return Str255(FileInputItemBytes(n));
}

// Numbers read the same bytes a text item keeps.
double TextFiles::FileInputItemNumber(int n) {
    return PSval(FileInputItemBytes(n).substr(0, Str255::kMaxLength));
}

std::int64_t TextFiles::FileInputItemInteger(int n) {
    return PSvalInt64(FileInputItemBytes(n).substr(0, Str255::kMaxLength));
}

} // namespace kestrune
