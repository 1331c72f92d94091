#ifndef FFMPEGDECODER_H
#define FFMPEGDECODER_H

#include "descriptorio.h"

#include "audio/audiodecoder.h"

#include <memory>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;

// The first audio stream of a file, decoded by FFmpeg's libraries: AAC,
// ALAC, WMA, AC-3, MP3 and the rest, in their own files or in videos (MP4,
// QuickTime, Matroska, WebM, Windows Media). Only the demuxers of audio and
// video files are tried, never one that opens further files, and only audio
// decoders run. The decoder's own delay and padding are left out where the
// file says how long it is. The length is found by decoding to the end.
class FfmpegDecoder : public AudioDecoder
{
public:
    static std::unique_ptr<FfmpegDecoder> Open(int descriptor, qint64 size,
                                               DecoderRefusal &refusal);
    ~FfmpegDecoder() override;

    qint64 Read(float *interleaved, qint64 frames) override;
    qint64 ReadPcm16(qint16 *, qint64) override { return 0; }
    bool Damaged() const override { return damaged; }

private:
    FfmpegDecoder(int descriptor, qint64 size) : io(descriptor, size) {}
    bool open(DecoderRefusal &refusal);
    bool openStream(DecoderRefusal &refusal);
    void describe();
    // The next decoded frame into `frame`; false at the end.
    bool nextFrame();
    // Feeds the decoder the next packet of the stream, or the end.
    void feed();

    DescriptorIO io;
    AVFormatContext *container = nullptr;
    AVCodecContext *codec = nullptr;
    AVPacket *packet = nullptr;
    AVFrame *frame = nullptr;
    int stream = -1;
    int taken = 0;        // frames of `frame` already read
    qint64 delivered = 0; // frames read
    qint64 last = -1;     // the frames to read at most, when the file says
    bool flushed = false; // the decoder was told of the end
    bool ended = false;
    bool damaged = false;
};

#endif // FFMPEGDECODER_H
