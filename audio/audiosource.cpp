#include "audiosource.h"

#include "ffmpegdecoding.h"
#include "ffmpegmodule.h"
#include "sndfiledecoder.h"

const AudioFormat &AudioSource::Format() const
{
    static const AudioFormat none;
    return decoder ? decoder->Format() : none;
}

bool AudioSource::Open(const QString &path)
{
    decoder.reset();
    error.clear();
    if (!file.Open(path)) {
        error = file.ErrorString();
        return false;
    }
    if (file.Size() == 0) {
        error = QStringLiteral("the file is empty");
        return false;
    }
    if (!choose())
        return false;
    if (Format().SampleRate > MaxSourceRate) {
        error = QStringLiteral("its sample rate of %1 Hz is not supported (at most %2 Hz)")
                    .arg(Format().SampleRate)
                    .arg(MaxSourceRate);
        decoder.reset();
        return false;
    }
    return true;
}

bool AudioSource::choose()
{
    DecoderRefusal bySndfile;
    std::unique_ptr<SndfileDecoder> sndfile = SndfileDecoder::Open(file, bySndfile);
    if (sndfile && sndfile->Preferred()) {
        decoder = std::move(sndfile);
        return true;
    }
    DecoderRefusal byFfmpeg;
    QString unavailable;
    if (FfmpegDecoding *ffmpeg = FfmpegModule(&unavailable)) {
        decoder = ffmpeg->Open(file.Handle(), file.Size(), byFfmpeg);
    } else {
        byFfmpeg = {DecoderRefusal::Unsupported,
                    QStringLiteral("it is in no format that libsndfile reads, and FFmpeg's "
                                   "decoder is unavailable: %1")
                        .arg(unavailable)};
    }
    if (!decoder && sndfile)
        decoder = std::move(sndfile); // what libsndfile makes of it is still something
    if (decoder)
        return true;
    // Of the two refusals, the one that knows more about the file.
    error = (byFfmpeg.Why > bySndfile.Why ? byFfmpeg : bySndfile).Reason;
    return false;
}
