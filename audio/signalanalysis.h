#ifndef SIGNALANALYSIS_H
#define SIGNALANALYSIS_H

#include "loudnessmeter.h"
#include "soundedges.h"

#include <QString>

// What a sound is like: its length, levels and silent edges.
struct SignalAnalysis
{
    // What counts as silence at the edges unless asked otherwise, in dBFS.
    static constexpr double DefaultSilence = -60;

    int SampleRate = 0;
    qint64 Frames = 0;
    double SamplePeak = 0; // dBFS; -infinity for silence
    double TruePeak = 0;   // dBTP; -infinity for silence
    double Loudness = 0;   // integrated, LUFS; -infinity when too quiet to measure
    // Frames quieter than the silence level before the first sound and after
    // the last; a silent sound is silence from either end.
    qint64 LeadingSilence = 0;
    qint64 TrailingSilence = 0;
    // Samples at full scale or beyond (as a 16-bit sample holds it: 32767
    // either way), where the sound was or will be clipped.
    qint64 Clipped = 0;

    double Seconds(qint64 frames) const { return SampleRate > 0 ? double(frames) / SampleRate : 0; }
};

// Analyses a stream of mono float samples (full scale at 1.0) block by block.
class SignalAnalyser
{
public:
    explicit SignalAnalyser(int sampleRate, double silence = SignalAnalysis::DefaultSilence);

    void Add(const float *samples, qint64 count);
    SignalAnalysis Result() const;

private:
    int rate;
    LoudnessMeter meter;
    SoundEdges edges;
    qint64 clipped = 0;
};

// The analysis of `count` mono samples at `sampleRate`, such as a layer's.
SignalAnalysis AnalyseSamples(const float *samples, qint64 count, int sampleRate,
                              double silence = SignalAnalysis::DefaultSilence);

// The analysis of the audio file at `path`, as a layer would hold it: its
// channels averaged into one, at its own rate. False, with `reason`, when it
// cannot be decoded to its end.
bool AnalyseAudioFile(const QString &path, SignalAnalysis &analysis, QString *reason = nullptr,
                      double silence = SignalAnalysis::DefaultSilence);

#endif // SIGNALANALYSIS_H
