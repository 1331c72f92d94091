#include "audioprobe.h"

#include "audiosource.h"

#include <vector>

namespace {

// Decodes to the end, or until the source is longer than a layer holds.
void measure(AudioDecoder &decoder, AudioFormat &format)
{
    const qint64 blockFrames = DecodingBlockFrames(format.Channels);
    std::vector<float> block(size_t(blockFrames) * size_t(format.Channels));
    format.Frames = 0;
    qint64 got;
    while ((got = decoder.Read(block.data(), blockFrames)) > 0) {
        format.Frames += got;
        if (LayerFormat::TooLong(double(format.Frames), format.SampleRate))
            return;
    }
    format.ExactLength = true;
}

} // namespace

bool ProbeAudioFile(const QString &path, AudioFormat &format, QString *reason)
{
    AudioSource source;
    const bool opened = source.Open(path);
    format = source.Format();
    if (reason)
        *reason = opened ? QString() : source.ErrorString();
    if (opened && !format.ExactLength)
        measure(source.Decoder(), format);
    return opened;
}
