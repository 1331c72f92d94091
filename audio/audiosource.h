#ifndef AUDIOSOURCE_H
#define AUDIOSOURCE_H

#include "audioformat.h"

#include "wav/inputfile.h"

#include <QString>
#include <QStringList>

#include <vector>

struct sf_private_tag; // libsndfile's SNDFILE

// An audio file opened for decoding: WAV in its variants, AIFF, FLAC, Ogg
// Vorbis and Opus, MP3 and whatever else libsndfile reads. Only a regular
// file is opened (InputFile), and libsndfile decodes from that descriptor,
// so a named pipe or a device never makes it wait. The samples come out in
// blocks, as many as the caller asks for.
class AudioSource
{
public:
    AudioSource() = default;
    ~AudioSource();
    AudioSource(const AudioSource &) = delete;
    AudioSource &operator=(const AudioSource &) = delete;

    bool Open(const QString &path);
    const AudioFormat &Format() const { return format; }
    FileIdentity Identity() const { return file.Identity(); }

    // Reads up to `frames` frames, each the average of its channels, full
    // scale at 1.0. Returns the frames read: fewer only at the end, 0 at
    // the end or after a decoding error (see Failed()).
    qint64 ReadMono(float *samples, qint64 frames);
    // Reads up to `frames` 16-bit samples of a 16-bit mono source exactly as
    // they are stored.
    qint64 ReadPcm16(qint16 *samples, qint64 frames);

    // A decoding error was met: the samples read are not the whole file.
    bool Failed();
    // Why Open() failed or decoding stopped, in plain words.
    QString ErrorString() const { return error; }

private:
    void close();

    InputFile file;
    sf_private_tag *sound = nullptr;
    AudioFormat format;
    std::vector<float> interleaved;
    QString error;
};

// What the audio file at `path` really is; false, with `reason`, when it
// cannot be decoded.
bool ProbeAudioFile(const QString &path, AudioFormat &format, QString *reason = nullptr);

// Of the extensions "wav flac ogg oga opus mp3 aif aiff", those whose
// formats the libsndfile at hand decodes (MP3 and Opus came with its 1.1 and
// 1.0.29).
QStringList DecodableExtensions();

// The open dialog's filter for them: "Audio files (*.wav *.flac *.ogg *.oga
// *.opus *.mp3 *.aif *.aiff)".
QString AudioFilesFilter();

#endif // AUDIOSOURCE_H
