#include "sndfiledecoder.h"

#include "headerlength.h"

#include "wav/inputfile.h"

#include <sndfile.h>

#include <cerrno>
#include <unistd.h>

namespace {

DecoderRefusal refusalFor(int code)
{
    switch (code) {
    case SF_ERR_UNRECOGNISED_FORMAT:
        return {DecoderRefusal::NotAudio,
                QStringLiteral("it is not audio in any format that can be read")};
    case SF_ERR_MALFORMED_FILE:
        return {DecoderRefusal::Damaged,
                QStringLiteral("it is a damaged audio file (its format is known, the rest does "
                               "not fit it)")};
    case SF_ERR_UNSUPPORTED_ENCODING:
        return {DecoderRefusal::Unsupported,
                QStringLiteral("its audio encoding cannot be decoded")};
    default: // libsndfile's own text would guess ("possibly a pipe?")
        return {DecoderRefusal::Damaged,
                QStringLiteral("it cannot be decoded: the data is damaged or cut short")};
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

// Samples stored as they are, each of a fixed size.
bool isUncompressed(int subtype)
{
    switch (subtype) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
        return true;
    default:
        return false;
    }
}

Speaker speakerOf(int channel)
{
    switch (channel) {
    case SF_CHANNEL_MAP_LEFT:
    case SF_CHANNEL_MAP_RIGHT:
    case SF_CHANNEL_MAP_FRONT_LEFT:
    case SF_CHANNEL_MAP_FRONT_RIGHT:
    case SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER:
    case SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER:
        return Speaker::Front;
    case SF_CHANNEL_MAP_CENTER:
    case SF_CHANNEL_MAP_FRONT_CENTER:
        return Speaker::Centre;
    case SF_CHANNEL_MAP_LFE:
        return Speaker::LowFrequency;
    case SF_CHANNEL_MAP_REAR_CENTER:
    case SF_CHANNEL_MAP_REAR_LEFT:
    case SF_CHANNEL_MAP_REAR_RIGHT:
    case SF_CHANNEL_MAP_SIDE_LEFT:
    case SF_CHANNEL_MAP_SIDE_RIGHT:
    case SF_CHANNEL_MAP_TOP_CENTER:
    case SF_CHANNEL_MAP_TOP_FRONT_LEFT:
    case SF_CHANNEL_MAP_TOP_FRONT_RIGHT:
    case SF_CHANNEL_MAP_TOP_FRONT_CENTER:
    case SF_CHANNEL_MAP_TOP_REAR_LEFT:
    case SF_CHANNEL_MAP_TOP_REAR_RIGHT:
    case SF_CHANNEL_MAP_TOP_REAR_CENTER:
        return Speaker::Surround;
    default: // mono among others, ambisonics, not said
        return Speaker::Unknown;
    }
}

} // namespace

std::unique_ptr<SndfileDecoder> SndfileDecoder::Open(InputFile &file, DecoderRefusal &refusal)
{
    std::unique_ptr<SndfileDecoder> decoder(new SndfileDecoder(file.Handle(), file.Size()));
    SF_VIRTUAL_IO io = {&SndfileDecoder::fileLength, &SndfileDecoder::seek, &SndfileDecoder::read,
                        &SndfileDecoder::write, &SndfileDecoder::tell};
    SF_INFO info = {};
    decoder->sound = sf_open_virtual(&io, SFM_READ, &info, decoder.get());
    if (!decoder->sound) {
        refusal = refusalFor(sf_error(nullptr));
        return nullptr;
    }
    if (info.samplerate <= 0 || info.channels <= 0) {
        refusal = refusalFor(SF_ERR_MALFORMED_FILE);
        return nullptr;
    }
    decoder->describe(file, info);
    return decoder;
}

SndfileDecoder::~SndfileDecoder()
{
    if (sound)
        sf_close(sound);
}

sf_count_t SndfileDecoder::fileLength(void *self)
{
    return static_cast<SndfileDecoder *>(self)->size;
}

sf_count_t SndfileDecoder::seek(sf_count_t offset, int whence, void *self)
{
    auto *decoder = static_cast<SndfileDecoder *>(self);
    const qint64 from = whence == SEEK_CUR   ? decoder->position
                        : whence == SEEK_END ? decoder->size
                                             : 0;
    if (from + offset >= 0)
        decoder->position = from + offset;
    return decoder->position;
}

sf_count_t SndfileDecoder::read(void *buffer, sf_count_t count, void *self)
{
    auto *decoder = static_cast<SndfileDecoder *>(self);
    ssize_t got;
    do {
        got = ::pread(decoder->descriptor, buffer, size_t(count), off_t(decoder->position));
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        decoder->readFailed = true;
        return 0;
    }
    decoder->position += got;
    return got;
}

sf_count_t SndfileDecoder::tell(void *self)
{
    return static_cast<SndfileDecoder *>(self)->position;
}

void SndfileDecoder::describe(InputFile &file, const SF_INFO &info)
{
    const int major = info.format & SF_FORMAT_TYPEMASK;
    const int subtype = info.format & SF_FORMAT_SUBMASK;
    const qint64 frames = info.frames;
    format.Container = containerName(major, subtype);
    format.Encoding = encodingName(subtype);
    format.SampleRate = info.samplerate;
    format.Channels = info.channels;
    format.Pcm16 = subtype == SF_FORMAT_PCM_16;
    format.HighResolution = isHighResolution(subtype);
    // A stream's length left open (a FLAC written to a pipe) comes as the
    // largest count; MPEG audio's is an estimate.
    const bool sized = major != SF_FORMAT_MPEG && frames >= 0 && frames != SF_COUNT_MAX;
    format.ExactLength = sized;
    format.Frames = sized ? frames : 0;
    if (sized) {
        // libsndfile counts only the frames still there; the header may
        // claim more.
        announced = qMax(frames, HeaderFrames(file, isUncompressed(subtype)));
    }

    std::vector<int> map(size_t(info.channels));
    if (info.channels > 2 && sf_command(sound, SFC_GET_CHANNEL_MAP_INFO, map.data(),
                                        int(map.size() * sizeof(int))) == SF_TRUE) {
        for (int channel : map)
            speakers.push_back(speakerOf(channel));
    }
    preferred = sized && (info.channels <= 2 || !speakers.empty());
}

qint64 SndfileDecoder::Read(float *interleaved, qint64 frames)
{
    return frames > 0 ? sf_readf_float(sound, interleaved, frames) : 0;
}

qint64 SndfileDecoder::ReadPcm16(qint16 *samples, qint64 frames)
{
    if (frames <= 0 || format.Channels != 1)
        return 0;
    return sf_readf_short(sound, samples, frames);
}

bool SndfileDecoder::Damaged() const
{
    return readFailed || sf_error(sound) != SF_ERR_NO_ERROR;
}
