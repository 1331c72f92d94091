#ifndef SIGNALANALYSIS_H
#define SIGNALANALYSIS_H

#include "audioformat.h"
#include "loudnessmeter.h"
#include "soundedges.h"

#include <QString>
#include <QStringList>

// What a sound is like: its length, levels and silent edges.
struct SignalAnalysis
{
    // What counts as silence at the edges unless asked otherwise, in dBFS.
    static constexpr double DefaultSilence = SoundEdges::DefaultLevel;

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

// Analyses a stream of finite mono float samples (full scale at 1.0) block by
// block.
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

// What AnalyseAudioFile() found.
struct AudioFileAnalysis
{
    // What the file is, as its decoder names it, with the length decoded.
    AudioFormat Source;
    SignalAnalysis Signal;
    // What the sound lacks or had to change, as a conversion says it
    // (ConversionReport::Warnings).
    QStringList Warnings;
    QString Reason; // why it could not be analysed, in plain words
};

// Analyses the audio file at `path` as a layer would hold it: decoded as a
// conversion decodes it (MonoDecoding), its channels folded into one, at its
// own rate. False, with the reason, when it cannot be opened or nothing of it
// can be decoded.
bool AnalyseAudioFile(const QString &path, AudioFileAnalysis &analysis,
                      double silence = SignalAnalysis::DefaultSilence);

#endif // SIGNALANALYSIS_H
