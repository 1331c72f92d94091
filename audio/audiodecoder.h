#ifndef AUDIODECODER_H
#define AUDIODECODER_H

#include "audioformat.h"
#include "speakers.h"

#include <QString>

// Why a decoder would not take a file. The kinds are ordered: of two
// decoders' refusals, the one that knows more about the file is told.
struct DecoderRefusal
{
    enum Kind {
        NotAudio,    // not a format the decoder knows
        Unsupported, // a known format, but not something it can decode
        Damaged,     // a known format whose data does not fit it
    };
    Kind Why = NotAudio;
    QString Reason; // in plain words, e.g. "its audio encoding cannot be decoded"
};

// An audio file opened for decoding, whatever decodes it. The samples come
// out in blocks of interleaved frames, as many as the caller asks for.
class AudioDecoder
{
public:
    virtual ~AudioDecoder() = default;

    const AudioFormat &Format() const { return format; }
    // Where each channel is meant to be heard, when the file says.
    const SpeakerLayout &Speakers() const { return speakers; }
    // The frames the file claims to hold, when it claims a length (a header
    // may claim more than the file still has); -1 when it does not.
    qint64 AnnouncedFrames() const { return announced; }
    // How far short of that claim the decoded length may fall without the
    // file being cut short: a codec's priming and padding, whole blocks.
    qint64 AnnouncedSlack() const { return slack; }

    // Reads up to `frames` frames of interleaved float samples, full scale
    // at 1.0. Returns the frames read: fewer only at the end of what can be
    // decoded, 0 there.
    virtual qint64 Read(float *interleaved, qint64 frames) = 0;
    // Reads up to `frames` samples of a 16-bit mono PCM source
    // (Format().Pcm16) exactly as they are stored.
    virtual qint64 ReadPcm16(qint16 *samples, qint64 frames) = 0;
    // Some of the data could not be decoded: the file is damaged or cut
    // short, and reading ended there or passed over it.
    virtual bool Damaged() const = 0;

protected:
    AudioDecoder() = default;

    AudioFormat format;
    SpeakerLayout speakers;
    qint64 announced = -1;
    qint64 slack = 0;
};

#endif // AUDIODECODER_H
