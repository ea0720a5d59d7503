#include "runtime/name_keys.h"

#include <unicode/ucoleitr.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace kestrune {
namespace {

bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

bool isAscii(unsigned char c) {
    return c < 0x80;
}

unsigned char byteAt(std::string_view text, std::size_t i) {
    return static_cast<unsigned char>(text[i]);
}

// Takes the bytes of a key from `at` on, eight of them.
class ChunkSink {
public:
    ChunkSink(std::size_t at, std::size_t written) : at_(at), written_(written) {}
    // Notes that the bytes of name[index] on come next.
    void mark(std::size_t index) {
        if (written_ <= at_ + 8) {
            next_ = {index, written_};
        }
    }
    NameKeys::Place next() const { return next_; }
    // One byte past the eight tells whether the key goes on.
    bool full() const { return written_ > at_ + 8; }
    void put(std::uint8_t byte) {
        if (written_ >= at_ && written_ < at_ + 8) {
            value_ = value_ << 8 | byte;
        }
        ++written_;
    }
    // A weight's bytes at once, `length` of them (1 to 8) at the low end.
    void put(std::uint64_t bytes, std::size_t length) {
        if (written_ >= at_ && written_ + length <= at_ + 8) {
            value_ = (length == 8 ? 0 : value_ << (8 * length)) | bytes;
            written_ += length;
            return;
        }
        for (std::size_t k = length; k > 0; --k) {
            put(static_cast<std::uint8_t>(bytes >> (8 * (k - 1))));
        }
    }
    bool tookAll() const { return written_ <= at_ + 8; }
    std::uint64_t value() const {
        const std::size_t filled = written_ <= at_ ? 0 : std::min<std::size_t>(written_ - at_, 8);
        return filled == 0 ? 0 : value_ << (8 * (8 - filled));
    }

private:
    std::size_t at_;
    std::size_t written_;
    std::uint64_t value_ = 0;
    NameKeys::Place next_;
};

class StringSink {
public:
    explicit StringSink(std::string& key) : key_(key) {}
    static bool full() { return false; }
    static void mark(std::size_t /*index*/) {}
    void put(std::uint8_t byte) { key_.push_back(static_cast<char>(byte)); }
    void put(std::uint64_t bytes, std::size_t length) {
        for (std::size_t k = length; k > 0; --k) {
            put(static_cast<std::uint8_t>(bytes >> (8 * (k - 1))));
        }
    }

private:
    std::string& key_;
};

template <typename Sink> void putWeight(const NameCollation::AsciiWeight& w, Sink& sink) {
    if (w.keyLength > 0) {
        sink.put(w.packed, w.keyLength);
    }
}

} // namespace

