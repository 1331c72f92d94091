#ifndef PREPARATION_H
#define PREPARATION_H

#include "audioformat.h"
#include "loudnessworker.h"
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
    // loudness (LUFS); the true peak (dBTP) when it reached the ceiling and
    // held the gain back; the sample peak (dBFS).
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
// MonoDecoding and the resampler give them), given block by block. It holds
// only what the prepared sound can use: with a trim the leading silence is
// dropped as it comes, and nothing past the most a layer (or the fit) holds
// is kept. For a loudness, the samples that can no longer change (past the
// fade-in, before the longest fade-out the sound so far may end with) are
// measured as they come, on a thread of their own (LoudnessWorker); the
// true peak only at the end, and only where it can reach the ceiling
// (TruePeakReaching()).
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
    void measureFinal();
    void applyGain(PreparationReport &report);

    Preparation preparation;
    qint64 margin;
    qint64 limit; // the most frames the prepared sound may have
    SoundEdges edges;
    qint64 start = -1; // where the prepared sound begins, once known
    qint64 keptFrom = 0;
    qint64 fadeIn;         // frames asked
    qint64 longestFadeOut; // frames the end may fade out over, with a cut
    bool fadedIn = false;
    // Once the start is known, `kept` holds the sound from there and never
    // moves: its capacity takes the most it may hold.
    std::vector<float> kept;
    qint64 measured = 0;                    // of `kept`, handed to the meter
    std::optional<LoudnessWorker> loudness; // stopped before `kept` goes
};

// What setting the loudness of a sound measured at `loudness` (LUFS), with a
// true peak of `truePeak` (dBTP) over the whole of it, to `target` does: the
// gain, and what of it the ceiling holds back, as PreparationStage finds them.
struct LoudnessGain
{
    double Gain = 0;
    double HeldBack = 0;
};
LoudnessGain ExpectLoudnessGain(double loudness, double truePeak, double target);

// Prepares `samples` (mono, at the layer's rate) in place.
PreparationReport PrepareSamples(std::vector<float> &samples, const Preparation &preparation);

#endif // PREPARATION_H
