#include "layersamples.h"

#include "audioformat.h"

LayerSamples::LayerSamples(int sourceRate, bool highResolution, const Preparation &preparation)
    : sourceRate(sourceRate), resampling(sourceRate != LayerFormat::SampleRate),
      highResolution(highResolution), quantizer(highResolution)
{
    if (preparation.Any())
        stage.emplace(preparation);
}

bool LayerSamples::Start()
{
    return !resampling || resampler.Start(sourceRate, LayerFormat::SampleRate);
}

bool LayerSamples::Add(const float *mono, qint64 count)
{
    if (!resampling) {
        take(mono, count);
        return true;
    }
    resampled.clear();
    if (!resampler.Process(mono, count, resampled))
        return false;
    take(resampled.data(), qint64(resampled.size()));
    return true;
}

bool LayerSamples::Finish()
{
    if (resampling) {
        resampled.clear();
        if (!resampler.Finish(resampled))
            return false;
        take(resampled.data(), qint64(resampled.size()));
    }
    if (stage) {
        std::vector<float> sound;
        prepared = stage->Finish(sound);
        quantizer = SampleQuantizer(highResolution || prepared.Changed());
        quantize(sound.data(), qint64(sound.size()));
    }
    return true;
}

void LayerSamples::take(const float *values, qint64 count)
{
    if (stage)
        stage->Add(values, count);
    else
        quantize(values, count);
}

void LayerSamples::quantize(const float *values, qint64 count)
{
    const size_t start = samples.size();
    samples.resize(start + size_t(count));
    quantizer.Quantize(values, count, samples.data() + start);
}
