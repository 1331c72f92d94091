#ifndef AUDIOSOURCE_H
#define AUDIOSOURCE_H

#include "audiodecoder.h"

#include "wav/inputfile.h"

#include <QString>

#include <memory>

// An audio file opened for decoding, by whichever decoder suits it: libsndfile
// for what it reads and sizes exactly (WAV, AIFF, FLAC, Ogg Vorbis and Opus,
// ...), FFmpeg's libraries for the rest (AAC, ALAC, WMA, AC-3, the sound of
// video files, streams of unknown length) and for every MP3. Only a regular
// file is opened (InputFile), and both decoders read from that descriptor,
// so a named pipe or a device never makes them wait and the file decoded is
// the file checked.
class AudioSource
{
public:
    bool Open(const QString &path);
    // The decoder, after Open() succeeded.
    AudioDecoder &Decoder() { return *decoder; }
    const AudioFormat &Format() const;
    FileIdentity Identity() const { return file.Identity(); }
    // Why Open() failed, in plain words.
    QString ErrorString() const { return error; }

private:
    bool choose();

    InputFile file; // outlives the decoder, which reads its descriptor
    std::unique_ptr<AudioDecoder> decoder;
    QString error;
};

#endif // AUDIOSOURCE_H
