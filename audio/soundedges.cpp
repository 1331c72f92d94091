#include "soundedges.h"

#include "decibels.h"

#include <cmath>

SoundEdges::SoundEdges(double level)
    : threshold(float(Decibels::ToAmplitude(level))), everything(std::isinf(level) && level < 0)
{}

void SoundEdges::Add(const float *samples, qint64 count)
{
    if (count <= 0)
        return;
    if (everything) {
        if (first < 0)
            first = frames;
        last = frames + count - 1;
        frames += count;
        return;
    }
    qint64 lastHere = -1;
    for (qint64 i = count - 1; i >= 0; --i) {
        if (std::fabs(samples[i]) >= threshold) {
            lastHere = i;
            break;
        }
    }
    if (lastHere >= 0) {
        if (first < 0) {
            qint64 i = 0;
            while (!(std::fabs(samples[i]) >= threshold))
                ++i;
            first = frames + i;
        }
        last = frames + lastHere;
    }
    frames += count;
}
