#include "layersamples.h"

#include "audioformat.h"

LayerSamples::LayerSamples(int sourceRate, bool highResolution)
    : sourceRate(sourceRate), resampling(sourceRate != LayerFormat::SampleRate),
      quantizer(highResolution)
{}

bool LayerSamples::Start()
{
    return !resampling || resampler.Start(sourceRate, LayerFormat::SampleRate);
}

bool LayerSamples::Add(const float *mono, qint64 count)
{
    if (!resampling) {
        quantize(mono, count);
        return true;
    }
    resampled.clear();
    if (!resampler.Process(mono, count, resampled))
        return false;
    quantize(resampled.data(), qint64(resampled.size()));
    return true;
}

bool LayerSamples::Finish()
{
    if (!resampling)
        return true;
    resampled.clear();
    if (!resampler.Finish(resampled))
        return false;
    quantize(resampled.data(), qint64(resampled.size()));
    return true;
}

void LayerSamples::quantize(const float *values, qint64 count)
{
    const size_t start = samples.size();
    samples.resize(start + size_t(count));
    quantizer.Quantize(values, count, samples.data() + start);
}
