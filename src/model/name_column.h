#pragma once
// A column of names (Manufacturer or Model Name): at most 255 characters of
// UTF-8 text per row. The bytes of all names lie in one buffer and each row
// holds where its name lies there, so a row costs eight bytes besides its
// name, and moving rows around (a sort) moves those eight bytes only. Rows
// never written read as the empty string.

#include "runtime/str255.h"
#include "runtime/zeroed_column.h"

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrune {

// What the bytes of a name given to a column are: UTF-8, or Mac OS Roman
// (as older documents and files hold them) or Windows-1252 (as spreadsheets
// on Windows save them), which the column converts.
enum class NameText { Utf8, MacRoman, Windows1252 };

// A name's bytes as a column keeps them: UTF-8 of at most 255 characters.
std::string NameToUtf8(std::string_view name, NameText text);

class NameColumn {
public:
    // Per row: the name's offset in the buffer, shifted, and its length.
    using Places = ZeroedColumn<std::uint64_t>;

    // Valid until the column next changes.
    std::string_view get(std::int32_t row) const {
        if (row < 0 || static_cast<std::size_t>(row) >= places_.size()) {
            return {};
        }
        const std::uint64_t place = places_[static_cast<std::size_t>(row)];
        return {bytes_.data() + (place >> kLengthBits), place & kLengthMask};
    }
    Str255 str(std::int32_t row) const { return Str255(get(row)); }
    // Stores the name, cut at 255 characters; it may be another row's name.
    void set(std::int32_t row, std::string_view name, NameText text = NameText::Utf8);
    // Whether a name beyond ASCII may be in the column: false means every
    // name is plain ASCII (so it reads the same in any encoding).
    bool mayGoBeyondAscii() const { return beyondAscii_; }
    void swap(std::int32_t a, std::int32_t b);
    void move(std::int32_t from, std::int32_t to);
    // Row k + 1 takes the name row order[k] held, for a permutation order of
    // the rows 1 to order.size(); no name is copied.
    void permute(const std::vector<std::int32_t>& order);
    // The same through room, a buffer of placesSize() elements (rows 0 to
    // order.size() must be addressable), which is written whole and gets
    // the rows' old places back: it cannot fail.
    void permute(const std::vector<std::int32_t>& order, Places& room) noexcept;
    std::size_t placesSize() const { return places_.size(); }
    // Writes the names into a fresh buffer in the order of their rows, so
    // that reading them row after row reads the buffer straight through
    // (after a permute they lie anywhere). Without memory for the buffer it
    // throws std::bad_alloc and changes nothing.
    void layOutInRowOrder();
    // A read shares its rows out over the cores: each part stores the names
    // of rows of its own, consecutive, into bytes of its own beside the
    // others', with no copy made afterwards.
    // A part of its own cache line: the threads write theirs at every name.
    class alignas(64) Part {
    public:
        // Stores the name of one of the part's rows, cut at 255 characters;
        // false when the part's bytes are full.
        bool set(std::int32_t row, std::string_view name, NameText text = NameText::Utf8);

    private:
        friend class NameColumn;
        NameColumn* column_ = nullptr;
        std::size_t begin_ = 0; // the part's bytes in the buffer
        std::size_t at_ = 0;
        std::size_t end_ = 0;
        std::int32_t firstRow_ = INT32_MAX; // the rows it stored
        std::int32_t lastRow_ = 0;
        bool beyondAscii_ = false;
    };
    // Rows 1 to lastRow become addressable and empty, and part k gets room
    // for capacities[k] bytes. Nothing else may change the column until
    // endParts.
    std::vector<Part> beginParts(std::int32_t lastRow, const std::vector<std::size_t>& capacities);
    // Joins the parts' bytes end to end and gives the room left back.
    void endParts(const std::vector<Part>& parts) noexcept;
    // Rows 0 to last become addressable.
    void ensure(std::int32_t last);
    std::size_t rows() const { return places_.size(); }
    // Room for this many more bytes of names without growing.
    void reserveBytes(std::size_t bytes) { bytes_.reserve(bytes_.size() + bytes); }

private:
    // 255 characters take at most 1020 bytes.
    static constexpr int kLengthBits = 10;
    static constexpr std::uint64_t kLengthMask = (std::uint64_t{1} << kLengthBits) - 1;

    // Adds bytes at the buffer's end (they must not lie in it).
    void append(std::string_view bytes);
    // Writes the live names into a fresh buffer once most of it is unused.
    void compactIfWasteful();

    Places places_;
    ZeroedColumn<char> bytes_;
    // Bytes of names that were replaced.
    std::size_t unused_ = 0;
    // Set once a name beyond ASCII is stored; cleared when the names are
    // written anew and none is.
    bool beyondAscii_ = false;
    // Rows from here on have never held a name: their places are zero and
    // are not read before they are written. A large column's memory comes
    // from the system untouched, and a first read there would map it to a
    // shared page of zeros that the first write must then break up.
    std::size_t touched_ = 0;
};

} // namespace kestrune
