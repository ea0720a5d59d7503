#include "application/hand_over_limits.h"

namespace kestrune {

void CutOverlongPath(std::string& path) {
    if (path.size() <= kMaxPathBytes) {
        return;
    }
    const std::size_t head = kMaxPathBytes / 2;
    const std::size_t tail = kMaxPathBytes + 1 - head;
    path.erase(head, path.size() - head - tail);
}

} // namespace kestrune
