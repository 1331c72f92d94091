#ifndef SNDFILEDECODER_H
#define SNDFILEDECODER_H

#include "audiodecoder.h"

#include <cstdint>
#include <memory>
#include <vector>

class InputFile;
struct SF_INFO;
struct sf_private_tag; // libsndfile's SNDFILE

// An audio file decoded by libsndfile: WAV in its variants, AIFF, FLAC, Ogg
// Vorbis and Opus, CAF, AU, Wave64, MPEG audio and whatever else it reads.
// It reads the descriptor of an InputFile through pread() alone (libsndfile
// would close a descriptor given to it when it does not take the file).
class SndfileDecoder : public AudioDecoder
{
public:
    // nullptr, with `refusal`, when libsndfile does not take the file. The
    // file stays open as long as the decoder.
    static std::unique_ptr<SndfileDecoder> Open(InputFile &file, DecoderRefusal &refusal);
    ~SndfileDecoder() override;

    qint64 Read(float *interleaved, qint64 frames) override;
    qint64 ReadPcm16(qint16 *samples, qint64 frames) override;
    bool Damaged() const override;

    // Whether libsndfile is the decoder to use: it knows the exact length
    // and, for more than two channels, where they are heard; and the file
    // is not MPEG audio, whose length it only estimates and whose decoding
    // it stops there.
    bool Preferred() const { return preferred; }

private:
    SndfileDecoder(int descriptor, qint64 size) : descriptor(descriptor), size(size) {}
    void describe(InputFile &file, const SF_INFO &info);
    // libsndfile's virtual I/O: pread() on the descriptor at `position`.
    static std::int64_t fileLength(void *self);
    static std::int64_t seek(std::int64_t offset, int whence, void *self);
    static std::int64_t read(void *buffer, std::int64_t count, void *self);
    static std::int64_t write(const void *, std::int64_t, void *) { return 0; }
    static std::int64_t tell(void *self);

    int descriptor;
    qint64 size;
    qint64 position = 0;
    bool readFailed = false;
    sf_private_tag *sound = nullptr;
    bool preferred = false;
};

#endif // SNDFILEDECODER_H
