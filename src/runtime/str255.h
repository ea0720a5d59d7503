#pragma once
// Short texts of at most 255 characters of UTF-8, and the string
// operations the rest of the program is written with. Positions and
// lengths are in bytes, 1-based; no operation ever yields more than 255
// characters.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrune {

class Str255 {
public:
    // Characters, of at most four bytes each.
    static constexpr std::size_t kMaxLength = 255;
    static constexpr std::size_t kMaxBytes = 4 * kMaxLength;

    Str255() = default;
    // Takes the bytes as they stand; anything past 255 characters is cut off.
    Str255(std::string_view bytes); // NOLINT(google-explicit-constructor): texts convert freely
    Str255(const char* bytes) : Str255(std::string_view(bytes)) {}

    std::size_t length() const { return len_; }
    bool empty() const { return len_ == 0; }
    const char* data() const { return bytes_.data(); }
    std::string_view view() const { return {bytes_.data(), len_}; }
    std::string str() const { return std::string(view()); }
    // The byte at a 1-based position; 0 outside the text.
    std::uint8_t at(int position) const;

    void assign(std::string_view bytes);
    // Appends as many of the characters as still fit.
    void append(std::string_view bytes);

    friend bool operator==(const Str255& a, const Str255& b) { return a.view() == b.view(); }

private:
    std::uint16_t len_ = 0;
    std::array<char, kMaxBytes> bytes_{};
};

void PSstrcpy(Str255& destination, const Str255& source);
void PSstrcat(Str255& destination, const Str255& source);
Str255 PSleft(const Str255& s, int n);
Str255 PSmid(const Str255& s, int start, int count);
Str255 PSstring(int n, std::uint8_t c);
int PSlen(const Str255& s);
int PSinstr(int start, const Str255& s, const Str255& pattern);
bool PSequal(const Str255& a, const Str255& b);

} // namespace kestrune
