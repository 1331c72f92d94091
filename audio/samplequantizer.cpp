#include "samplequantizer.h"

#include <cmath>

float SampleQuantizer::noise()
{
    // xorshift32: cheap, and plenty for dither.
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return float(state) * (1.0f / 4294967296.0f);
}

void SampleQuantizer::Quantize(const float *input, qint64 count, qint16 *output)
{
    for (qint64 i = 0; i < count; ++i) {
        float value = input[i] * 32768.0f;
        if (value == 0.0f) {
            output[i] = 0;
            continue;
        }
        if (dither)
            value += noise() - noise(); // triangular, -1 to +1 step
        if (value < 32767.5f && value >= -32768.5f) {
            output[i] = qint16(std::lrint(value));
        } else if (std::isnan(value)) {
            output[i] = 0;
        } else {
            ++clipped;
            output[i] = value > 0 ? 32767 : -32768;
        }
    }
}
