#include "signalanalysis.h"

#include "audiosource.h"
#include "channelmixer.h"
#include "finitesamples.h"

#include <cmath>
#include <vector>

namespace {

// The largest 16-bit sample, as a float sample: the magnitude of clipping.
constexpr float FullScale = 32767.0f / 32768.0f;

} // namespace

SignalAnalyser::SignalAnalyser(int sampleRate, double silence)
    : rate(sampleRate), meter(sampleRate), edges(silence)
{}

void SignalAnalyser::Add(const float *samples, qint64 count)
{
    meter.Add(samples, count);
    edges.Add(samples, count);
    for (qint64 i = 0; i < count; ++i) {
        if (std::fabs(samples[i]) >= FullScale)
            ++clipped;
    }
}

SignalAnalysis SignalAnalyser::Result() const
{
    SignalAnalysis result;
    result.SampleRate = rate;
    result.Frames = edges.Frames();
    result.SamplePeak = meter.SamplePeak();
    result.TruePeak = meter.TruePeak();
    result.Loudness = meter.Loudness();
    result.LeadingSilence = edges.Silent() ? result.Frames : edges.First();
    result.TrailingSilence = edges.Silent() ? result.Frames : result.Frames - 1 - edges.Last();
    result.Clipped = clipped;
    return result;
}

SignalAnalysis AnalyseSamples(const float *samples, qint64 count, int sampleRate, double silence)
{
    SignalAnalyser analyser(sampleRate, silence);
    analyser.Add(samples, count);
    return analyser.Result();
}

bool AnalyseAudioFile(const QString &path, SignalAnalysis &analysis, QString *reason,
                      double silence)
{
    AudioSource source;
    if (!source.Open(path)) {
        if (reason)
            *reason = source.ErrorString();
        return false;
    }
    const AudioFormat &format = source.Format();
    const ChannelMixer mixer(format.Channels, source.Decoder().Speakers());
    SignalAnalyser analyser(format.SampleRate, silence);
    const qint64 blockFrames = DecodingBlockFrames(format.Channels);
    std::vector<float> block(size_t(blockFrames) * size_t(format.Channels));
    std::vector<float> mono(static_cast<size_t>(blockFrames));
    for (;;) {
        const qint64 got = source.Decoder().Read(block.data(), blockFrames);
        if (got <= 0)
            break;
        ReplaceNonFinite(block.data(), got * format.Channels);
        mixer.Mix(block.data(), got, mono.data());
        analyser.Add(mono.data(), got);
    }
    analysis = analyser.Result();
    if (analysis.Frames == 0 && source.Decoder().Damaged()) {
        if (reason)
            *reason = QStringLiteral("it cannot be decoded: the data is damaged or cut short");
        return false;
    }
    if (reason)
        reason->clear();
    return true;
}
