#include "runtime/str255.h"

#include "runtime/utf8_text.h"

#include <algorithm>
#include <cstring>

namespace kestrune {

Str255::Str255(std::string_view bytes) {
    assign(bytes);
}

std::uint8_t Str255::at(int position) const {
    if (position < 1 || position > static_cast<int>(len_)) {
        return 0;
    }
    return static_cast<std::uint8_t>(bytes_[static_cast<std::size_t>(position - 1)]);
}

void Str255::assign(std::string_view bytes) {
    bytes = CutToCharacters(bytes, kMaxLength);
    len_ = static_cast<std::uint16_t>(bytes.size());
    if (len_ > 0) { // an empty view may point nowhere, which memcpy must not see
        std::memcpy(bytes_.data(), bytes.data(), len_);
    }
}

void Str255::append(std::string_view bytes) {
    std::size_t have = 0;
    for (std::size_t at = 0; at < len_; at += CharacterLength(view(), at)) {
        ++have;
    }
    const std::size_t n = CutToCharacters(bytes, kMaxLength - have).size();
    if (n > 0) {
        std::memcpy(bytes_.data() + len_, bytes.data(), n);
    }
    len_ = static_cast<std::uint16_t>(len_ + n);
}

void PSstrcpy(Str255& destination, const Str255& source) {
    destination = source;
}

void PSstrcat(Str255& destination, const Str255& source) {
    const Str255 copy = source; // the source may be the destination itself
    destination.append(copy.view());
}

Str255 PSleft(const Str255& s, int n) {
    const int take = std::clamp(n, 0, static_cast<int>(s.length()));
    return Str255(s.view().substr(0, static_cast<std::size_t>(take)));
}

Str255 PSmid(const Str255& s, int start, int count) {
    const int len = static_cast<int>(s.length());
    int take = std::min(std::max(count, 0), len);
    if (start < 1) {
        start = 1;
    } else if (start > len || take == 0) {
        return {};
    }
    take = std::min(take, len - start + 1);
    return Str255(
        s.view().substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(take)));
}

Str255 PSstring(int n, std::uint8_t c) {
    if (n < 0 || n > static_cast<int>(Str255::kMaxLength)) {
        return {};
    }
    return Str255(std::string(static_cast<std::size_t>(n), static_cast<char>(c)));
}

int PSlen(const Str255& s) {
    return static_cast<int>(s.length());
}

int PSinstr(int start, const Str255& s, const Str255& pattern) {
    if (pattern.empty()) {
        return 0;
    }
    start = std::max(start, 1);
    if (start > static_cast<int>(s.length())) {
        return 0;
    }
    const auto pos = s.view().find(pattern.view(), static_cast<std::size_t>(start - 1));
    return pos == std::string_view::npos ? 0 : static_cast<int>(pos) + 1;
}

bool PSequal(const Str255& a, const Str255& b) {
    return a == b;
}

} // namespace kestrune
