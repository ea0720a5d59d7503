#pragma once
// How names compare as people read them: without regard to case, with an
// accented letter beside its base letter, for the Mac OS Roman bytes the
// program stores names in.

#include <array>
#include <cstdint>

namespace kestrune {

// What one Mac OS Roman byte counts as.
struct LetterWeight {
    // Upper and lower case of a letter share it; an accented letter has its
    // base letter's. Other characters keep their own byte.
    std::uint8_t primary = 0;
    // Tells an accented letter from its base letter (0) and from the other
    // accents of it, where primary weights tie.
    std::uint8_t accent = 0;
    // The byte of the same letter in lower case, accent kept: what Find
    // compares.
    std::uint8_t folded = 0;
};

// The weights of every byte, by byte.
const std::array<LetterWeight, 256>& LetterWeights();

} // namespace kestrune
