#pragma once
// The beep that marks an incoming call: a sine tone on the default audio
// output, played while the calling thread waits, like the system beep it
// stands in for.

#include <QByteArray>

// Peak sample value of the tone: half of full scale, loud enough to hear and
// far from clipping.
inline constexpr int kToneAmplitude = 16384;
// Length of the raised-cosine fade at each end of the tone; a tone that starts
// or stops at full amplitude clicks.
inline constexpr int kToneFadeMs = 5;

// The samples of a tone of hz hertz lasting ms milliseconds at sampleRate
// samples per second: signed 16-bit mono in the machine's byte order,
// sampleRate * ms / 1000 samples, starting at phase 0, faded in and out.
// Returns an empty array when an argument is not positive, when hz is not
// below half the sample rate (it could not be represented) or when ms is
// longer than a minute.
QByteArray MakeTone(int hz, int ms, int sampleRate);

// Plays a tone of frequencyHz for durationMs on the default audio output and
// returns when it has played (or after a bounded wait if the device stalls).
// The calling thread does nothing else meanwhile: no events are dispatched,
// so no handler can run in the middle of the caller's. Silent, without error,
// when there is no audio output, when the output refuses 16-bit samples,
// when frequencyHz lies outside 37..32767 or durationMs is not positive, and
// when the environment variable CALLERID_MUTE is set (the tests set it).
// Durations above ten seconds are cut to ten seconds.
void Beep(int frequencyHz, int durationMs);
