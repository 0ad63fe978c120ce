#include "Beep.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace {

constexpr int kSampleRate = 44100;
constexpr int kMinFrequency = 37; // the range the system beep accepts
constexpr int kMaxFrequency = 32767;
constexpr int kMaxToneMs = 60 * 1000;
constexpr int kMaxBeepMs = 10 * 1000;
// How long past its length the wait for a tone may last: enough for the
// output's own latency, short enough not to stall the window noticeably.
constexpr int kGraceMs = 150;
constexpr int kFeedIntervalMs = 10;

// 16 bits at the given rate, one channel if the device takes it, otherwise
// the device's own channel count. An invalid format means "do not play".
QAudioFormat ToneFormat(const QAudioDevice& device) {
    QAudioFormat format;
    format.setSampleFormat(QAudioFormat::Int16);
    format.setSampleRate(kSampleRate);
    format.setChannelCount(1);
    if (device.isFormatSupported(format)) return format;
    const QAudioFormat preferred = device.preferredFormat();
    format.setSampleRate(preferred.sampleRate());
    format.setChannelCount(preferred.channelCount());
    if (preferred.sampleRate() > 0 && preferred.channelCount() > 0 &&
        device.isFormatSupported(format))
        return format;
    return {};
}

// Copies each mono sample into every channel of an interleaved frame.
QByteArray SpreadToChannels(const QByteArray& mono, int channels) {
    if (channels == 1) return mono;
    const qsizetype samples = mono.size() / qsizetype(sizeof(qint16));
    QByteArray out(samples * channels * qsizetype(sizeof(qint16)), Qt::Uninitialized);
    const auto* in = reinterpret_cast<const qint16*>(mono.constData());
    auto* dst = reinterpret_cast<qint16*>(out.data());
    for (qsizetype i = 0; i < samples; ++i)
        for (int c = 0; c < channels; ++c)
            *dst++ = in[i];
    return out;
}

// Runs on a thread of its own: the sink needs an event loop, and running one
// on the caller's thread would dispatch the caller's events (device reports,
// timers) in the middle of its handler.
//
// The samples are pushed rather than pulled: once they are all written, the
// sink going idle means the output ran dry, i.e. the tone has been heard.
// Some outputs report that late or not at all, so the wait is also cut off a
// little after the tone's own length.
void PlayOnThisThread(const QAudioDevice& device, const QAudioFormat& format, const QByteArray& pcm,
                      int durationMs) {
    QAudioSink sink(device, format);
    sink.setBufferSize(pcm.size());
    QIODevice* io = sink.start();
    if (!io || sink.state() == QAudio::StoppedState) return;
    QElapsedTimer clock;
    clock.start();

    QEventLoop loop;
    qsizetype offset = 0;
    const auto feed = [&] {
        if (offset >= pcm.size()) return;
        const qint64 n = io->write(pcm.constData() + offset, pcm.size() - offset);
        if (n > 0) offset += qsizetype(n);
    };
    // start() itself reports idle before anything is written; an idle state
    // only counts once every sample is written and the tone's time is up.
    const auto finished = [&] {
        return sink.state() == QAudio::StoppedState ||
               (offset == pcm.size() && sink.state() == QAudio::IdleState &&
                clock.elapsed() >= durationMs);
    };
    QTimer feeder;
    QObject::connect(&feeder, &QTimer::timeout, &loop, [&] {
        feed();
        if (finished()) loop.quit();
    });
    QObject::connect(&sink, &QAudioSink::stateChanged, &loop, [&] {
        if (finished()) loop.quit();
    });
    QTimer::singleShot(durationMs + kGraceMs, &loop, &QEventLoop::quit);
    feeder.start(kFeedIntervalMs);
    feed();
    loop.exec();
    sink.stop();
}

} // namespace

QByteArray MakeTone(int hz, int ms, int sampleRate) {
    if (hz <= 0 || ms <= 0 || sampleRate <= 0 || ms > kMaxToneMs) return {};
    if (qint64(hz) * 2 >= sampleRate) return {};

    const qint64 samples = qint64(sampleRate) * ms / 1000;
    const qint64 fade = std::min<qint64>(samples / 4, qint64(sampleRate) * kToneFadeMs / 1000);
    QByteArray out(samples * qsizetype(sizeof(qint16)), Qt::Uninitialized);
    auto* dst = reinterpret_cast<qint16*>(out.data());
    const double step = 2.0 * std::numbers::pi * hz / sampleRate;
    for (qint64 n = 0; n < samples; ++n) {
        double gain = 1.0;
        const qint64 fromEdge = std::min(n, samples - 1 - n);
        if (fromEdge < fade)
            gain = 0.5 - 0.5 * std::cos(std::numbers::pi * double(fromEdge) / double(fade));
        const double value = kToneAmplitude * gain * std::sin(step * double(n));
        dst[n] = static_cast<qint16>(std::lround(value));
    }
    return out;
}

void Beep(int frequencyHz, int durationMs) {
    if (qEnvironmentVariableIsSet("CALLERID_MUTE")) return;
    if (frequencyHz < kMinFrequency || frequencyHz > kMaxFrequency || durationMs <= 0) return;
    const int ms = std::min(durationMs, kMaxBeepMs);

    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return;
    const QAudioFormat format = ToneFormat(device);
    if (!format.isValid()) return;

    const QByteArray mono = MakeTone(frequencyHz, ms, format.sampleRate());
    if (mono.isEmpty()) return; // above what the device's rate can carry
    const QByteArray pcm = SpreadToChannels(mono, format.channelCount());

    std::unique_ptr<QThread> player(QThread::create(PlayOnThisThread, device, format, pcm, ms));
    player->start();
    // The player bounds itself; this wait is only a second line of defence.
    if (!player->wait(QDeadlineTimer(ms + 4 * kGraceMs))) {
        // A device that hangs in stop(): let the thread finish on its own
        // and clean up after itself rather than block the caller further.
        QObject::connect(player.get(), &QThread::finished, player.get(), &QObject::deleteLater);
        if (!player->isFinished()) (void)player.release();
    }
}
