#include "model/name_column.h"

#include "runtime/cores.h"
#include "runtime/gather.h"
#include "runtime/mac_roman.h"
#include "runtime/utf8_text.h"
#include "runtime/windows_1252.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace kestrune {
namespace {

// Below this, unused bytes are not worth a rewrite.
constexpr std::size_t kCompactFloor = std::size_t{1} << 20;
// Below this many rows a second thread costs more than it saves.
constexpr std::size_t kSharedRows = std::size_t{1} << 15;
// How far ahead of the row it copies a relayout asks for a name's bytes.
constexpr std::size_t kReadAhead = 16;

bool isAscii(std::string_view name) {
    return IsAsciiText(name);
}

// A name as the column keeps it: UTF-8 of at most 255 characters. A Mac OS
// Roman or Windows-1252 name beyond ASCII is converted into room; so is a
// byte of a UTF-8 name that is not part of a character, as the Mac OS Roman
// character it would be (nothing is dropped). Either way a character takes
// at most four bytes.
using Converted = std::array<char, Str255::kMaxBytes>;
std::string_view keptName(std::string_view name, NameText text, Converted& room, bool& ascii) {
    if (text != NameText::Utf8) {
        name = name.substr(0, Str255::kMaxLength);
        ascii = isAscii(name);
        if (ascii) {
            return name;
        }
        return {room.data(), text == NameText::MacRoman ? macRomanToUtf8(name, room.data())
                                                        : windows1252ToUtf8(name, room.data())};
    }
    name = CutToCharacters(name, Str255::kMaxLength);
    ascii = isAscii(name);
    if (ascii || isValidUtf8(name)) {
        return name;
    }
    std::size_t size = 0;
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t length = CharacterLength(name, at);
        const std::string_view character = name.substr(at, length);
        size += length > 1 || static_cast<unsigned char>(name[at]) < 0x80
                    ? (std::copy(character.begin(), character.end(), room.data() + size), length)
                    : macRomanToUtf8(character, room.data() + size);
        at += length;
    }
    return {room.data(), size};
}

} // namespace

std::string NameToUtf8(std::string_view name, NameText text) {
    Converted room;
    bool ascii = true;
    return std::string(keptName(name, text, room, ascii));
}

void NameColumn::set(std::int32_t row, std::string_view name, NameText text) {
    ensure(row);
    Converted room;
    bool ascii = true;
    name = keptName(name, text, room, ascii);
    beyondAscii_ = beyondAscii_ || !ascii;
    const auto at = static_cast<std::size_t>(row);
    std::uint64_t& place = places_[at];
    if (at < touched_) {
        unused_ += place & kLengthMask;
    }
    if (name.empty()) {
        if (at < touched_) {
            place = 0; // beyond touched_ it is zero already
        }
        return;
    }
    touched_ = std::max(touched_, at + 1);
    const std::size_t offset = bytes_.size();
    // A name that lies in the buffer itself is copied before the buffer grows.
    const bool inside = name.data() >= bytes_.data() && name.data() < bytes_.data() + bytes_.size();
    if (inside) {
        const std::string copy(name);
        append(copy);
    } else {
        append(name);
    }
    place = (static_cast<std::uint64_t>(offset) << kLengthBits) | name.size();
    compactIfWasteful();
}

void NameColumn::append(std::string_view bytes) {
    bytes_.append(bytes.data(), bytes.size());
}

void NameColumn::swap(std::int32_t a, std::int32_t b) {
    ensure(std::max(a, b));
    touched_ = places_.size();
    std::swap(places_[static_cast<std::size_t>(a)], places_[static_cast<std::size_t>(b)]);
}

void NameColumn::move(std::int32_t from, std::int32_t to) {
    ensure(std::max(from, to));
    touched_ = places_.size();
    unused_ += places_[static_cast<std::size_t>(to)] & kLengthMask;
    // Both rows now point at the same bytes until one of them changes.
    places_[static_cast<std::size_t>(to)] = places_[static_cast<std::size_t>(from)];
}

void NameColumn::permute(const std::vector<std::int32_t>& order) {
    ensure(static_cast<std::int32_t>(order.size()));
    Places room(places_.size());
    permute(order, room);
}

void NameColumn::permute(const std::vector<std::int32_t>& order, Places& room) noexcept {
    const std::size_t n = order.size();
    room[0] = places_[0];
    GatherByOrder(places_.data(), order.data(), n, room.data() + 1);
    std::copy(places_.begin() + n + 1, places_.end(), room.begin() + n + 1);
    places_.swap(room);
    touched_ = places_.size();
}

std::vector<NameColumn::Part> NameColumn::beginParts(std::int32_t lastRow,
                                                     const std::vector<std::size_t>& capacities) {
    ensure(lastRow);
    std::size_t room = 0;
    for (const std::size_t bytes : capacities) {
        room += bytes;
    }
    std::vector<Part> parts(capacities.size());
    std::size_t at = bytes_.size();
    bytes_.growTo(at + room); // fresh room: only what is written costs memory
    const std::size_t cleared = std::min(touched_, static_cast<std::size_t>(lastRow) + 1);
    for (std::size_t r = 1; r < cleared; ++r) {
        unused_ += places_[r] & kLengthMask;
        places_[r] = 0;
    }
    for (std::size_t k = 0; k < parts.size(); ++k) {
        parts[k].column_ = this;
        parts[k].begin_ = at;
        parts[k].at_ = at;
        at += capacities[k];
        parts[k].end_ = at;
    }
    return parts;
}

