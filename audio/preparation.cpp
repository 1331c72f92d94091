#include "preparation.h"

#include "decibels.h"
#include "truepeak.h"

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
// Samples handed to the loudness meter at a time, at least: half a second.
constexpr qint64 MeasuredAtOnce = LayerFormat::SampleRate / 2;

// The ceiling a few 16-bit steps lower, so that the copy's samples keep
// under it once rounded (dBTP).
double CeilingBeforeRounding()
{
    return Decibels::FromAmplitude(Decibels::ToAmplitude(Preparation::Ceiling) -
                                   QuantisationHeadroom);
}

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
      edges(preparation.Trim ? *preparation.Trim : -Infinity),
      fadeIn(milliseconds(preparation.FadeIn)),
      longestFadeOut(std::max(milliseconds(preparation.FadeOut),
                              milliseconds(Preparation::CutFadeMilliseconds)))
{
    if (preparation.Trim)
        margin = milliseconds(Preparation::TrimMarginMilliseconds);
    if (preparation.Loudness)
        loudness.emplace(LayerFormat::SampleRate);
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
    measureFinal();
}

void PreparationStage::measureFinal()
{
    if (!loudness || start < 0)
        return;
    // The prepared sound lasts at least this long: up to the end of the
    // sound so far and its margin, or the most it may hold.
    const qint64 shortest =
        std::min({limit, edges.Frames() - start, edges.Last() + 1 + margin - start});
    if (!fadedIn && shortest >= fadeIn) {
        applyFadeIn(kept, fadeIn);
        fadedIn = true;
    }
    const qint64 final = fadedIn ? shortest - longestFadeOut : 0;
    if (final - measured >= MeasuredAtOnce) {
        loudness->Add(kept.data() + measured, final - measured);
        measured = final;
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

    // Faded in already when the sound was known to outlast the fade.
    const qint64 in = std::min(fadeIn, qint64(kept.size()));
    if (!fadedIn)
        applyFadeIn(kept, in);
    const double fadeOutMilliseconds = std::max(
        preparation.FadeOut, report.CutAt >= 0 ? double(Preparation::CutFadeMilliseconds) : 0.0);
    const qint64 out = std::min(milliseconds(fadeOutMilliseconds), qint64(kept.size()));
    applyFadeOut(kept, out);
    // A fade longer than the sound takes all of it, and says so.
    const auto made = [](qint64 frames, double asked) {
        return double(frames) == std::round(asked * LayerFormat::SampleRate / 1000)
                   ? asked
                   : 1000 * PreparationReport::Seconds(frames);
    };
    report.FadeIn = in > 0 ? made(in, preparation.FadeIn) : 0;
    report.FadeOut = out > 0 && preparation.FadeOut > 0 ? made(out, fadeOutMilliseconds) : 0;
    if (loudness) {
        loudness->Add(kept.data() + measured, qint64(kept.size()) - measured);
        loudness->Finish();
    }

    applyGain(report);
    report.Frames = qint64(kept.size());
    prepared.swap(kept);
    kept.clear();
    return report;
}

void PreparationStage::applyGain(PreparationReport &report)
{
    if (preparation.Loudness) {
        const double measured = loudness->Loudness();
        const double samplePeak = loudness->SamplePeak();
        if (!std::isfinite(measured) || !std::isfinite(samplePeak)) {
            report.Unmeasurable = true;
            return;
        }
        report.Gain = *preparation.Loudness - measured;
        // The true peak that reaches the ceiling once turned up; not even
        // the loudest sample, oversampled, can reach it: no need to look.
        const double level = CeilingBeforeRounding() - report.Gain;
        if (samplePeak + MostOverSamplePeak > level) {
            const double truePeak =
                TruePeakReaching(kept.data(), qint64(kept.size()), LayerFormat::SampleRate, level);
            if (truePeak >= level) {
                const LoudnessGain held =
                    ExpectLoudnessGain(measured, truePeak, *preparation.Loudness);
                report.Gain = held.Gain;
                report.HeldBack = held.HeldBack;
                report.TruePeak = truePeak + report.Gain;
            }
        }
        report.Loudness = measured + report.Gain;
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

LoudnessGain ExpectLoudnessGain(double loudness, double truePeak, double target)
{
    LoudnessGain expected;
    if (!std::isfinite(loudness))
        return expected;
    expected.Gain = target - loudness;
    const double level = CeilingBeforeRounding() - expected.Gain;
    if (truePeak >= level) {
        expected.HeldBack = truePeak - level;
        expected.Gain -= expected.HeldBack;
    }
    return expected;
}

PreparationReport PrepareSamples(std::vector<float> &samples, const Preparation &preparation)
{
    PreparationStage stage(preparation);
    stage.Add(samples.data(), qint64(samples.size()));
    return stage.Finish(samples);
}
