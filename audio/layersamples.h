#ifndef LAYERSAMPLES_H
#define LAYERSAMPLES_H

#include "resampler.h"
#include "samplequantizer.h"

#include <QtGlobal>

#include <vector>

// The last two stages of a conversion: mono float samples at the source's
// rate, block by block, become a layer's 16-bit samples at 44100 Hz. The
// rate is changed with libsoxr (when it differs), then the samples are
// quantized, with dither for sources of more than 16 bits.
class LayerSamples
{
public:
    LayerSamples(int sourceRate, bool highResolution);

    // False when libsoxr cannot convert from the source's rate.
    bool Start();
    bool Add(const float *mono, qint64 count);
    // Adds what the resampler still holds; call once, after the last Add().
    bool Finish();

    std::vector<qint16> &Samples() { return samples; }
    qint64 Clipped() const { return quantizer.Clipped(); }

private:
    void quantize(const float *values, qint64 count);

    int sourceRate;
    bool resampling;
    Resampler resampler;
    SampleQuantizer quantizer;
    std::vector<float> resampled;
    std::vector<qint16> samples;
};

#endif // LAYERSAMPLES_H
