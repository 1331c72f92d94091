#ifndef LAYERSAMPLES_H
#define LAYERSAMPLES_H

#include "preparation.h"
#include "resampler.h"
#include "samplequantizer.h"

#include <QtGlobal>

#include <optional>
#include <vector>

// The last stages of a conversion: mono float samples at the source's rate,
// block by block, become a layer's 16-bit samples at 44100 Hz. The rate is
// changed with libsoxr (when it differs); a preparation asked is made at
// 44100 Hz, so that loudness and true peak are measured on the sound the
// layer holds; then the samples are quantized, with dither for sources of
// more than 16 bits and whenever the preparation changed sample values.
class LayerSamples
{
public:
    LayerSamples(int sourceRate, bool highResolution, const Preparation &preparation = {});

    // False when libsoxr cannot convert from the source's rate.
    bool Start();
    bool Add(const float *mono, qint64 count);
    // The prepared sound takes no more (see PreparationStage::Overflowing()).
    bool Full() const { return stage && stage->Overflowing(); }
    // Adds what the resampler still holds, prepares what was added, and
    // quantizes it; call once, after the last Add().
    bool Finish();

    std::vector<qint16> &Samples() { return samples; }
    qint64 Clipped() const { return quantizer.Clipped(); }
    // A preparation was asked, and what it did, after Finish().
    bool Preparing() const { return stage.has_value(); }
    const PreparationReport &Prepared() const { return prepared; }

private:
    void take(const float *values, qint64 count);
    void quantize(const float *values, qint64 count);

    int sourceRate;
    bool resampling;
    bool highResolution;
    Resampler resampler;
    std::optional<PreparationStage> stage;
    PreparationReport prepared;
    SampleQuantizer quantizer;
    std::vector<float> resampled;
    std::vector<qint16> samples;
};

#endif // LAYERSAMPLES_H
