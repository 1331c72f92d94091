#ifndef MONODECODING_H
#define MONODECODING_H

#include "audiodecoder.h"
#include "channelmixer.h"

#include <QString>
#include <QStringList>

#include <vector>

// The first stages of reading an audio file as a layer holds it, shared by
// the conversion and the analysis: the decoder's blocks of interleaved
// frames, what is not a number replaced (ReplaceNonFinite()), the channels
// folded into one (ChannelMixer). What comes out is finite, at the source's
// rate.
class MonoDecoding
{
public:
    explicit MonoDecoding(AudioDecoder &decoder);

    // Decodes the next block; returns its frames, 0 at the end of what can
    // be decoded. Its mono samples are at Samples() until the next call.
    qint64 Next();
    const float *Samples() const { return mono.data(); }
    // Decoded so far, and samples replaced.
    qint64 Frames() const { return frames; }
    qint64 NotNumbers() const { return notNumbers; }

private:
    AudioDecoder &decoder;
    ChannelMixer mixer;
    int channels;
    qint64 blockFrames;
    std::vector<float> block;
    std::vector<float> mono;
    qint64 frames = 0;
    qint64 notNumbers = 0;
};

// What a sound decoded as far as `frames` lacks or had to change, e.g. "ends
// early: 0.50 s of the 1.00 s announced", "2 samples were not numbers". A
// decoding stopped on purpose (`toTheEnd` false) lacks no end.
QStringList DecodingWarnings(const AudioDecoder &decoder, qint64 frames, qint64 notNumbers,
                             bool toTheEnd = true);

// Why a file of which nothing could be decoded is refused.
QString UndecodableReason();

#endif // MONODECODING_H
