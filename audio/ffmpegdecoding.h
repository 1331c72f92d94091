#ifndef FFMPEGDECODING_H
#define FFMPEGDECODING_H

#include "audiodecoder.h"

#include <QtPlugin>

#include <memory>

// What the FFmpeg module (libqmsffmpeg.so) gives: decoders on FFmpeg's
// libraries, which take tens of milliseconds and megabytes to load and so are
// loaded only when a file first needs them (see ffmpegmodule.h).
class FfmpegDecoding
{
public:
    virtual ~FfmpegDecoding() = default;

    // Opens the first audio stream of the regular file open at `descriptor`
    // (`size` bytes), read with pread alone: never by a path, and never
    // from the descriptor's own position. nullptr, with `refusal`, when it
    // cannot be decoded. The descriptor stays open as long as the decoder.
    virtual std::unique_ptr<AudioDecoder> Open(int descriptor, qint64 size,
                                               DecoderRefusal &refusal) = 0;
};

#define FfmpegDecoding_iid "com.quelmar.QuelmarR4FileGen.FfmpegDecoding/1.0"
Q_DECLARE_INTERFACE(FfmpegDecoding, FfmpegDecoding_iid)

#endif // FFMPEGDECODING_H
