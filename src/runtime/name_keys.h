#pragma once
// The keys of names under a collation, made by one thread: bytes whose
// memcmp order is the order of the names, but for the ties the
// collation's compareTies breaks. Each primary weight adds its bytes up to
// its trailing zeros. A run of ASCII digits adds the count of its digits
// without leading zeros, as a byte among the first bytes of the digits'
// own weights (and one more where the count outgrows them), then its
// digits two to a byte: 1 + 10 a + b for a pair, 101 + a for the last of
// an odd count. No byte of a key is zero, so a key padded with zeros
// orders as the key itself.

#include "runtime/name_collation.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune {

class NameKeys {
public:
    explicit NameKeys(const NameCollation& collation);
    ~NameKeys();
    NameKeys(const NameKeys&) = delete;
    NameKeys& operator=(const NameKeys&) = delete;

    // A place in a name where its key can be made on from: the start of a
    // character, run of digits or stretch, and the bytes of key before it.
    struct Place {
        std::size_t index = 0;
        std::size_t written = 0;
    };
    struct Chunk {
        std::uint64_t bytes; // the first of them in the highest byte
        bool last;           // no byte of the key lies past them
        Place next;          // a place to make the next eight bytes from
    };
    // Bytes at .. at + 7 of the name's key; zeros past the key's end. from:
    // a place whose bytes before it are at most `at`, the start or what the
    // chunk before this one gave.
    Chunk chunk(std::string_view name, std::size_t at, Place from);
    Chunk chunk(std::string_view name, std::size_t at) { return chunk(name, at, Place{}); }
    // The whole key, in place of what key held.
    void whole(std::string_view name, std::string& key);
    // What Find compares: the primary weights of the name's characters
    // one by one, digits as the characters they are, in place of what
    // weights held.
    void primaries(std::string_view name, std::vector<std::uint32_t>& weights);

private:
    // Writes the key from name[from] on; returns whether the sink took all
    // of it.
    template <typename Sink> bool write(std::string_view name, std::size_t from, Sink& sink);
    template <typename Sink> void writeDigits(std::string_view digits, Sink& sink) const;
    // The end of the stretch of name from `begin` on that goes to ICU as a
    // whole.
    std::size_t stretchEnd(std::string_view name, std::size_t begin, bool digitsApart) const;
    // Appends the primary weights of a stretch of UTF-8 to weights.
    void readStretch(std::string_view stretch, std::vector<std::uint32_t>& weights);

    // A stretch read lately and its weights: the names of one maker, or of
    // one range of models, bring theirs again and again.
    struct Remembered {
        std::string stretch;
        std::vector<std::uint32_t> weights;
    };

    const NameCollation& collation_;
    UCollationElements* elements_;
    std::u16string text_;
    std::vector<std::uint32_t> weights_;
    std::array<Remembered, 32> remembered_; // by a hash of the stretch
};

// Negative, 0 or positive as key a orders before, with or after key b.
int CompareNameKeys(std::string_view a, std::string_view b);

} // namespace kestrune
