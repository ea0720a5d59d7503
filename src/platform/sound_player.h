#pragma once
// Plays a sound file (decoded with libsndfile) to its end on the default
// audio output. Where there is no audio output it returns at once.

#include <QString>

namespace kestrune {

// 0 when the sound played; -43 when the file cannot be read; -1 when there
// is no audio output or it refuses the sound's format.
int playSoundFile(const QString& path);

} // namespace kestrune
