#ifndef AUDIOCONVERSIONINTERFACE_H
#define AUDIOCONVERSIONINTERFACE_H

#include <QString>
#include <QStringList>
#include <QVector>
#include <QtPlugin>

#include <functional>
#include <limits>

class CleanupRegistry;
struct LayerCheck;

// What the conversion plugin gives the window: the audio conversion of
// qmsaudio, in types of its own, so that the window compiles against no
// header of audio/. The plugin carries libsndfile, libsoxr and the codecs
// behind them, so that the program loads them only when a file first needs
// them, not at start-up.
class AudioConversionInterface
{
public:
    // Whether a file the WAV check refused can be converted into a layer, and
    // the reason to show for the refusal: the check's own, or what the file
    // really is when it can be decoded.
    struct Offer
    {
        bool Possible = false;
        QString Reason;
    };
    // How a conversion ended: the copy written, or why not. `CopyNotWritten`
    // when the copy itself could not be written; the reason then concerns
    // the copy. `Cancelled` when the progress function stopped it.
    struct Outcome
    {
        bool Converted = false;
        bool CopyNotWritten = false;
        QString Reason;
        // What the copy lacks or had to change though it was written, e.g.
        // "ends early: 0.50 s of the 1.00 s announced", "2 samples were not
        // numbers".
        QStringList Warnings;
        bool Cancelled = false;
        qint64 Clipped = 0; // samples of the copy that were beyond full scale
        // What preparing the copy did, e.g. "trimmed 0.50 s + 0.70 s, gain
        // +6.2 dB"; "" when nothing was asked or done.
        QString Prepared;
    };
    // What a sound is like. Levels in dBFS, dBTP and LUFS, -infinity for
    // silence (the loudness also for a sound too quiet to measure); lengths
    // in seconds.
    struct Analysis
    {
        bool Analysed = false;
        QString Reason; // why not, in plain words
        double Seconds = 0;
        double SamplePeak = -std::numeric_limits<double>::infinity();
        double TruePeak = -std::numeric_limits<double>::infinity();
        double Loudness = -std::numeric_limits<double>::infinity();
        // Quieter than the silence level asked, before the first sound and
        // after the last.
        double SilentStart = 0;
        double SilentEnd = 0;
        // What a trim at that level takes off each end (less than the silence:
        // a few milliseconds of it are kept).
        double TrimStart = 0;
        double TrimEnd = 0;
        qint64 Clipped = 0; // samples at full scale or beyond
    };
    // The lowest and highest sample (full scale at 1) under one column of a
    // drawn waveform.
    struct Column
    {
        float Min = 0;
        float Max = 0;
    };
    // How a prepared copy is made: trimmed, set to a loudness or a peak
    // level, faded, cut to fit. Nothing asked: a plain conversion.
    struct Choices
    {
        enum class Level { Kept, Loudness, Peak };
        bool Trim = false;
        double TrimLevel = -60; // dBFS
        Level SetLevel = Level::Kept;
        double Loudness = -23; // LUFS, as far as the true peak ceiling lets it
        double Peak = -1;      // dBFS
        double FadeIn = 0;     // milliseconds
        double FadeOut = 0;
        // Cut, with a short fade-out, to what fits in FitBytes of slot (0: in
        // a whole layer's).
        bool Fit = false;
        qint64 FitBytes = 0;
    };
    // What a loudness target makes of a sound so analysed: the gain, what of
    // it the true peak ceiling holds back, and the loudness it ends with.
    struct Expectation
    {
        double Gain = 0;
        double HeldBack = 0;
        double Loudness = -std::numeric_limits<double>::infinity();
    };
    // Called after each block decoded, on the thread that converts, with the
    // share done (0 to 1); the conversion stops, writing nothing, when it
    // returns false.
    using Progress = std::function<bool(double share)>;

    virtual ~AudioConversionInterface() = default;

    // The program's cleanup registry (core/cleanupregistry.h), for the
    // plugin's copy of the code that writes files, which has none of its
    // own: its temporary files are then removed by the program's signal
    // handler. Called once, on loading.
    virtual void UseCleanupRegistry(CleanupRegistry *registry) = 0;

    virtual Offer OfferFor(const QString &path, const LayerCheck &check) = 0;
    // Writes the copy of `input` at `output`. May run on any thread, one
    // conversion at a time.
    virtual Outcome Convert(const QString &input, const QString &output,
                            const Progress &progress) = 0;
    // Where the copy of `source` goes in `folder` unless another is chosen.
    virtual QString CopyPath(const QString &source, const QString &folder) = 0;
    // The open dialog's filter of the audio files this build can read.
    virtual QString FilesFilter() = 0;

    // The analysis of the audio file at `path`, decoded as a conversion
    // decodes it, with `silence` (dBFS) as the level of its silent edges and
    // of the trim. May run on any thread; `progress` as for Convert().
    virtual Analysis Analyse(const QString &path, double silence, const Progress &progress) = 0;
    // The waveform of the audio file at `path`, `columns` wide; empty when it
    // cannot be decoded or was stopped. May run on any thread.
    virtual QVector<Column> Waveform(const QString &path, int columns,
                                     const Progress &progress) = 0;
    // Writes the copy of `input` at `output`, prepared as `choices` say. As
    // Convert() otherwise; Reason tells choices that do not go together.
    virtual Outcome Prepare(const QString &input, const QString &output, const Choices &choices,
                            const Progress &progress) = 0;
    virtual Expectation ExpectLoudness(const Analysis &analysis, double target) = 0;
    // Where the prepared copy of `source` goes: "<base> (prepared).wav"
    // beside it, shortened to a layer's name when longer.
    virtual QString PreparedCopyPath(const QString &source) = 0;
};

#define AudioConversionInterface_iid "com.quelmar.QuelmarR4FileGen.AudioConversionInterface/4.0"
Q_DECLARE_INTERFACE(AudioConversionInterface, AudioConversionInterface_iid)

#endif // AUDIOCONVERSIONINTERFACE_H
