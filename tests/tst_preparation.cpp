// Layers prepared on their way in (trimmed, set to a loudness or a peak,
// faded, cut to fit), judged by measuring the copies, partly with ffmpeg's
// own loudness meter; and the analysis of sounds with known figures. The
// sounds are made at test time by sox.

#include "audiosupport.h"
#include "testsupport.h"

#include "audio/audioconverter.h"
#include "audio/loudnessmeter.h"
#include "audio/signalanalysis.h"
#include "audio/truepeak.h"
#include "audio/waveform.h"
#include "wav/wavefilereader.h"
#include "wav/waveheader.h"

#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace TestSupport;

namespace {

const double Unchecked = std::nan("");

// What a prepared copy must be like.
struct Expected
{
    qint64 Frames = 0;    // -1: unchecked
    qint64 Leading = -1;  // frames below -60 dBFS at the start; -1: unchecked
    bool Limited = false; // the ceiling held the gain back
    // The sine's amplitude at points in time (seconds; negative: before the
    // end), before the gain.
    QList<QPair<double, double>> Envelope;
    QString Describe;   // the report's words; "": unchecked
    bool Exact = false; // the source's own samples, sample for sample
};

// sox's arguments for a sound made by `effects` ("synth 1 sine 1000") at
// `rate` with `channels`, written into %1 as `encoding` ("-b 16"): exact,
// without dither, and the same every run.
QStringList sound(int rate, int channels, const QString &encoding, const QString &effects)
{
    return QStringList{
               "sox", "-R", "-D", "-r", QString::number(rate), "-c", QString::number(channels),
               "-n"} +
           encoding.split(QLatin1Char(' ')) + QStringList{"%1"} + effects.split(QLatin1Char(' '));
}

// The amplitude of a steady sine around `seconds`, from the RMS of 2 ms.
double amplitudeAround(const std::vector<float> &samples, double seconds)
{
    const qint64 centre =
        std::llround((seconds < 0 ? double(samples.size()) / 44100 + seconds : seconds) * 44100);
    const qint64 half = 44;
    double sum = 0;
    for (qint64 i = centre - half; i < centre + half; ++i)
        sum += double(samples[size_t(i)]) * samples[size_t(i)];
    return std::sqrt(2 * sum / double(2 * half));
}

} // namespace

Q_DECLARE_METATYPE(Preparation)
Q_DECLARE_METATYPE(Expected)

class TestPreparation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void prepares_data();
    void prepares();
    void analyses_data();
    void analyses();
    void truePeakWhereItMatters_data();
    void truePeakWhereItMatters();
    void expectedLoudnessGain_data();
    void expectedLoudnessGain();
    void waveform_data();
    void waveform();
    void fitsSpace();

private:
    QString path(const QString &name) const { return dir.filePath(name); }
    QString makeSound(QStringList arguments, const QString &name) const
    {
        arguments.replaceInStrings(QStringLiteral("%1"), path(name));
        return AudioSupport::make(arguments);
    }

    QTemporaryDir dir;
};

void TestPreparation::initTestCase()
{
    QVERIFY(dir.isValid());
}

