#ifndef LOUDNESSMETER_H
#define LOUDNESSMETER_H

#include <QtGlobal>

// Measures a stream of mono float samples (full scale at 1.0) with libebur128,
// after EBU R128 / ITU-R BS.1770: the integrated loudness, the true peak (4
// times oversampled below 96 kHz) and the sample peak. A mono signal counts
// as one channel, not as both sides of a stereo one: a sine of peak -20 dBFS
// measures -23 LUFS. The samples must be finite (see ReplaceNonFinite()).
class LoudnessMeter
{
public:
    // What is measured: the true peak takes four times as long as the
    // loudness; the sample peak comes with either.
    enum class Measures { Everything, LoudnessOnly, TruePeakOnly };

    explicit LoudnessMeter(int sampleRate, Measures measures = Measures::Everything);
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter &) = delete;
    LoudnessMeter &operator=(const LoudnessMeter &) = delete;

    void Add(const float *samples, qint64 count);

    // The integrated loudness in LUFS: gated, over blocks of 400 ms. A sound
    // shorter than one block is measured over its whole length, ungated.
    // -infinity when nothing passes the gate.
    double Loudness() const;
    // In dB against full scale (dBTP, dBFS); -infinity for silence, and for
    // what is not measured.
    double TruePeak() const;
    double SamplePeak() const;
    // The true peak of what the last Add() gave: of the oversampled values
    // between those samples and of the samples themselves, with what the
    // oversampler holds of the samples before them.
    double LastTruePeak() const;

private:
    struct State; // libebur128's
    State *state = nullptr;
    int rate;
    bool loudness; // measured
    qint64 frames = 0;
};

#endif // LOUDNESSMETER_H
