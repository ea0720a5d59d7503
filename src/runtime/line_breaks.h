#pragma once
// Finding where lines end. A line ends at its first CR or LF, and CR LF is
// one line end; files come with any of the three.

#include <cstdint>

namespace kestrune {

// The first CR or LF from p on, or last when there is none. One pass over
// the bytes, whichever line ends the text uses.
const char* FindLineBreak(const char* p, const char* last);

// The first CR, LF or stop from p on, or last when there is none.
const char* FindLineBreakOr(const char* p, const char* last, char stop);

// How many line ends lie from p to last: every CR, and every LF that does
// not follow a CR. afterCR says the byte before p is a CR.
std::uint64_t CountLineEnds(const char* p, const char* last, bool afterCR);

// True when no byte from p to last lies beyond ASCII.
bool IsAscii(const char* p, const char* last);

} // namespace kestrune
