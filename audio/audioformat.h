#ifndef AUDIOFORMAT_H
#define AUDIOFORMAT_H

#include "core/duration.h"
#include "core/limits.h"

#include <QString>

// What an audio file really holds, as its decoder reports it.
struct AudioFormat
{
    QString Container;  // "WAV", "FLAC", "Ogg Vorbis", "MP3", "AAC", "MP4 video, AAC", ...
    QString Encoding;   // "24-bit integer", "32-bit float", "compressed", ...
    int SampleRate = 0; // frames per second
    int Channels = 0;
    // The length: exact, or, when ExactLength is false, what is known so
    // far (0: nothing; else a lower bound found by decoding).
    qint64 Frames = 0;
    bool ExactLength = true;
    // Samples of 16-bit PCM: they can be copied as they are.
    bool Pcm16 = false;
    // More than 16 bits, or floating point (lossy decoders give floats):
    // reduced to 16 bits with dither.
    bool HighResolution = false;

    // Already a layer's format: 44100 Hz, 1 channel, 16-bit PCM.
    bool IsLayerFormat() const;
    double Seconds() const;
    // E.g. "WAV (extensible), 48000 Hz, 2 channels, 24-bit integer, 2.50 s";
    // "more than 35.62 s" or "length unknown" when the length is not exact.
    QString Describe() const;
};

// A layer's samples (core/limits.h) as the conversion needs them.
namespace LayerFormat {
using Limits::SampleRate;
constexpr int BytesPerSample = Limits::BytesPerFrame; // one channel
// The most samples a layer holds, and the fewest the WAV check takes (a
// shorter result is padded with silence, which the slot would hold anyway).
using Limits::MaxFrames;
using Limits::MinFrames;
constexpr double MaxSeconds = double(MaxFrames) / SampleRate;
// "44100 Hz, 1 channel, 16-bit"
QString Describe();
// The samples at a layer's rate that `frames` at `rate` make, rounded.
qint64 FramesAt(double frames, int rate);
// True when those samples are more than a layer holds.
bool TooLong(double frames, int rate);
} // namespace LayerFormat

// The highest sample rate a source may have: what audio interfaces offer
// at most. Higher rates are refused before any decoding.
constexpr int MaxSourceRate = 768000;

// How many frames a decoder is asked for at a time: 8192, fewer for sources
// of more than 8 channels, so that a block stays within 65536 samples.
qint64 DecodingBlockFrames(int channels);

#endif // AUDIOFORMAT_H
