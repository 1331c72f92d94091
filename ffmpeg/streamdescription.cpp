#include "streamdescription.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

namespace {

QString codecName(AVCodecID id)
{
    switch (id) {
    case AV_CODEC_ID_AAC:
    case AV_CODEC_ID_AAC_LATM:
        return QStringLiteral("AAC");
    case AV_CODEC_ID_ALAC:
        return QStringLiteral("ALAC");
    case AV_CODEC_ID_WMAV1:
    case AV_CODEC_ID_WMAV2:
        return QStringLiteral("WMA");
    case AV_CODEC_ID_WMAPRO:
        return QStringLiteral("WMA Pro");
    case AV_CODEC_ID_WMALOSSLESS:
        return QStringLiteral("WMA Lossless");
    case AV_CODEC_ID_AC3:
        return QStringLiteral("AC-3");
    case AV_CODEC_ID_EAC3:
        return QStringLiteral("E-AC-3");
    case AV_CODEC_ID_MP1:
        return QStringLiteral("MP1");
    case AV_CODEC_ID_MP2:
        return QStringLiteral("MP2");
    case AV_CODEC_ID_MP3:
        return QStringLiteral("MP3");
    case AV_CODEC_ID_FLAC:
        return QStringLiteral("FLAC");
    case AV_CODEC_ID_VORBIS:
        return QStringLiteral("Vorbis");
    case AV_CODEC_ID_OPUS:
        return QStringLiteral("Opus");
    default:
        return QString::fromLatin1(avcodec_get_name(id)).toUpper();
    }
}

// The container of a video file, by its demuxer (and, for the MP4 family,
// its brand).
QString videoContainerName(const AVFormatContext *container)
{
    const QString demuxer = QString::fromLatin1(container->iformat->name);
    if (demuxer.startsWith(QLatin1String("mov,"))) {
        const AVDictionaryEntry *brand =
            av_dict_get(container->metadata, "major_brand", nullptr, 0);
        return brand && QByteArray(brand->value).startsWith("qt") ? QStringLiteral("QuickTime")
                                                                  : QStringLiteral("MP4");
    }
    if (demuxer.startsWith(QLatin1String("matroska")))
        return QStringLiteral("Matroska");
    if (demuxer == QLatin1String("asf"))
        return QStringLiteral("Windows Media");
    return demuxer.section(QLatin1Char(','), 0, 0).toUpper();
}

bool holdsVideo(const AVFormatContext *container)
{
    for (unsigned i = 0; i < container->nb_streams; ++i) {
        const AVStream *stream = container->streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
            !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
            return true; // a picture, not the cover art of a song
    }
    return false;
}

Speaker speakerOf(AVChannel channel)
{
    switch (channel) {
    case AV_CHAN_FRONT_LEFT:
    case AV_CHAN_FRONT_RIGHT:
    case AV_CHAN_FRONT_LEFT_OF_CENTER:
    case AV_CHAN_FRONT_RIGHT_OF_CENTER:
        return Speaker::Front;
    case AV_CHAN_FRONT_CENTER:
        return Speaker::Centre;
    case AV_CHAN_LOW_FREQUENCY:
    case AV_CHAN_LOW_FREQUENCY_2:
        return Speaker::LowFrequency;
    case AV_CHAN_BACK_LEFT:
    case AV_CHAN_BACK_RIGHT:
    case AV_CHAN_BACK_CENTER:
    case AV_CHAN_SIDE_LEFT:
    case AV_CHAN_SIDE_RIGHT:
    case AV_CHAN_TOP_CENTER:
    case AV_CHAN_TOP_FRONT_LEFT:
    case AV_CHAN_TOP_FRONT_CENTER:
    case AV_CHAN_TOP_FRONT_RIGHT:
    case AV_CHAN_TOP_BACK_LEFT:
    case AV_CHAN_TOP_BACK_CENTER:
    case AV_CHAN_TOP_BACK_RIGHT:
    case AV_CHAN_WIDE_LEFT:
    case AV_CHAN_WIDE_RIGHT:
    case AV_CHAN_SURROUND_DIRECT_LEFT:
    case AV_CHAN_SURROUND_DIRECT_RIGHT:
    case AV_CHAN_TOP_SIDE_LEFT:
    case AV_CHAN_TOP_SIDE_RIGHT:
    case AV_CHAN_BOTTOM_FRONT_CENTER:
    case AV_CHAN_BOTTOM_FRONT_LEFT:
    case AV_CHAN_BOTTOM_FRONT_RIGHT:
        return Speaker::Surround;
    default: // a stereo downmix, ambisonics, unused or unknown
        return Speaker::Unknown;
    }
}

} // namespace

QString StreamFormatName(const AVFormatContext *container, const AVStream *stream)
{
    const QString codec = codecName(stream->codecpar->codec_id);
    if (holdsVideo(container))
        return QStringLiteral("%1 video, %2").arg(videoContainerName(container), codec);
    if (QByteArray(container->iformat->name) == "ogg")
        return QStringLiteral("Ogg ") + codec;
    return codec;
}

bool IsLossless(const AVCodecContext *codec)
{
    const AVCodecDescriptor *descriptor = avcodec_descriptor_get(codec->codec_id);
    return descriptor && (descriptor->props & AV_CODEC_PROP_LOSSLESS) &&
           !(descriptor->props & AV_CODEC_PROP_LOSSY);
}

QString StreamEncodingName(const AVCodecContext *codec)
{
    if (!IsLossless(codec))
        return QStringLiteral("compressed");
    const int bits = codec->bits_per_raw_sample;
    switch (av_get_packed_sample_fmt(codec->sample_fmt)) {
    case AV_SAMPLE_FMT_U8:
        return QStringLiteral("8-bit unsigned integer");
    case AV_SAMPLE_FMT_S16:
        return QStringLiteral("%1-bit integer").arg(bits > 0 && bits < 16 ? bits : 16);
    case AV_SAMPLE_FMT_S32:
        return QStringLiteral("%1-bit integer").arg(bits > 0 && bits < 32 ? bits : 32);
    case AV_SAMPLE_FMT_S64:
        return QStringLiteral("64-bit integer");
    case AV_SAMPLE_FMT_FLT:
        return QStringLiteral("32-bit float");
    case AV_SAMPLE_FMT_DBL:
        return QStringLiteral("64-bit float");
    default:
        return QStringLiteral("lossless");
    }
}

bool IsHighResolution(const AVCodecContext *codec)
{
    switch (av_get_packed_sample_fmt(codec->sample_fmt)) {
    case AV_SAMPLE_FMT_U8:
    case AV_SAMPLE_FMT_S16:
        return false;
    case AV_SAMPLE_FMT_S32:
        return codec->bits_per_raw_sample == 0 || codec->bits_per_raw_sample > 16;
    default:
        return true;
    }
}

SpeakerLayout SpeakersOf(const AVChannelLayout &layout)
{
    SpeakerLayout speakers;
    if (layout.order != AV_CHANNEL_ORDER_NATIVE && layout.order != AV_CHANNEL_ORDER_CUSTOM)
        return speakers;
    for (int i = 0; i < layout.nb_channels; ++i)
        speakers.push_back(speakerOf(av_channel_layout_channel_from_index(&layout, unsigned(i))));
    return speakers;
}
