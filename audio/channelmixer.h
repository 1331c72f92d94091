#ifndef CHANNELMIXER_H
#define CHANNELMIXER_H

#include "speakers.h"

#include <QtGlobal>

#include <vector>

// Folds a source's channels into one. Mono stays as it is and stereo is the
// average of its two channels. A surround source whose speakers are all
// known folds down the usual way: the fronts at full level, the centre and
// the surrounds 3 dB lower, the LFE left out, everything divided by the sum
// of those gains so that nothing can clip. Other sources of more channels
// are averaged.
class ChannelMixer
{
public:
    ChannelMixer(int channels, const SpeakerLayout &speakers);

    // Mixes `frames` interleaved frames into `mono`.
    void Mix(const float *interleaved, qint64 frames, float *mono) const;
    const std::vector<float> &Gains() const { return gains; }

private:
    std::vector<float> gains;
};

#endif // CHANNELMIXER_H