int CompareNameKeys(std::string_view a, std::string_view b) {
    const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    if (c != 0) {
        return c;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

NameKeys::NameKeys(const NameCollation& collation)
    : collation_(collation), elements_(collation.openElements()) {}

NameKeys::~NameKeys() {
    ucol_closeElements(elements_);
}

NameKeys::Chunk NameKeys::chunk(std::string_view name, std::size_t at, Place from) {
    ChunkSink sink(at, from.written);
    const bool ended = write(name, std::min(from.index, name.size()), sink);
    return {sink.value(), ended && sink.tookAll(), sink.next()};
}

void NameKeys::whole(std::string_view name, std::string& key) {
    key.clear();
    StringSink sink(key);
    write(name, 0, sink);
}

std::size_t NameKeys::stretchEnd(std::string_view name, std::size_t begin, bool digitsApart) const {
    std::size_t end = begin + 1;
    if (collation_.asciiByTable()) {
        while (end < name.size() && !isAscii(byteAt(name, end))) {
            ++end;
        }
    } else if (digitsApart) {
        while (end < name.size() && !isDigit(byteAt(name, end))) {
            ++end;
        }
    } else {
        end = name.size();
    }
    return end;
}

// ASCII characters weigh by the table where it serves, but one before a
// stretch of others goes to ICU with it: a mark may follow it, or a
// character that makes one letter with it.
template <typename Sink> bool NameKeys::write(std::string_view name, std::size_t from, Sink& sink) {
    const bool table = collation_.asciiByTable();
    std::size_t i = from;
    while (i < name.size() && !sink.full()) {
        sink.mark(i);
        const unsigned char c = byteAt(name, i);
        if (isDigit(c)) {
            std::size_t end = i + 1;
            while (end < name.size() && isDigit(byteAt(name, end))) {
                ++end;
            }
            writeDigits(name.substr(i, end - i), sink);
            i = end;
            continue;
        }
        if (table && isAscii(c) && (i + 1 == name.size() || isAscii(byteAt(name, i + 1)))) {
            putWeight(collation_.ascii(c), sink);
            ++i;
            continue;
        }
        const std::size_t end = stretchEnd(name, i, true);
        weights_.clear();
        readStretch(name.substr(i, end - i), weights_);
        for (const std::uint32_t weight : weights_) {
            const std::uint32_t moved = collation_.reordered(weight);
            for (int shift = 24; shift >= 0 && (moved >> shift & 0xFF) != 0; shift -= 8) {
                sink.put(static_cast<std::uint8_t>(moved >> shift));
            }
        }
        i = end;
    }
    return i >= name.size();
}

template <typename Sink> void NameKeys::writeDigits(std::string_view digits, Sink& sink) const {
    const std::size_t zeros = std::min(digits.find_first_not_of('0'), digits.size());
    const std::string_view value = digits.substr(zeros);
    const std::size_t span = collation_.digitSpan();
    if (value.size() < span) {
        sink.put(static_cast<std::uint8_t>(collation_.digitLead() + value.size()));
    } else {
        sink.put(static_cast<std::uint8_t>(collation_.digitLead() + span));
        sink.put(static_cast<std::uint8_t>(std::min<std::size_t>(value.size() - span, 254) + 1));
    }
    for (std::size_t k = 0; k < value.size() && !sink.full(); k += 2) {
        const int first = value[k] - '0';
        sink.put(static_cast<std::uint8_t>(
            k + 1 < value.size() ? 1 + 10 * first + (value[k + 1] - '0') : 101 + first));
    }
}

void NameKeys::primaries(std::string_view name, std::vector<std::uint32_t>& weights) {
    weights.clear();
    const bool table = collation_.asciiByTable();
    std::size_t i = 0;
    while (i < name.size()) {
        const unsigned char c = byteAt(name, i);
        if (table && isAscii(c) && (i + 1 == name.size() || isAscii(byteAt(name, i + 1)))) {
            const NameCollation::AsciiWeight& w = collation_.ascii(c);
            weights.insert(weights.end(), w.primaries.begin(), w.primaries.begin() + w.count);
            ++i;
            continue;
        }
        const std::size_t end = stretchEnd(name, i, false);
        readStretch(name.substr(i, end - i), weights);
        i = end;
    }
}

void NameKeys::readStretch(std::string_view stretch, std::vector<std::uint32_t>& weights) {
    std::uint32_t hash = 2166136261u;
    for (const char c : stretch) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    Remembered& remembered = remembered_[hash % remembered_.size()];
    if (remembered.stretch != stretch || stretch.empty()) {
        // Damaged UTF-8 reads as U+FFFD, a character at a time.
        text_.clear();
        const auto length =
            static_cast<std::int32_t>(std::min<std::size_t>(stretch.size(), INT32_MAX));
        std::int32_t i = 0;
        while (i < length) {
            UChar32 c = 0;
            U8_NEXT(stretch.data(), i, length, c);
            if (c < 0) {
                c = 0xFFFD;
            }
            if (U_IS_BMP(c)) {
                text_.push_back(static_cast<char16_t>(c));
            } else {
                text_.push_back(U16_LEAD(c));
                text_.push_back(U16_TRAIL(c));
            }
        }
        remembered.stretch.assign(stretch);
        remembered.weights.clear();
        collation_.appendPrimaries(elements_, text_.data(), text_.size(), remembered.weights);
    }
    weights.insert(weights.end(), remembered.weights.begin(), remembered.weights.end());
}

} // namespace kestrune
