#include "audiosource.h"

#include <sndfile.h>

namespace {

constexpr qint64 MaxInterleavedSamples = 65536;

// The library's text without its "Error : " and final full stop.
QString libraryText(const char *text)
{
    QString plain = QString::fromUtf8(text).trimmed();
    if (plain.startsWith(QLatin1String("Error : ")))
        plain.remove(0, 8);
    if (plain.endsWith(QLatin1Char('.')))
        plain.chop(1);
    return plain;
}

// Why libsndfile could not open a file, in plain words.
QString openFailure(int code)
{
    switch (code) {
    case SF_ERR_UNRECOGNISED_FORMAT:
        return QStringLiteral("it is not audio in any format that can be read");
    case SF_ERR_MALFORMED_FILE:
        return QStringLiteral("it is a damaged audio file (its format is known, the rest does not "
                              "fit it)");
    case SF_ERR_UNSUPPORTED_ENCODING:
        return QStringLiteral("its audio encoding cannot be decoded");
    default:
        return QStringLiteral("it cannot be decoded: %1").arg(libraryText(sf_strerror(nullptr)));
    }
}

QString formatName(int format)
{
    SF_FORMAT_INFO info = {};
    info.format = format;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) != 0 || !info.name)
        return QStringLiteral("format 0x%1").arg(format, 0, 16);
    return QString::fromUtf8(info.name);
}

QString containerName(int major, int subtype)
{
    switch (major) {
    case SF_FORMAT_WAV:
        return QStringLiteral("WAV");
    case SF_FORMAT_WAVEX:
        return QStringLiteral("WAV (extensible)");
    case SF_FORMAT_AIFF:
        return QStringLiteral("AIFF");
    case SF_FORMAT_FLAC:
        return QStringLiteral("FLAC");
    case SF_FORMAT_OGG:
        return subtype == SF_FORMAT_VORBIS ? QStringLiteral("Ogg Vorbis")
               : subtype == SF_FORMAT_OPUS ? QStringLiteral("Ogg Opus")
                                           : QStringLiteral("Ogg");
    case SF_FORMAT_MPEG:
        return subtype == SF_FORMAT_MPEG_LAYER_III ? QStringLiteral("MP3")
                                                   : QStringLiteral("MPEG audio");
    case SF_FORMAT_RF64:
        return QStringLiteral("RF64");
    case SF_FORMAT_W64:
        return QStringLiteral("Wave64");
    case SF_FORMAT_CAF:
        return QStringLiteral("CAF");
    case SF_FORMAT_AU:
        return QStringLiteral("AU");
    default:
        return formatName(major);
    }
}

QString encodingName(int subtype)
{
    switch (subtype) {
    case SF_FORMAT_PCM_S8:
        return QStringLiteral("8-bit integer");
    case SF_FORMAT_PCM_U8:
        return QStringLiteral("8-bit unsigned integer");
    case SF_FORMAT_PCM_16:
        return QStringLiteral("16-bit integer");
    case SF_FORMAT_PCM_24:
        return QStringLiteral("24-bit integer");
    case SF_FORMAT_PCM_32:
        return QStringLiteral("32-bit integer");
    case SF_FORMAT_FLOAT:
        return QStringLiteral("32-bit float");
    case SF_FORMAT_DOUBLE:
        return QStringLiteral("64-bit float");
    case SF_FORMAT_VORBIS:
    case SF_FORMAT_OPUS:
    case SF_FORMAT_MPEG_LAYER_I:
    case SF_FORMAT_MPEG_LAYER_II:
    case SF_FORMAT_MPEG_LAYER_III:
        return QStringLiteral("compressed");
    default:
        return formatName(subtype);
    }
}

// Sources of more than 16 bits, or decoded to floating point.
bool isHighResolution(int subtype)
{
    switch (subtype) {
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
    case SF_FORMAT_DWVW_24:
    case SF_FORMAT_ALAC_20:
    case SF_FORMAT_ALAC_24:
    case SF_FORMAT_ALAC_32:
    case SF_FORMAT_VORBIS:
    case SF_FORMAT_OPUS:
    case SF_FORMAT_MPEG_LAYER_I:
    case SF_FORMAT_MPEG_LAYER_II:
    case SF_FORMAT_MPEG_LAYER_III:
        return true;
    default:
        return false;
    }
}

} // namespace

AudioSource::~AudioSource()
{
    close();
}

void AudioSource::close()
{
    if (sound)
        sf_close(sound);
    sound = nullptr;
    file.Close();
}

