#include "channelmixer.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

float gainOf(Speaker speaker)
{
    switch (speaker) {
    case Speaker::Front:
        return 1.0f;
    case Speaker::Centre:
    case Speaker::Surround:
        return float(M_SQRT1_2); // -3 dB
    case Speaker::LowFrequency:
    case Speaker::Unknown:
        break;
    }
    return 0.0f;
}

} // namespace

ChannelMixer::ChannelMixer(int channels, const SpeakerLayout &speakers)
    : gains(size_t(qMax(channels, 1)), 1.0f)
{
    const bool known =
        channels > 2 && speakers.size() == size_t(channels) &&
        std::find(speakers.begin(), speakers.end(), Speaker::Unknown) == speakers.end();
    if (known)
        std::transform(speakers.begin(), speakers.end(), gains.begin(), gainOf);
    const float sum = std::accumulate(gains.begin(), gains.end(), 0.0f);
    if (sum <= 0.0f) // nothing but LFE: keep what there is
        std::fill(gains.begin(), gains.end(), 1.0f);
    const float total = std::accumulate(gains.begin(), gains.end(), 0.0f);
    for (float &gain : gains)
        gain /= total;
}

void ChannelMixer::Mix(const float *interleaved, qint64 frames, float *mono) const
{
    const size_t channels = gains.size();
    if (channels == 1) {
        std::copy(interleaved, interleaved + frames, mono);
        return;
    }
    if (channels == 2) {
        for (qint64 i = 0; i < frames; ++i)
            mono[i] = (interleaved[2 * i] + interleaved[2 * i + 1]) * 0.5f;
        return;
    }
    for (qint64 i = 0; i < frames; ++i) {
        const float *frame = interleaved + size_t(i) * channels;
        float sum = 0.0f;
        for (size_t c = 0; c < channels; ++c)
            sum += frame[c] * gains[c];
        mono[i] = sum;
    }
}
