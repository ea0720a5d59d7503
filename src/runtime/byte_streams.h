#pragma once
// Buffered byte sources and sinks behind the numbered text files: real files
// (with advisory locks, and saves that replace the target only when every
// byte is on disk) and in-memory streams for round trips and tests.

#include "runtime/work_progress.h"

#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

// Bytes made in one piece: written at data(), up to the capacity, and then
// told by setSize() how many of them are made; only those are ever read.
class ByteBlock {
public:
    std::string_view view() const { return {data_.get(), size_}; }
    // Room for capacity bytes, keeping the first size() of them.
    void reserve(std::size_t capacity);
    char* data() { return data_.get(); }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    void setSize(std::size_t size) { size_ = size; }

private:
    struct Free {
        std::size_t capacity;
        void operator()(char* p) const noexcept;
    };
    std::unique_ptr<char[], Free> data_{nullptr, Free{0}};
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // The next byte, or -1 at the end.
    int get() {
        if (pos_ == end_ && !refill()) {
            return -1;
        }
        return static_cast<unsigned char>(buffer_[pos_++]);
    }
    int peek() {
        if (pos_ == end_ && !refill()) {
            return -1;
        }
        return static_cast<unsigned char>(buffer_[pos_]);
    }
    bool atEnd() { return peek() < 0; }
    // Appends bytes to out up to (not including) a CR or LF, at most max
    // bytes; returns how many were appended.
    std::size_t readUntilLineEnd(std::string& out, std::size_t max);
    // The rest of the current line as a view into the buffer, with its line
    // end consumed as readUntilLineEnd and one CR, LF or CR LF would take
    // it, when the buffer holds the line, its end and the byte after a CR.
    // Otherwise false and nothing is consumed. Valid until the next read.
    bool takeBufferedLine(std::string_view& line, std::size_t max);
    // Passes over prefix when the source goes on with it (checked within
    // the bytes one read brings, which at a file's start hold it whole).
    bool skipPrefix(std::string_view prefix);
    // Non-zero when a read failed (an errno value); the source then reads as ended.
    int error() const { return error_; }
    // Sources that can be read at any offset without moving (a file, bytes
    // in memory) tell their whole size; two threads may read them at once.
    virtual std::optional<std::uint64_t> wholeSize() const { return std::nullopt; }
    // Up to size bytes from offset into data: how many, 0 at the end or
    // when the read failed.
    virtual std::size_t readAt(char* data, std::size_t size, std::uint64_t offset) const {
        (void)data;
        (void)size;
        (void)offset;
        return 0;
    }

protected:
    explicit ByteSource(std::size_t bufferSize) : buffer_(bufferSize) {}
    // Reads up to size bytes into data; 0 at the end or on error.
    virtual std::size_t fill(char* data, std::size_t size) = 0;

    void setError(int code) { error_ = code; }

private:
    bool refill();
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    int error_ = 0;
};

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Returns false once a write has failed; later writes are dropped.
    bool write(const char* data, std::size_t size);
    bool write(std::string_view bytes) { return write(bytes.data(), bytes.size()); }
    // Ends the output; for a file, the target is replaced only now. Returns 0
    // or the status code of the failure.
    virtual int commit() = 0;
    int error() const { return error_; }

protected:
    explicit ByteSink(std::size_t bufferSize) { buffer_.reserve(bufferSize); }
    // Writes the buffered bytes out; returns 0 or a status code.
    int flushBuffer();
    virtual int writeOut(const char* data, std::size_t size) = 0;
    void setError(int code) {
        if (error_ == 0) {
            error_ = code;
        }
    }

private:
    std::vector<char> buffer_;
    int error_ = 0;
};

// Opens a file for reading with a shared advisory lock; returns nullptr and
// a status code (35 locked, 13 cannot open) on refusal. With progress, every
// read advances it by the bytes read, and a read after it was cancelled
// throws WorkCancelled.
std::unique_ptr<ByteSource> openFileSource(const std::string& path, int& status,
                                           WorkProgress* progress = nullptr);

// Where a save's bytes wait: in an unnamed file where the file system makes
// them, else (or always, for tests of such file systems) in a named one.
enum class TempFiles { UnnamedWherePossible, AlwaysNamed };

// Prepares to replace the file at path, or the file a symbolic link at path
// names: the bytes go to a temporary file in the target's folder (unnamed
// where the file system allows, so that an interrupted save leaves nothing
// behind), which commit() flushes and renames over the target, keeping its
// permissions and, where allowed, its owner and group. A named temporary is
// ".name.kestrune-<pid>-<random>.tmp"; a save that succeeds removes the ones
// killed saves of this user left in the folder over ten minutes ago. Returns
// nullptr and a status code (35 locked, -44 read-only disk, -54 no
// permission to change it, 2 cannot create) on refusal.
std::unique_ptr<ByteSink> openAtomicFileSink(const std::string& path, int& status,
                                             TempFiles temps = TempFiles::UnnamedWherePossible);

std::unique_ptr<ByteSource> makeStreamSource(std::istream& in);
// Reads bytes held elsewhere, which must outlive the source.
std::unique_ptr<ByteSource> makeMemorySource(std::string_view bytes);
std::unique_ptr<ByteSink> makeStreamSink(std::ostream& out);

} // namespace kestrune