void TestPreparation::prepares_data()
{
    QTest::addColumn<QStringList>("make"); // %1: the file
    QTest::addColumn<Preparation>("preparation");
    QTest::addColumn<Expected>("expected");

    auto row = [](const char *name, const QStringList &make, const Preparation &preparation,
                  const Expected &expected) {
        QTest::newRow(name) << make << preparation << expected;
    };
    Preparation trim;
    trim.Trim = Preparation::DefaultTrimLevel;
    row("a layer's format trimmed, 5 ms kept at each edge, sample for sample",
        sound(44100, 1, "-b 16", "synth 1 sine 1000 vol 0.5 pad 0.512 0.712"), trim,
        {44099 + 2 * 221, 221, false, {}, "trimmed 0.51 s + 0.71 s", true});

    Preparation loud;
    loud.Loudness = -20;
    row("a quiet sine brought to -20 LUFS",
        sound(48000, 2, "-b 24", "synth 2 sine 1000 vol 0.0316"), loud,
        {88200, -1, false, {}, {}, false});

    // A sine at a quarter of the rate, sampled 45 degrees off its peaks: the
    // true peak lies 3 dB over the samples.
    Preparation ceiling;
    ceiling.Loudness = 0;
    row("0 LUFS held back by the -1 dBTP ceiling, which the true peak sets",
        sound(44100, 1, "-b 16", "synth 2 sine 11025 0 12.5 vol 0.9 fade t 0.05 2 0.05"), ceiling,
        {88200, -1, true, {}, {}, false});

    Preparation peak;
    peak.Peak = -3;
    row("sample peak set to -3 dBFS", sound(48000, 1, "-b 24", "synth 1 sine 1000 vol 0.25"), peak,
        {44100, -1, false, {{0.5, 0.25}}, {}, false});

    Preparation fades;
    fades.FadeIn = 100;
    fades.FadeOut = 200;
    row("faded in over 100 ms and out over 200 ms",
        sound(48000, 1, "-b 24", "synth 1 sine 1000 vol 0.5"), fades,
        {44100,
         -1,
         false,
         {{0.05, 0.25}, {0.09, 0.45}, {0.5, 0.5}, {-0.1, 0.25}, {-0.02, 0.05}},
         "fade in 100 ms, fade out 200 ms",
         false});

    Preparation longFade;
    longFade.FadeIn = 1000;
    row("a fade longer than the sound takes all of it, and says so",
        sound(44100, 1, "-b 16", "synth 0.2 sine 1000 vol 0.5"), longFade,
        {8820, -1, false, {{0.1, 0.25}}, "fade in 200 ms", false});

    Preparation fit;
    fit.Fit = true;
    row("40 s cut to the 35.62 s of a layer, fading out over 10 ms",
        sound(8000, 1, "-b 16", "synth 40 sine 1000 vol 0.5"), fit,
        {LayerFormat::MaxFrames,
         -1,
         false,
         {{-0.1, 0.5}, {-0.005, 0.25}},
         "cut at 35.62 s",
         false});

    Preparation trimAndFit = trim;
    trimAndFit.Fit = true;
    trimAndFit.FitFrames = 44100;
    row("trimmed, then cut to a budget of 1 s",
        sound(48000, 2, "-b 24", "synth 3 sine 1000 vol 0.5 pad 0.512 0"), trimAndFit,
        {44100, 221, false, {}, "trimmed 0.51 s + 0.00 s, cut at 1.51 s", false});

    // Measured as it comes: the level falls, so every part counts.
    Preparation everything = trim;
    everything.Loudness = -20;
    everything.FadeIn = 50;
    everything.FadeOut = 50;
    everything.Fit = true;
    row("everything at once, on a sound whose level falls",
        sound(44100, 1, "-b 24", "synth 3 sine 1000 vol 0.5 fade t 0 3 2 pad 0.25 0.25"),
        everything, {-1, 221, false, {{0.025, 0.25}}, {}, false});
}

