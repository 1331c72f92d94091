#include "ffmpegdecoder.h"

#include "framesamples.h"
#include "streamdescription.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

namespace {

// The demuxers tried: audio files, and the videos whose sound is taken.
// None of them opens further files (playlists, references).
const char *const Demuxers = "mov,matroska,asf,mp3,aac,ac3,eac3,flac,ogg,wav,w64,aiff,caf,au";

// The decoders that may run: audio alone.
const char *const Decoders =
    "aac,aac_fixed,aac_latm,alac,wmav1,wmav2,wmapro,wmalossless,ac3,ac3_fixed,eac3,"
    "mp1,mp1float,mp2,mp2float,mp3,mp3float,mp3adu,mp3adufloat,flac,vorbis,opus,"
    "pcm_u8,pcm_s8,pcm_s16le,pcm_s16be,pcm_s24le,pcm_s24be,pcm_s32le,pcm_s32be,"
    "pcm_f32le,pcm_f32be,pcm_f64le,pcm_f64be,pcm_alaw,pcm_mulaw";

// A lossy decoder's output may fall this many blocks short of the length a
// container announces: priming, padding, a last block left out.
constexpr qint64 LossyBlocksOfSlack = 2;
constexpr qint64 DefaultBlockFrames = 4096;

// Nothing is opened but the file given.
int refuseToOpen(AVFormatContext *, AVIOContext **, const char *, int, AVDictionary **)
{
    return AVERROR(EPERM);
}

const DecoderRefusal NotAudio = {DecoderRefusal::NotAudio,
                                 QStringLiteral("it is not audio in any format that can be read")};
const DecoderRefusal DamagedData = {
    DecoderRefusal::Damaged,
    QStringLiteral("it cannot be decoded: the data is damaged or cut short")};

} // namespace

std::unique_ptr<FfmpegDecoder> FfmpegDecoder::Open(int descriptor, qint64 size,
                                                   DecoderRefusal &refusal)
{
    std::unique_ptr<FfmpegDecoder> decoder(new FfmpegDecoder(descriptor, size));
    if (!decoder->open(refusal))
        decoder.reset();
    return decoder;
}

FfmpegDecoder::~FfmpegDecoder()
{
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
    avformat_close_input(&container);
}

bool FfmpegDecoder::open(DecoderRefusal &refusal)
{
    refusal = NotAudio;
    container = avformat_alloc_context();
    packet = av_packet_alloc();
    frame = av_frame_alloc();
    if (!io.Context() || !container || !packet || !frame) {
        refusal.Reason = QStringLiteral("there is not enough memory to decode it");
        return false;
    }
    container->pb = io.Context();
    container->flags |= AVFMT_FLAG_CUSTOM_IO;
    container->io_open = refuseToOpen;
    AVDictionary *options = nullptr;
    av_dict_set(&options, "format_whitelist", Demuxers, 0);
    av_dict_set(&options, "codec_whitelist", Decoders, 0);
    const int opened = avformat_open_input(&container, "", nullptr, &options);
    av_dict_free(&options);
    if (opened < 0)
        return false; // the context is freed
    return openStream(refusal);
}

