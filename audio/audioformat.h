#ifndef AUDIOFORMAT_H
#define AUDIOFORMAT_H

#include <QString>

// What an audio file really holds, as its decoder reports it.
struct AudioFormat
{
    QString Container;  // "WAV", "WAV (extensible)", "FLAC", "Ogg Vorbis", "MP3", "AIFF", ...
    QString Encoding;   // "24-bit integer", "32-bit float", "compressed", ...
    int SampleRate = 0; // frames per second
    int Channels = 0;
    qint64 Frames = 0; // as the file announces it; decoding may find fewer
    // Samples of 16-bit PCM: they can be copied as they are.
    bool Pcm16 = false;
    // More than 16 bits, or floating point (lossy decoders give floats):
    // reduced to 16 bits with dither.
    bool HighResolution = false;
    // The frame count is exact (not an estimate, as it may be for MP3).
    bool ExactLength = true;

    // Already a layer's format: 44100 Hz, 1 channel, 16-bit PCM.
    bool IsLayerFormat() const;
    double Seconds() const;
    // E.g. "WAV (extensible), 48000 Hz, 2 channels, 24-bit integer, 2.50 s".
    QString Describe() const;
};

// The sample rate, channels and sample size of a layer.
namespace LayerFormat {
constexpr int SampleRate = 44100;
constexpr int BytesPerSample = 2;
// The most samples a layer holds: the WAV check accepts up to 3141631 data
// bytes, so 1570815 16-bit samples (about 35.6 s).
constexpr qint64 MaxFrames = 1570815;
// The fewest: the WAV check asks for 512 data bytes. A shorter result is
// padded with silence, which the slot would hold anyway.
constexpr qint64 MinFrames = 256;
// "44100 Hz, 1 channel, 16-bit"
QString Describe();
} // namespace LayerFormat

// A duration for messages: "2.50 s".
QString SecondsText(double seconds);

#endif // AUDIOFORMAT_H