// Each copy passes the WAV check, is as long as the preparation makes it and
// has the levels asked for: a loudness within 0.5 LU of the target (or of
// what the ceiling left of it) and a true peak of at most -1 dBTP by ffmpeg's
// meter as well as ours. The source stays as it was.
void TestPreparation::prepares()
{
    QFETCH(QStringList, make);
    QFETCH(Preparation, preparation);
    QFETCH(Expected, expected);

    const QString input = QStringLiteral("in.wav");
    const QString made = makeSound(make, input);
    if (!made.isEmpty())
        QSKIP(qPrintable(made));
    const QByteArray source = readFile(path(input));
    const QString output = path(QStringLiteral("out.wav"));

    ConversionReport report;
    DebugCapture quiet;
    QVERIFY2(ConvertAudioFile(path(input), output, &report, {}, true, preparation),
             qPrintable(report.Reason));
    QCOMPARE(readFile(path(input)), source);
    QCOMPARE(ReadWaveFile(output), report.SlotSize);
    const QByteArray copy = readFile(output);
    const std::vector<float> samples = AudioSupport::samplesOf(copy);
    if (expected.Frames >= 0)
        QCOMPARE(qint64(samples.size()), expected.Frames);
    if (!expected.Describe.isEmpty())
        QCOMPARE(report.Prepared.Describe(), expected.Describe);

    const SignalAnalysis analysis = AnalyseSamples(samples.data(), qint64(samples.size()), 44100);
    if (expected.Leading >= 0)
        QCOMPARE(analysis.LeadingSilence, expected.Leading);
    if (expected.Exact) {
        const qint64 from = 44 + 2 * report.Prepared.TrimmedStart;
        QCOMPARE(copy.mid(44), source.mid(from, copy.size() - 44));
    }
    const double gain = std::pow(10.0, report.Prepared.Gain / 20);
    for (const auto &[seconds, amplitude] : expected.Envelope) {
        const double measured = amplitudeAround(samples, seconds) / gain;
        QVERIFY2(qAbs(measured - amplitude) < 0.01,
                 qPrintable(QStringLiteral("%1 at %2 s").arg(measured).arg(seconds)));
    }

    if (preparation.Peak) {
        QVERIFY2(qAbs(analysis.SamplePeak - *preparation.Peak) <= 0.01,
                 qPrintable(QStringLiteral("%1 dBFS").arg(analysis.SamplePeak)));
    }
    QCOMPARE(report.Prepared.HeldBack > 0, expected.Limited);
    if (preparation.Loudness) {
        // What was measured on the way is what the copy holds.
        QVERIFY2(qAbs(analysis.Loudness - report.Prepared.Loudness) <= 0.01,
                 qPrintable(QStringLiteral("%1 LUFS, measured on the way %2")
                                .arg(analysis.Loudness)
                                .arg(report.Prepared.Loudness)));
        double loudness = 0;
        double truePeak = 0;
        const QString measured = AudioSupport::ffmpegLoudness(output, loudness, truePeak);
        if (!measured.isEmpty())
            QSKIP(qPrintable(measured));
        const double target = *preparation.Loudness - report.Prepared.HeldBack;
        QVERIFY2(qAbs(loudness - target) <= 0.5,
                 qPrintable(QStringLiteral("%1 LUFS for %2").arg(loudness).arg(target)));
        QVERIFY2(truePeak <= Preparation::Ceiling, qPrintable(QString::number(truePeak)));
        QVERIFY2(analysis.TruePeak <= Preparation::Ceiling,
                 qPrintable(QString::number(analysis.TruePeak)));
    }
}

void TestPreparation::analyses_data()
{
    QTest::addColumn<QStringList>("make"); // %1: the file
    QTest::addColumn<qint64>("frames");
    QTest::addColumn<double>("samplePeak"); // dBFS
    QTest::addColumn<double>("truePeak");   // dBTP; NaN: unchecked
    QTest::addColumn<double>("loudness");   // LUFS; NaN: unchecked
    QTest::addColumn<double>("leading");    // seconds
    QTest::addColumn<double>("trailing");
    QTest::addColumn<double>("clipped"); // the share of the samples
    QTest::addColumn<QString>("warnings");

    const double none = -std::numeric_limits<double>::infinity();
    QTest::newRow("a sine between silences")
        << sound(48000, 1, "-b 24", "synth 1 sine 1000 vol 0.1 pad 0.25 0.5") << qint64(84000)
        << -20.0 << -20.0 << Unchecked << 0.25 << 0.5 << 0.0 << QString();
    // A mono sine of peak -20 dBFS measures -23 LUFS.
    QTest::newRow("shorter than a loudness block: measured whole")
        << sound(44100, 1, "-b 24", "synth 0.2 sine 1000 vol 0.1") << qint64(8820) << -20.0 << -20.0
        << -23.0 << 0.0 << 0.0 << 0.0 << QString();
    // A sine at a quarter of the rate, sampled 45 degrees off its peaks.
    QTest::newRow("true peak 3 dB over the samples")
        << sound(44100, 1, "-e floating-point -b 32",
                 "synth 1 sine 11025 0 12.5 vol 0.5 fade t 0.05 1 0.05")
        << qint64(44100) << -9.0 << -6.0 << Unchecked << 0.0 << 0.0 << 0.0 << QString();
    // Twice full scale: clipped where the sine passes half its peak.
    QTest::newRow("clipped") << sound(44100, 1, "-b 16", "synth 1 sine 1000 vol 2") << qint64(44100)
                             << 0.0 << Unchecked << Unchecked << 0.0 << 0.0 << 2.0 / 3 << QString();
    QTest::newRow("silence") << sound(44100, 1, "-b 16", "trim 0 1") << qint64(44100) << none
                             << none << none << 1.0 << 1.0 << 0.0 << QString();
    // Decoded as a conversion decodes: by FFmpeg's decoder when libsndfile
    // does not read it (the lossy copy's figures are ffmpeg's meter's), what
    // is not a number silenced and told.
    QTest::newRow("MP3, through FFmpeg's decoder")
        << QStringLiteral("ffmpeg -f lavfi -i aevalsrc=0.1*sin(2*PI*1000*t):s=48000:d=1 "
                          "-c:a libmp3lame -b:a 192k -f mp3 %1")
               .split(QLatin1Char(' '))
        << qint64(48000) << Unchecked << Unchecked << Unchecked << 0.0 << 0.0 << 0.0 << QString();
    QTest::newRow("a NaN in a float WAV")
        << QStringLiteral("ffmpeg -f lavfi -i "
                          "aevalsrc=if(eq(n\\,9000)\\,0/0\\,0.1*sin(2*PI*1000*t)):s=48000:d=1 "
                          "-c:a pcm_f32le %1")
               .split(QLatin1Char(' '))
        << qint64(48000) << -20.0 << -20.0 << -23.0 << 0.0 << 0.0 << 0.0
        << "1 sample was not a number";
}

