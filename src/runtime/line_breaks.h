#pragma once
// Finding where lines end. A line ends at its first CR or LF, and CR LF is
// one line end; files come with any of the three.

namespace kestrune {

// The first CR or LF from p on, or last when there is none. One pass over
// the bytes, whichever line ends the text uses.
const char* FindLineBreak(const char* p, const char* last);

} // namespace kestrune