bool AudioSource::Open(const QString &path)
{
    close();
    format = AudioFormat();
    if (!file.Open(path)) {
        error = file.ErrorString();
        return false;
    }
    if (file.Size() == 0) {
        error = QStringLiteral("the file is empty");
        return false;
    }
    SF_INFO info = {};
    sound = sf_open_fd(file.Handle(), SFM_READ, &info, SF_FALSE);
    if (!sound) {
        error = openFailure(sf_error(nullptr));
        close();
        return false;
    }
    if (info.samplerate <= 0 || info.channels <= 0) {
        error = openFailure(SF_ERR_MALFORMED_FILE);
        close();
        return false;
    }
    const int major = info.format & SF_FORMAT_TYPEMASK;
    const int subtype = info.format & SF_FORMAT_SUBMASK;
    format.Container = containerName(major, subtype);
    format.Encoding = encodingName(subtype);
    format.SampleRate = info.samplerate;
    format.Channels = info.channels;
    format.Frames = info.frames;
    format.Pcm16 = subtype == SF_FORMAT_PCM_16;
    format.HighResolution = isHighResolution(subtype);
    format.ExactLength = major != SF_FORMAT_MPEG;
    return true;
}

qint64 AudioSource::ReadMono(float *samples, qint64 frames)
{
    if (!sound || frames <= 0)
        return 0;
    const int channels = format.Channels;
    if (channels == 1)
        return sf_readf_float(sound, samples, frames);
    // Frames of many channels are read a few at a time.
    const qint64 chunk = qMax<qint64>(1, MaxInterleavedSamples / channels);
    interleaved.resize(size_t(qMin(chunk, frames)) * size_t(channels));
    const float scale = 1.0f / float(channels);
    qint64 done = 0;
    while (done < frames) {
        const qint64 wanted = qMin(chunk, frames - done);
        const qint64 got = sf_readf_float(sound, interleaved.data(), wanted);
        const float *frame = interleaved.data();
        for (qint64 i = 0; i < got; ++i, frame += channels) {
            float sum = frame[0];
            for (int c = 1; c < channels; ++c)
                sum += frame[c];
            samples[done + i] = sum * scale;
        }
        done += qMax<qint64>(got, 0);
        if (got < wanted)
            break;
    }
    return done;
}

qint64 AudioSource::ReadPcm16(qint16 *samples, qint64 frames)
{
    if (!sound || frames <= 0 || format.Channels != 1)
        return 0;
    return sf_readf_short(sound, samples, frames);
}

bool AudioSource::Failed()
{
    if (!sound || sf_error(sound) == SF_ERR_NO_ERROR)
        return false;
    error = QStringLiteral("the %1 file cannot be decoded to its end: %2")
                .arg(format.Container, libraryText(sf_strerror(sound)));
    return true;
}

bool ProbeAudioFile(const QString &path, AudioFormat &format, QString *reason)
{
    AudioSource source;
    const bool opened = source.Open(path);
    format = source.Format();
    if (reason)
        *reason = opened ? QString() : source.ErrorString();
    return opened;
}

QStringList DecodableExtensions()
{
    QList<int> majors;
    QList<int> subtypes;
    int count = 0;
    sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
    for (int i = 0; i < count; ++i) {
        SF_FORMAT_INFO info = {};
        info.format = i;
        if (sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &info, sizeof info) == 0)
            majors << info.format;
    }
    sf_command(nullptr, SFC_GET_FORMAT_SUBTYPE_COUNT, &count, sizeof count);
    for (int i = 0; i < count; ++i) {
        SF_FORMAT_INFO info = {};
        info.format = i;
        if (sf_command(nullptr, SFC_GET_FORMAT_SUBTYPE, &info, sizeof info) == 0)
            subtypes << info.format;
    }
    QStringList extensions{QStringLiteral("wav")};
    if (majors.contains(SF_FORMAT_FLAC))
        extensions << QStringLiteral("flac");
    if (majors.contains(SF_FORMAT_OGG))
        extensions << QStringLiteral("ogg") << QStringLiteral("oga");
    if (majors.contains(SF_FORMAT_OGG) && subtypes.contains(SF_FORMAT_OPUS))
        extensions << QStringLiteral("opus");
    if (majors.contains(SF_FORMAT_MPEG))
        extensions << QStringLiteral("mp3");
    extensions << QStringLiteral("aif") << QStringLiteral("aiff");
    return extensions;
}

QString AudioFilesFilter()
{
    QStringList patterns;
    for (const QString &extension : DecodableExtensions())
        patterns << QStringLiteral("*.") + extension;
    return QStringLiteral("Audio files (%1)").arg(patterns.join(QLatin1Char(' ')));
}
