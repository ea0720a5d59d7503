#include "platform/sound_player.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QTimer>
#include <sndfile.h>
#include <vector>

namespace kestrune {
namespace {

constexpr int kCannotRead = -43;
constexpr int kNoOutput = -1;
// A click is short; anything longer is cut here rather than held up.
constexpr sf_count_t kMaxFrames = 10 * 48000;

struct Decoded {
    std::vector<qint16> samples;
    int rate = 0;
    int channels = 0;
};

bool decode(const QString& path, Decoded& out) {
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (file == nullptr) {
        return false;
    }
    const sf_count_t frames = std::min(info.frames, kMaxFrames);
    out.samples.resize(static_cast<std::size_t>(frames * info.channels));
    const sf_count_t read = sf_readf_short(file, out.samples.data(), frames);
    sf_close(file);
    out.samples.resize(static_cast<std::size_t>(std::max<sf_count_t>(read, 0) * info.channels));
    out.rate = info.samplerate;
    out.channels = info.channels;
    return read > 0 && info.channels > 0 && info.samplerate > 0;
}

// The desktop's sound server (PulseAudio, or PipeWire speaking its
// protocol). Without one the audio library only complains on standard
// error, so it is not asked at all.
bool soundServerRunning() {
    if (!qEnvironmentVariableIsEmpty("PULSE_SERVER")) {
        return true;
    }
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/pulse/native"));
}

} // namespace

int playSoundFile(const QString& path) {
    Decoded sound;
    if (!decode(path, sound)) {
        return kCannotRead;
    }
    if (!soundServerRunning()) {
        return kNoOutput;
    }
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    QAudioFormat format;
    format.setSampleRate(sound.rate);
    format.setChannelCount(sound.channels);
    format.setSampleFormat(QAudioFormat::Int16);
    if (device.isNull() || !device.isFormatSupported(format)) {
        return kNoOutput;
    }
    QByteArray bytes(reinterpret_cast<const char*>(sound.samples.data()),
                     static_cast<qsizetype>(sound.samples.size() * sizeof(qint16)));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QAudioSink sink(device, format);
    QEventLoop loop;
    QObject::connect(&sink, &QAudioSink::stateChanged, &loop, [&loop](QAudio::State state) {
        if (state == QAudio::IdleState || state == QAudio::StoppedState) {
            loop.quit();
        }
    });
    sink.start(&buffer);
    if (sink.error() != QAudio::NoError) {
        return kNoOutput;
    }
    // The sound plays to its end; a device that never reports it is given
    // up a second after the sound's own length.
    const qint64 lengthMs = static_cast<qint64>(sound.samples.size()) * 1000 /
                            (static_cast<qint64>(sound.rate) * sound.channels);
    QTimer::singleShot(static_cast<int>(lengthMs) + 1000, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    sink.stop();
    return 0;
}

} // namespace kestrune
