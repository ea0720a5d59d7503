#pragma once
// Checking that text is UTF-8 while it comes in a block at a time: a
// character that a block's end cuts in two is held back and checked whole
// with the bytes of the next block.

#include <array>
#include <cstddef>
#include <string_view>

namespace kestrune {

class Utf8Check {
public:
    // Takes the next bytes of the text; false once any byte so far is not
    // well-formed UTF-8.
    bool add(std::string_view bytes);
    // The text has ended: false when it is not well-formed UTF-8 as a whole
    // (a character cut short at its end included).
    bool finish();
    // Any byte so far beyond ASCII.
    bool beyondAscii() const { return beyondAscii_; }
    bool valid() const { return valid_; }

private:
    // Checks bytes from the start of a character; returns how many bytes at
    // the end begin a character that may go on in the next block.
    std::size_t checkWhole(std::string_view bytes);

    std::array<char, 4> held_{};
    std::size_t heldSize_ = 0;
    bool valid_ = true;
    bool beyondAscii_ = false;
};

} // namespace kestrune
