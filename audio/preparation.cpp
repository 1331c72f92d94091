#include "preparation.h"

#include "decibels.h"
#include "loudnessmeter.h"

#include "wav/waveheader.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();
// The highest peak that TPDF dither of one step either way cannot push past
// the largest 16-bit sample.
constexpr double HighestDitheredPeak = 32766.0 / 32768.0;
// What rounding to 16 bits with dither may add to a true peak: a few steps.
constexpr double QuantisationHeadroom = 4.0 / 32768.0;
// The most libebur128's true peak can lie over the sample peak, in dB, with
// room to spare: its 4 times oversampling at 44100 Hz is a 49-tap windowed
// sinc, whose coefficients of each phase add up to at most 1.864 (5.4 dB).
constexpr double TruePeakOverSamplePeak = 6;

void applyFadeIn(std::vector<float> &samples, qint64 frames)
{
    for (qint64 i = 0; i < frames; ++i)
        samples[size_t(i)] *= float(double(i) / double(frames));
}

void applyFadeOut(std::vector<float> &samples, qint64 frames)
{
    const qint64 from = qint64(samples.size()) - frames;
    for (qint64 i = 0; i < frames; ++i)
        samples[size_t(from + i)] *= float(double(frames - 1 - i) / double(frames));
}

} // namespace

bool Preparation::Any() const
{
    return Trim || Loudness || Peak || FadeIn > 0 || FadeOut > 0 || Fit;
}

QString Preparation::Problem() const
{
    if (Loudness && Peak)
        return QStringLiteral("a loudness and a peak level cannot both be set");
    if (Trim && !(*Trim <= 0 && std::isfinite(*Trim)))
        return QStringLiteral("the trim level must be at most 0 dBFS");
    if (Loudness && !(*Loudness >= -70 && *Loudness <= 0))
        return QStringLiteral("the loudness must be from -70 to 0 LUFS");
    if (Peak && !(*Peak <= 0 && std::isfinite(*Peak)))
        return QStringLiteral("the peak level must be at most 0 dBFS");
    if (!(FadeIn >= 0 && FadeOut >= 0 && std::isfinite(FadeIn) && std::isfinite(FadeOut)))
        return QStringLiteral("a fade must last 0 milliseconds or more");
    if (Fit && FitFrames <= 0)
        return QStringLiteral("there is no room left to fit the sound into");
    return QString();
}

qint64 Preparation::FramesFittingSpace(qint64 bytes)
{
    qint64 frames = qBound<qint64>(0, bytes / LayerFormat::BytesPerSample, LayerFormat::MaxFrames);
    while (frames >= LayerFormat::MinFrames &&
           WaveHeader::SlotSize(quint32(frames * LayerFormat::BytesPerSample)) > bytes)
        --frames;
    return frames >= LayerFormat::MinFrames ? frames : 0;
}

QString PreparationReport::Describe() const
{
    QStringList done;
    if (Silent)
        done << QStringLiteral("nothing reaches the trim level");
    if (TrimmedStart > 0 || TrimmedEnd > 0) {
        done << QStringLiteral("trimmed %1 + %2")
                    .arg(SecondsText(Seconds(TrimmedStart)), SecondsText(Seconds(TrimmedEnd)));
    }
    if (Unmeasurable)
        done << QStringLiteral("too quiet to measure, no gain");
    else if (!std::isnan(SamplePeak))
        done << QString::asprintf("gain %+.1f dB", Gain);
    if (HeldBack > 0) {
        done << QStringLiteral("limited by the %1 dBTP ceiling (%2 dB short)")
                    .arg(Preparation::Ceiling)
                    .arg(HeldBack, 0, 'f', 1);
    }
    if (FadeIn > 0)
        done << QStringLiteral("fade in %1 ms").arg(FadeIn);
    if (FadeOut > 0)
        done << QStringLiteral("fade out %1 ms").arg(FadeOut);
    if (CutAt >= 0)
        done << QStringLiteral("cut at %1").arg(SecondsText(Seconds(CutAt)));
    return done.join(QStringLiteral(", "));
}

PreparationStage::PreparationStage(const Preparation &preparation)
    : preparation(preparation), margin(0),
      limit(preparation.Fit ? qBound<qint64>(1, preparation.FitFrames, LayerFormat::MaxFrames)
                            : LayerFormat::MaxFrames),
      edges(preparation.Trim ? *preparation.Trim : -Infinity)
{
    if (preparation.Trim)
        margin = milliseconds(Preparation::TrimMarginMilliseconds);
}

qint64 PreparationStage::milliseconds(double value) const
{
    return qint64(std::llround(qBound(0.0, value * LayerFormat::SampleRate / 1000, double(limit))));
}

