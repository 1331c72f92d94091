#include "finitesamples.h"

#include <cmath>

qint64 ReplaceNonFinite(float *samples, qint64 count)
{
    qint64 replaced = 0;
    for (qint64 i = 0; i < count; ++i) {
        if (std::isfinite(samples[i]))
            continue;
        samples[i] = std::isnan(samples[i]) ? 0.0f : std::copysign(1.0f, samples[i]);
        ++replaced;
    }
    return replaced;
}