bool NameColumn::Part::set(std::int32_t row, std::string_view name, NameText text) {
    Converted room;
    bool ascii = true;
    name = keptName(name, text, room, ascii);
    beyondAscii_ = beyondAscii_ || !ascii;
    if (name.size() > end_ - at_) {
        return false;
    }
    firstRow_ = std::min(firstRow_, row);
    lastRow_ = std::max(lastRow_, row);
    if (name.empty()) {
        return true; // the row's place is zero already
    }
    copyBytes(column_->bytes_.data() + at_, name.data(), name.size());
    column_->places_[static_cast<std::size_t>(row)] =
        (static_cast<std::uint64_t>(at_) << kLengthBits) | name.size();
    at_ += name.size();
    return true;
}

void NameColumn::endParts(const std::vector<Part>& parts) noexcept {
    if (parts.empty()) {
        return;
    }
    std::size_t end = parts.front().at_;
    for (std::size_t k = 1; k < parts.size(); ++k) {
        const Part& part = parts[k];
        const std::size_t used = part.at_ - part.begin_;
        const std::uint64_t shift = static_cast<std::uint64_t>(part.begin_ - end) << kLengthBits;
        if (shift != 0 && used > 0) {
            std::memmove(bytes_.data() + end, bytes_.data() + part.begin_, used);
            for (std::int32_t r = part.firstRow_; r <= part.lastRow_; ++r) {
                std::uint64_t& place = places_[static_cast<std::size_t>(r)];
                if (place != 0) {
                    place -= shift;
                }
            }
        }
        end += used;
    }
    bytes_.shrinkTo(end);
    for (const Part& part : parts) {
        touched_ = std::max(touched_, static_cast<std::size_t>(part.lastRow_) + 1);
        beyondAscii_ = beyondAscii_ || part.beyondAscii_;
    }
}

void NameColumn::ensure(std::int32_t last) {
    if (last >= 0 && static_cast<std::size_t>(last) >= places_.size()) {
        places_.growTo(static_cast<std::size_t>(last) + 1);
    }
}

void NameColumn::layOutInRowOrder() {
    const std::size_t rows = touched_; // the rows after it hold no name
    const std::size_t parts = PartsFor(rows, kSharedRows);
    // Each part's rows are laid out after those of the parts before it.
    std::vector<std::size_t> partBytes(parts + 1, 0);
    ZeroedColumn<char> fresh;
    RunOnCores(parts, [&](WorkPart& part) {
        const WorkPart::Range mine = part.share(rows);
        std::size_t bytes = 0;
        for (std::size_t r = mine.begin; r < mine.end; ++r) {
            bytes += places_[r] & kLengthMask;
        }
        partBytes[part.index() + 1] = bytes;
        part.meet();
        if (part.index() == 0) {
            for (std::size_t k = 1; k <= part.parts(); ++k) {
                partBytes[k] += partBytes[k - 1];
            }
            try {
                fresh.growTo(partBytes[part.parts()]);
            } catch (const std::bad_alloc&) {
                partBytes[0] = 1; // tells the other parts to leave it
            }
        }
        part.meet();
        if (partBytes[0] != 0) {
            return;
        }
        std::size_t offset = partBytes[part.index()];
        for (std::size_t r = mine.begin; r < mine.end; ++r) {
            if (r + kReadAhead < mine.end) {
#if defined(__GNUC__)
                __builtin_prefetch(bytes_.data() + (places_[r + kReadAhead] >> kLengthBits));
#endif
            }
            std::uint64_t& place = places_[r];
            const std::size_t length = place & kLengthMask;
            if (length == 0) {
                place = 0;
                continue;
            }
            copyBytes(fresh.data() + offset, bytes_.data() + (place >> kLengthBits), length);
            place = (static_cast<std::uint64_t>(offset) << kLengthBits) | length;
            offset += length;
        }
    });
    if (partBytes[0] != 0) {
        throw std::bad_alloc();
    }
    bytes_.swap(fresh);
    unused_ = 0;
}

void NameColumn::compactIfWasteful() {
    if (unused_ < kCompactFloor || unused_ < bytes_.size() / 2) {
        return;
    }
    ZeroedColumn<char> live;
    live.reserve(bytes_.size() - std::min(unused_, bytes_.size()));
    for (std::size_t r = 0; r < touched_; ++r) {
        std::uint64_t& place = places_[r];
        const std::size_t length = place & kLengthMask;
        if (length == 0) {
            place = 0;
            continue;
        }
        const std::size_t offset = live.size();
        live.append(bytes_.data() + (place >> kLengthBits), length);
        place = (static_cast<std::uint64_t>(offset) << kLengthBits) | length;
    }
    bytes_.swap(live);
    unused_ = 0;
}

} // namespace kestrune