bool FfmpegDecoder::openStream(DecoderRefusal &refusal)
{
    for (unsigned i = 0; i < container->nb_streams; ++i) {
        AVStream *candidate = container->streams[i];
        if (stream < 0 && candidate->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
            stream = int(i);
        else
            candidate->discard = AVDISCARD_ALL;
    }
    if (stream < 0) {
        refusal = {DecoderRefusal::Unsupported, QStringLiteral("it holds no audio stream")};
        return false;
    }
    refusal = DamagedData;
    if (avformat_find_stream_info(container, nullptr) < 0)
        return false;
    const AVStream *audio = container->streams[stream];
    const AVCodec *decoder = avcodec_find_decoder(audio->codecpar->codec_id);
    if (!decoder) {
        refusal = {DecoderRefusal::Unsupported,
                   QStringLiteral("its audio encoding (%1) cannot be decoded")
                       .arg(QString::fromLatin1(avcodec_get_name(audio->codecpar->codec_id)))};
        return false;
    }
    codec = avcodec_alloc_context3(decoder);
    if (!codec || avcodec_parameters_to_context(codec, audio->codecpar) < 0)
        return false;
    codec->pkt_timebase = audio->time_base;
    AVDictionary *options = nullptr;
    av_dict_set(&options, "codec_whitelist", Decoders, 0);
    const int opened = avcodec_open2(codec, decoder, &options);
    av_dict_free(&options);
    if (opened < 0) {
        refusal = {DecoderRefusal::Unsupported,
                   QStringLiteral("its audio encoding (%1) cannot be decoded")
                       .arg(QString::fromLatin1(decoder->name))};
        return false;
    }
    if (codec->sample_rate <= 0 || codec->ch_layout.nb_channels <= 0)
        return false;
    describe();
    return true;
}

void FfmpegDecoder::describe()
{
    const AVStream *audio = container->streams[stream];
    format.Container = StreamFormatName(container, audio);
    format.Encoding = StreamEncodingName(codec);
    format.SampleRate = codec->sample_rate;
    format.Channels = codec->ch_layout.nb_channels;
    format.ExactLength = false; // found by decoding
    format.HighResolution = IsHighResolution(codec);
    speakers = SpeakersOf(codec->ch_layout);
    if (audio->duration != AV_NOPTS_VALUE && audio->duration > 0 &&
        container->duration_estimation_method != AVFMT_DURATION_FROM_BITRATE) {
        announced =
            av_rescale_q(audio->duration, audio->time_base, AVRational{1, format.SampleRate});
        // A length counted in samples (MP4's edit list) is the length to
        // play: what the codec adds beyond it is padding.
        if (audio->time_base.num == 1 && audio->time_base.den == format.SampleRate)
            last = announced;
    }
    const qint64 block = codec->frame_size > 0 ? codec->frame_size : DefaultBlockFrames;
    slack = IsLossless(codec) ? 0 : LossyBlocksOfSlack * block;
}

qint64 FfmpegDecoder::Read(float *interleaved, qint64 frames)
{
    qint64 done = 0;
    while (done < frames && (last < 0 || delivered < last)) {
        if (taken >= frame->nb_samples && !nextFrame())
            break;
        qint64 count = qMin<qint64>(frame->nb_samples - taken, frames - done);
        if (last >= 0)
            count = qMin(count, last - delivered);
        if (!CopyFrameSamples(frame, taken, int(count),
                              interleaved + done * qint64(format.Channels))) {
            damaged = ended = true;
            break;
        }
        taken += int(count);
        done += count;
        delivered += count;
    }
    return done;
}

bool FfmpegDecoder::nextFrame()
{
    taken = 0;
    while (!ended) {
        const int received = avcodec_receive_frame(codec, frame);
        if (received == 0) {
            // A stream that changes its rate or channels midway ends there.
            if (frame->sample_rate != format.SampleRate ||
                frame->ch_layout.nb_channels != format.Channels) {
                av_frame_unref(frame);
                damaged = ended = true;
                break;
            }
            if (frame->nb_samples > 0)
                return true;
            continue;
        }
        if (received == AVERROR_EOF || flushed) {
            damaged = damaged || received != AVERROR_EOF;
            ended = true;
            break;
        }
        if (received != AVERROR(EAGAIN))
            damaged = true; // a block that cannot be decoded is passed over
        feed();
    }
    return false;
}

void FfmpegDecoder::feed()
{
    for (;;) {
        const int read = av_read_frame(container, packet);
        if (read < 0) {
            damaged = damaged || read != AVERROR_EOF;
            avcodec_send_packet(codec, nullptr);
            flushed = true;
            return;
        }
        if (packet->stream_index != stream) {
            av_packet_unref(packet);
            continue;
        }
        const int sent = avcodec_send_packet(codec, packet);
        av_packet_unref(packet);
        if (sent < 0 && sent != AVERROR(EAGAIN))
            damaged = true;
        return;
    }
}