// The figures of sounds whose figures are known, read from files; the
// loudness of those long enough for it also as ffmpeg's meter reads it.
void TestPreparation::analyses()
{
    QFETCH(QStringList, make);
    QFETCH(qint64, frames);
    QFETCH(double, samplePeak);
    QFETCH(double, truePeak);
    QFETCH(double, loudness);
    QFETCH(double, leading);
    QFETCH(double, trailing);
    QFETCH(double, clipped);
    QFETCH(QString, warnings);

    const QString file = path(QStringLiteral("known.wav"));
    const QString made = makeSound(make, QStringLiteral("known.wav"));
    if (!made.isEmpty())
        QSKIP(qPrintable(made));
    AudioFileAnalysis read;
    QVERIFY2(AnalyseAudioFile(file, read), qPrintable(read.Reason));
    QCOMPARE(read.Warnings.join(QStringLiteral("; ")), warnings);
    const SignalAnalysis &analysis = read.Signal;
    auto check = [](const char *what, double measured, double known, double tolerance) {
        if (std::isnan(known) || measured == known || qAbs(measured - known) <= tolerance)
            return true;
        qWarning("%s: %g, not %g", what, measured, known);
        return false;
    };
    QCOMPARE(analysis.Frames, frames);
    QVERIFY(check("sample peak", analysis.SamplePeak, samplePeak, 0.1));
    QVERIFY(check("true peak", analysis.TruePeak, truePeak, 0.1));
    QVERIFY(check("loudness", analysis.Loudness, loudness, 0.1));
    QVERIFY(check("leading", analysis.Seconds(analysis.LeadingSilence), leading, 0.001));
    QVERIFY(check("trailing", analysis.Seconds(analysis.TrailingSilence), trailing, 0.001));
    QVERIFY(check("clipped", double(analysis.Clipped) / double(frames), clipped, 0.01));
    // ffmpeg's meter takes what is not a number as it is.
    if (std::isfinite(analysis.Loudness) && analysis.Seconds(frames) >= 0.4 && warnings.isEmpty()) {
        double measured = 0;
        double peak = 0;
        const QString failed = AudioSupport::ffmpegLoudness(file, measured, peak);
        if (!failed.isEmpty())
            QSKIP(qPrintable(failed));
        QVERIFY(check("loudness by ffmpeg", analysis.Loudness, measured, 0.15));
    }
}

void TestPreparation::truePeakWhereItMatters_data()
{
    QTest::addColumn<double>("below"); // the level asked, under the true peak (dB)
    QTest::newRow("just under the true peak") << 0.5;
    QTest::newRow("well under it") << 10.0;
    QTest::newRow("over it") << -0.5;
}

// On a quiet sine with short bursts of a sine at a quarter of the rate (its
// true peak 3 dB over its samples), one across a block's edge: measured only
// where it can reach the level, the true peak is exactly libebur128's over
// the whole sound; a level above it is not reached.
void TestPreparation::truePeakWhereItMatters()
{
    QFETCH(double, below);

    std::vector<float> samples(3 * 44100);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = float(0.1 * std::sin(2 * M_PI * 1000 * double(i) / 44100));
    for (const auto &[from, level] : {std::pair{40950, 0.7}, std::pair{90000, 0.6}}) {
        for (int i = 0; i < 20; ++i)
            samples[size_t(from + i)] = float(level * std::sin(M_PI / 2 * i + M_PI / 4));
    }
    LoudnessMeter whole(44100, LoudnessMeter::Measures::TruePeakOnly);
    whole.Add(samples.data(), qint64(samples.size()));
    const double truePeak = whole.TruePeak();
    QVERIFY2(truePeak > -4, qPrintable(QString::number(truePeak)));

    const double level = truePeak - below;
    const double found = TruePeakReaching(samples.data(), qint64(samples.size()), 44100, level);
    if (below > 0)
        QVERIFY2(found == truePeak,
                 qPrintable(QStringLiteral("%1, not %2").arg(found).arg(truePeak)));
    else
        QVERIFY2(found < level, qPrintable(QString::number(found)));
}

