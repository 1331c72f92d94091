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
    return QStringLiteral("%1, %2 Hz, %3 %4, %5, %6")
        .arg(Container)
        .arg(SampleRate)
        .arg(Channels)
        .arg(Channels == 1 ? QStringLiteral("channel") : QStringLiteral("channels"))
        .arg(Encoding, SecondsText(Seconds()));
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

QString SecondsText(double seconds)
{
    return QStringLiteral("%1 s").arg(seconds, 0, 'f', 2);
}
