#include "audioformat.h"

#include <cmath>

bool AudioFormat::IsLayerFormat() const
{
    return SampleRate == LayerFormat::SampleRate && Channels == 1 && Pcm16;
}

double AudioFormat::Seconds() const
{
    return SampleRate > 0 ? double(Frames) / SampleRate : 0.0;
}

QString AudioFormat::Describe() const
{
    const QString length = ExactLength  ? SecondsText(Seconds())
                           : Frames > 0 ? QStringLiteral("more than %1").arg(SecondsText(Seconds()))
                                        : QStringLiteral("length unknown");
    return QStringLiteral("%1, %2 Hz, %3 %4, %5, %6")
        .arg(Container)
        .arg(SampleRate)
        .arg(Channels)
        .arg(Channels == 1 ? QStringLiteral("channel") : QStringLiteral("channels"))
        .arg(Encoding, length);
}

QString LayerFormat::Describe()
{
    return QStringLiteral("%1 Hz, 1 channel, 16-bit").arg(SampleRate);
}

qint64 LayerFormat::FramesAt(double frames, int rate)
{
    return std::llround(frames * SampleRate / rate);
}

bool LayerFormat::TooLong(double frames, int rate)
{
    return FramesAt(frames, rate) > MaxFrames;
}

qint64 DecodingBlockFrames(int channels)
{
    return qBound(qint64(1), qint64(65536 / qMax(channels, 1)), qint64(8192));
}