void TestPreparation::expectedLoudnessGain_data()
{
    QTest::addColumn<double>("target"); // LUFS
    QTest::addColumn<bool>("heldBack");
    QTest::newRow("turned down") << -30.0 << false;
    QTest::newRow("turned up into the ceiling") << 0.0 << true;
}

// The gain a loudness target is expected to give, from a sound's analysis,
// is the one preparing it gives, the ceiling's hold included.
void TestPreparation::expectedLoudnessGain()
{
    QFETCH(double, target);
    QFETCH(bool, heldBack);
    std::vector<float> samples(2 * 44100);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = float(0.3 * std::sin(2 * M_PI * 11025 * double(i) / 44100 + M_PI / 4));
    const SignalAnalysis analysis = AnalyseSamples(samples.data(), qint64(samples.size()), 44100);
    const LoudnessGain expected = ExpectLoudnessGain(analysis.Loudness, analysis.TruePeak, target);
    Preparation preparation;
    preparation.Loudness = target;
    const PreparationReport report = PrepareSamples(samples, preparation);
    QCOMPARE(expected.HeldBack > 0, heldBack);
    QVERIFY2(qAbs(expected.Gain - report.Gain) < 0.01 &&
                 qAbs(expected.HeldBack - report.HeldBack) < 0.01,
             qPrintable(QStringLiteral("expected gain %1 held back %2, got %3 and %4")
                            .arg(expected.Gain)
                            .arg(expected.HeldBack)
                            .arg(report.Gain)
                            .arg(report.HeldBack)));
}

void TestPreparation::waveform_data()
{
    QTest::addColumn<qint64>("count");
    QTest::addColumn<int>("columns");
    QTest::newRow("more samples than columns") << qint64(1000) << 7;
    QTest::newRow("fewer samples than columns") << qint64(5) << 12;
}

// On a rising ramp, the columns take the samples in order, each sample in
// one column, none left out (with fewer samples than columns, each sample
// in neighbouring columns).
void TestPreparation::waveform()
{
    QFETCH(qint64, count);
    QFETCH(int, columns);

    std::vector<float> ramp(static_cast<size_t>(count));
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = float(i);
    const std::vector<WaveformColumn> summary = SummariseWaveform(ramp.data(), count, columns);
    QCOMPARE(int(summary.size()), columns);
    QCOMPARE(summary.front().Min, 0.0f);
    QCOMPARE(summary.back().Max, float(count - 1));
    for (int i = 1; i < columns; ++i) {
        const float step = summary[size_t(i)].Min - summary[size_t(i - 1)].Max;
        QVERIFY2(count >= columns ? step == 1 : (step == 0 || step == 1),
                 qPrintable(QStringLiteral("column %1").arg(i)));
    }
}

// The longest copy whose slot takes at most so many bytes: one sample more
// and the slot would not fit.
void TestPreparation::fitsSpace()
{
    const auto slot = [](qint64 frames) {
        return qint64(WaveHeader::SlotSize(quint32(2 * frames)));
    };
    QCOMPARE(Preparation::FramesFittingSpace(1023), qint64(0));
    QCOMPARE(Preparation::FramesFittingSpace(3145728), LayerFormat::MaxFrames);
    for (qint64 bytes = 1024; bytes < 4200; bytes += 37) {
        const qint64 frames = Preparation::FramesFittingSpace(bytes);
        QVERIFY2(slot(frames) <= bytes && slot(frames + 1) > bytes,
                 qPrintable(QStringLiteral("%1 bytes: %2 frames").arg(bytes).arg(frames)));
    }
}

QTEST_GUILESS_MAIN(TestPreparation)
#include "tst_preparation.moc"
