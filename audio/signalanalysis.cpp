#include "signalanalysis.h"

#include "audiosource.h"
#include "monodecoding.h"

#include <cmath>

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

bool AnalyseAudioFile(const QString &path, AudioFileAnalysis &analysis, double silence)
{
    analysis = AudioFileAnalysis();
    AudioSource source;
    if (!source.Open(path)) {
        analysis.Reason = source.ErrorString();
        return false;
    }
    analysis.Source = source.Format();
    MonoDecoding mono(source.Decoder());
    SignalAnalyser analyser(analysis.Source.SampleRate, silence);
    while (const qint64 got = mono.Next())
        analyser.Add(mono.Samples(), got);
    if (mono.Frames() == 0 && source.Decoder().Damaged()) {
        analysis.Reason = UndecodableReason();
        return false;
    }
    analysis.Source.Frames = mono.Frames();
    analysis.Source.ExactLength = true;
    analysis.Signal = analyser.Result();
    analysis.Warnings = DecodingWarnings(source.Decoder(), mono.Frames(), mono.NotNumbers());
    return true;
}
