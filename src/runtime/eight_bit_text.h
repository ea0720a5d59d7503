#pragma once
// Which eight-bit text a file that is not UTF-8 holds: Windows-1252, as
// spreadsheets save it on Windows, or Mac OS Roman, as older Macs did. The
// bytes beyond ASCII tell: read in the right one they are letters within
// words, while the other makes many of them symbols between letters
// ("S¯nderborg") or capitals after small letters ("CafŽ").

#include <array>
#include <cstdint>
#include <string_view>

namespace kestrune {

enum class EightBitText { Windows1252, MacRoman };

class EightBitGuess {
public:
    // Takes the text's next bytes.
    void add(std::string_view bytes);
    // Once the text has ended: the likelier of the two, Windows-1252 when
    // the bytes do not tell them apart.
    EightBitText likelier() const;
    // One leads by so much that the bytes still to come will not change it.
    bool settled() const;

private:
    // Weighs the byte after `before` and before `after` (zero: none).
    void weigh(unsigned char before, unsigned char byte, unsigned char after);

    std::array<std::int64_t, 2> score_{};
    unsigned char last_ = 0;    // the byte before pending_, or the last one taken
    unsigned char pending_ = 0; // a byte beyond ASCII whose next byte is yet to come
    unsigned char beforePending_ = 0;
};

} // namespace kestrune