void PreparationStage::Add(const float *samples, qint64 count)
{
    if (count <= 0)
        return;
    const qint64 from = edges.Frames();
    edges.Add(samples, count);
    if (start < 0 && !edges.Silent())
        start = std::max(keptFrom, edges.First() - margin);
    const qint64 end = start < 0 ? from + count : std::min(from + count, start + limit);
    if (end > from) {
        if (kept.capacity() == 0)
            kept.reserve(size_t(limit + margin));
        kept.insert(kept.end(), samples, samples + (end - from));
    }
    // In the silence before the sound, only the margin that may be kept.
    const qint64 drop = start < 0 ? qint64(kept.size()) - margin : start - keptFrom;
    if (drop > 0) {
        kept.erase(kept.begin(), kept.begin() + drop);
        keptFrom += drop;
    }
}

bool PreparationStage::Overflowing() const
{
    return start >= 0 && edges.Last() >= start + limit;
}

PreparationReport PreparationStage::Finish(std::vector<float> &prepared)
{
    PreparationReport report;
    report.SourceFrames = edges.Frames();
    prepared.clear();
    if (start < 0) {
        report.Silent = preparation.Trim.has_value() && edges.Frames() > 0;
        kept.clear();
        return report;
    }
    qint64 end = start + limit;
    if (Overflowing())
        report.CutAt = end;
    else
        end = std::min({end, edges.Frames(), edges.Last() + 1 + margin});
    report.TrimmedStart = start;
    report.TrimmedEnd = report.CutAt >= 0 ? 0 : edges.Frames() - end;
    kept.resize(size_t(end - start));

    const qint64 fadeIn = std::min(milliseconds(preparation.FadeIn), qint64(kept.size()));
    const double fadeOutMilliseconds = std::max(
        preparation.FadeOut, report.CutAt >= 0 ? double(Preparation::CutFadeMilliseconds) : 0.0);
    const qint64 fadeOut = std::min(milliseconds(fadeOutMilliseconds), qint64(kept.size()));
    applyFadeIn(kept, fadeIn);
    applyFadeOut(kept, fadeOut);
    report.FadeIn = fadeIn > 0 ? preparation.FadeIn : 0;
    report.FadeOut = fadeOut > 0 ? preparation.FadeOut : 0;

    applyGain(report);
    report.Frames = qint64(kept.size());
    prepared.swap(kept);
    kept.clear();
    return report;
}

void PreparationStage::applyGain(PreparationReport &report)
{
    if (preparation.Loudness) {
        LoudnessMeter meter(LayerFormat::SampleRate, LoudnessMeter::Measures::AllButTruePeak);
        meter.Add(kept.data(), qint64(kept.size()));
        const double loudness = meter.Loudness();
        const double samplePeak = meter.SamplePeak();
        if (!std::isfinite(loudness) || !std::isfinite(samplePeak)) {
            report.Unmeasurable = true;
            return;
        }
        report.Gain = *preparation.Loudness - loudness;
        // The ceiling a few 16-bit steps lower, so that the copy's samples
        // keep under it once rounded.
        const double ceiling = Decibels::FromAmplitude(Decibels::ToAmplitude(Preparation::Ceiling) -
                                                       QuantisationHeadroom);
        // The true peak, measured only where it could reach the ceiling.
        if (samplePeak + report.Gain + TruePeakOverSamplePeak > ceiling) {
            LoudnessMeter peaks(LayerFormat::SampleRate, LoudnessMeter::Measures::TruePeakOnly);
            peaks.Add(kept.data(), qint64(kept.size()));
            const double truePeak = peaks.TruePeak();
            report.HeldBack = std::max(0.0, truePeak + report.Gain - ceiling);
            report.Gain -= report.HeldBack;
            report.TruePeak = truePeak + report.Gain;
        }
        report.Loudness = loudness + report.Gain;
        report.SamplePeak = samplePeak + report.Gain;
    } else if (preparation.Peak) {
        float peak = 0;
        for (const float value : kept)
            peak = std::max(peak, std::fabs(value));
        if (peak == 0) {
            report.Unmeasurable = true;
            return;
        }
        const double target =
            std::min(Decibels::ToAmplitude(*preparation.Peak), HighestDitheredPeak);
        report.SamplePeak = Decibels::FromAmplitude(target);
        report.Gain = report.SamplePeak - Decibels::FromAmplitude(peak);
    }
    if (report.Gain == 0)
        return;
    const float gain = float(Decibels::ToAmplitude(report.Gain));
    for (float &value : kept)
        value *= gain;
}

PreparationReport PrepareSamples(std::vector<float> &samples, const Preparation &preparation)
{
    PreparationStage stage(preparation);
    stage.Add(samples.data(), qint64(samples.size()));
    return stage.Finish(samples);
}
