#pragma once
// Numbered text files: slots 1 to 255, written with print operations (CR ends
// every line) and read line by line or item by item through one shared line
// buffer. Every failure goes to one replaceable handler.

#include "runtime/str255.h"
#include "runtime/work_progress.h"

#include <array>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kestrune {

class ByteSource;
class ByteSink;

// The item at position i (0-based) of a line, by the item rules: blanks
// skipped, a quoted item up to its closing quote (or the line's end), an
// unquoted one up to a tab or a comma; then blanks and one comma are passed
// over. i is left where the next item starts.
std::string_view TakeItem(std::string_view line, std::size_t& i);

class TextFiles {
public:
    // Called with the file number and the status code of every file error.
    // Returning means "Continue": the operation goes on with empty text or 0.
    using ErrorHandler = std::function<void(int fileNumber, int code)>;

    static constexpr int kMaxFileNumber = 255;
    // An item line longer than this goes on as the next line, so that no input
    // needs unbounded memory.
    static constexpr std::size_t kMaxItemLine = 1 << 16;

    TextFiles();
    ~TextFiles();
    TextFiles(const TextFiles&) = delete;
    TextFiles& operator=(const TextFiles&) = delete;

    void setErrorHandler(ErrorHandler handler) { errorHandler_ = std::move(handler); }
    int LastFileError() const { return lastFileError_; }
    // How many errors were reported so far: a read that reported one did not
    // take the whole file.
    int FileErrorCount() const { return errorCount_; }
    // Files opened for input by path from now on report their reads to
    // progress and stop when it is cancelled (see openFileSource).
    void setProgress(WorkProgress* progress) { progress_ = progress; }

    // Output replaces the file only when the slot is closed with every byte
    // written: the file is never truncated in place.
    void FileOpenOutput(int n, const std::string& path);
    void FileOpenInput(int n, const std::string& path);
    // Stream forms of the same, for documents held in memory.
    void FileOpenOutput(int n, std::ostream& out);
    void FileOpenInput(int n, std::istream& in);
    // Reads bytes held elsewhere, which must stay unchanged while it is open.
    void FileOpenInputBytes(int n, std::string_view bytes);

    // Input file n read at any offset, without moving its position, when
    // it can be (a file, bytes in memory): its size and a reader that two
    // threads may use at once, valid while the file is open.
    struct WholeFile {
        std::uint64_t size = 0;
        const ByteSource* source = nullptr;
    };
    std::optional<WholeFile> FileWhole(int n) const;

    // Passes over prefix at the start of input file n when the file begins
    // with it (a byte-order mark); true when it did.
    bool FileSkipPrefix(int n, std::string_view prefix);

    // Closes slot n (0 closes every slot) and forgets the held line. For an
    // output slot, returns false when any write failed (already reported).
    bool FileClose(int n);
    // Closes slot n without finishing it: an output file stays as it was and
    // the bytes written to the slot go (a save given up half way).
    void FileAbandon(int n);
    bool isOpen(int n) const;

    bool FileEof(int n);
    void FilePrintString(int n, std::string_view bytes);
    void FilePrintFloat(int n, double x);
    void FilePrintCR(int n);

    // One line of at most 255 bytes; CR, LF or a CR LF pair ends it.
    Str255 FileLineInput(int n);

    // The next item of file n, cut from its lines by the item rules.
    Str255 FileInputItem(int n);
    double FileInputItemNumber(int n);
    std::int64_t FileInputItemInteger(int n);
    // The next item's bytes, uncut; valid until the next read.
    std::string_view FileInputItemBytes(int n);
    // True while the line buffer holds more of file n's current line.
    bool lineHasMoreItems(int n) const {
        return lineFile_ == n && linePos_ != 0 && linePos_ <= lineView_.size();
    }

    void CheckFileError(int n, int code);

private:
    struct Slot;
    Slot* slotFor(int n);
    Slot* openSlot(int n);
    Slot* readableSlot(int n);
    // Makes the next line of slot s the held line; false (and -39 reported)
    // at the end.
    bool readLine(int n, Slot& s, std::size_t max);

    std::array<std::unique_ptr<Slot>, kMaxFileNumber + 1> slots_;
    // The line held for every input file: a view into the file's own buffer
    // when the whole line is there, else a copy in line_.
    std::string line_;
    std::string_view lineView_;
    std::size_t linePos_ = 0; // 1-based; 0 = no line held
    int lineFile_ = 0;
    int lastFileError_ = 0;
    int errorCount_ = 0;
    ErrorHandler errorHandler_;
    WorkProgress* progress_ = nullptr;
};

} // namespace kestrune
