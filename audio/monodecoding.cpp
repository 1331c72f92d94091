#include "monodecoding.h"

#include "finitesamples.h"

namespace {

QString seconds(qint64 frames, int rate)
{
    return SecondsText(double(frames) / rate);
}

} // namespace

MonoDecoding::MonoDecoding(AudioDecoder &decoder)
    : decoder(decoder), mixer(decoder.Format().Channels, decoder.Speakers()),
      channels(qMax(decoder.Format().Channels, 1)), blockFrames(DecodingBlockFrames(channels)),
      block(size_t(blockFrames) * size_t(channels)), mono(size_t(blockFrames))
{}

qint64 MonoDecoding::Next()
{
    const qint64 got = qMax<qint64>(0, decoder.Read(block.data(), blockFrames));
    frames += got;
    notNumbers += ReplaceNonFinite(block.data(), got * channels);
    mixer.Mix(block.data(), got, mono.data());
    return got;
}

QStringList DecodingWarnings(const AudioDecoder &decoder, qint64 frames, qint64 notNumbers,
                             bool toTheEnd)
{
    QStringList warnings;
    const int rate = decoder.Format().SampleRate;
    const qint64 announced = decoder.AnnouncedFrames();
    if (toTheEnd && announced > frames + decoder.AnnouncedSlack()) {
        warnings << QStringLiteral("ends early: %1 of the %2 announced")
                        .arg(seconds(frames, rate), seconds(announced, rate));
    } else if (decoder.Damaged()) {
        warnings << QStringLiteral("parts of it could not be decoded: the data is damaged");
    }
    if (notNumbers > 0) {
        warnings << (notNumbers == 1
                         ? QStringLiteral("1 sample was not a number")
                         : QStringLiteral("%1 samples were not numbers").arg(notNumbers));
    }
    return warnings;
}

QString UndecodableReason()
{
    return QStringLiteral("it cannot be decoded: the data is damaged or cut short");
}
