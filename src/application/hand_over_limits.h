#pragma once
// What one hand-over from another program may bring: whatever a peer sends,
// only a bounded amount of it is kept.

#include <cstddef>
#include <string>

namespace kestrune {

// Of one hand-over only the last paths are kept (the last document wins).
inline constexpr std::size_t kMaxHandedOverPaths = 1000;
// The longest path the file system takes, in bytes.
inline constexpr std::size_t kMaxPathBytes = 4096;

// Where the kept paths of a hand-over of count paths begin.
constexpr std::size_t FirstKeptPath(std::size_t count) {
    return count > kMaxHandedOverPaths ? count - kMaxHandedOverPaths : 0;
}

// A path or URI as it arrives is first cut to this many bytes: a URI may
// spell a byte of its path in three, and nothing longer can still name a
// path the file system takes.
inline constexpr std::size_t kMaxArgumentBytes = 4 * kMaxPathBytes;

// A path longer than limit can never be opened: it is cut to its first and
// last bytes, one byte too long still, so that it is refused like any path
// that cannot be opened and its note shows its real ends.
void CutOverlongPath(std::string& path, std::size_t limit = kMaxPathBytes);

} // namespace kestrune
