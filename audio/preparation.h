#ifndef PREPARATION_H
#define PREPARATION_H

#include "audioformat.h"
#include "soundedges.h"

#include <QString>

#include <limits>
#include <optional>
#include <vector>

// How a layer's copy is to be prepared on its way in: its silent edges
// trimmed, its loudness or its peak set, faded in and out, and cut to fit.
// Nothing asked: the copy is the source's sound as it is.
struct Preparation
{
    // The trim's level unless another is given, in dBFS.
    static constexpr double DefaultTrimLevel = SoundEdges::DefaultLevel;
    // No gain lets the true peak go above this, in dBTP.
    static constexpr double Ceiling = -1;
    // Milliseconds of silence kept at a trimmed edge, so that no attack is
    // cut, and of the fade-out at the end of a cut.
    static constexpr int TrimMarginMilliseconds = 5;
    static constexpr int CutFadeMilliseconds = 10;

    // Trim what lies before the first sample and after the last that reach
    // this level (dBFS), but for TrimMarginMilliseconds.
    std::optional<double> Trim;
    // Set the integrated loudness to this (LUFS), as far as the ceiling lets
    // it; or else set the sample peak to this (dBFS).
    std::optional<double> Loudness;
    std::optional<double> Peak;
    // Fades after trimming, in milliseconds; 0: none.
    double FadeIn = 0;
    double FadeOut = 0;
    // A sound longer than FitFrames (at most a layer's) is cut there, with a
    // fade-out of CutFadeMilliseconds, instead of refused.
    bool Fit = false;
    qint64 FitFrames = LayerFormat::MaxFrames;

    // Anything asked at all.
    bool Any() const;
    // Why these choices cannot be used together, in plain words; "" when they can.
    QString Problem() const;
    // The most frames a layer's copy may have so that its slot takes at most
    // `bytes`; 0 when not even the smallest slot fits.
    static qint64 FramesFittingSpace(qint64 bytes);
};

// What preparing a sound did. Positions and lengths are frames at the
// layer's rate.
struct PreparationReport
{
    qint64 SourceFrames = 0; // the sound given (up to the cut, when one was made)
    qint64 Frames = 0;       // the prepared sound
    qint64 TrimmedStart = 0;
    qint64 TrimmedEnd = 0;
    // Trimming was asked but nothing reaches the level: nothing is left.
    bool Silent = false;
    // The sound was cut to fit here, in the source; -1: not cut.
    qint64 CutAt = -1;
    double FadeIn = 0; // milliseconds
    double FadeOut = 0;
    // The gain applied, in dB; and what of the gain the loudness target asked
    // for the ceiling held back (0: none).
    double Gain = 0;
    double HeldBack = 0;
    // Loudness was asked, but the sound is too quiet to measure: no gain.
    bool Unmeasurable = false;
    // Of the prepared sound, when the gain was set by them (else NaN): the
    // loudness (LUFS) and, with the gain set by it, the true peak (dBTP)
    // when it came near enough to the ceiling to be measured; the sample
    // peak (dBFS).
    double Loudness = std::numeric_limits<double>::quiet_NaN();
    double TruePeak = std::numeric_limits<double>::quiet_NaN();
    double SamplePeak = std::numeric_limits<double>::quiet_NaN();

    // Sample values were changed (gain, fades, the cut's fade), not only kept
    // or dropped.
    bool Changed() const { return Gain != 0 || FadeIn > 0 || FadeOut > 0 || CutAt >= 0; }
    static double Seconds(qint64 frames) { return double(frames) / LayerFormat::SampleRate; }
    // "trimmed 0.50 s + 0.70 s, gain +6.2 dB, limited by the -1 dBTP ceiling
    // (1.8 dB short), cut at 35.62 s"; "" when nothing was done.
    QString Describe() const;
};

// Prepares a stream of mono float samples at the layer's rate (finite, as
// MonoDecoding and the resampler give them), given block by block. It holds only what the prepared
// sound can use: with a trim the leading silence is dropped as it comes, and nothing past the most
// a layer (or the fit) holds is kept.
class PreparationStage
{
public:
    explicit PreparationStage(const Preparation &preparation);

    void Add(const float *samples, qint64 count);
    // The sound goes on past the most the copy may hold: with Fit it will be
    // cut, and no more samples are needed; without, it is too long.
    bool Overflowing() const;
    // The prepared sound, and what was done to it. Trim, then the cut, then
    // the fades, then the gain.
    PreparationReport Finish(std::vector<float> &prepared);

private:
    qint64 milliseconds(double value) const;
    void applyGain(PreparationReport &report);

    Preparation preparation;
    qint64 margin;
    qint64 limit; // the most frames the prepared sound may have
    SoundEdges edges;
    qint64 start = -1; // where the prepared sound begins, once known
    qint64 keptFrom = 0;
    std::vector<float> kept;
};

// Prepares `samples` (mono, at the layer's rate) in place.
PreparationReport PrepareSamples(std::vector<float> &samples, const Preparation &preparation);

#endif // PREPARATION_H
