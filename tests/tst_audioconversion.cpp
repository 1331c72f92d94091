// Converting audio files of every kind into a layer's WAV format, made at
// test time by sox and ffmpeg.

#include "audiosupport.h"
#include "testsupport.h"

#include "audio/audioconverter.h"
#include "audio/audiofiletypes.h"
#include "wav/wavefilereader.h"

#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;
using AudioSupport::make;

class TestAudioConversion : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void converts_data();
    void converts();
    void refusals_data();
    void refusals();

private:
    QString path(const QString &name) const { return dir.filePath(name); }
    // `arguments` with %1 the file to make and %2 the stereo master; "&&"
    // between commands.
    QString makeFile(QStringList arguments, const QString &file) const
    {
        arguments.replaceInStrings(QStringLiteral("%1"), file);
        arguments.replaceInStrings(QStringLiteral("%2"), path(QStringLiteral("master.wav")));
        for (QStringList command; !arguments.isEmpty();) {
            command << arguments.takeFirst();
            if (!arguments.isEmpty() && arguments.first() != QLatin1String("&&"))
                continue;
            if (const QString made = make(command); !made.isEmpty())
                return made;
            command.clear();
            if (!arguments.isEmpty())
                arguments.removeFirst();
        }
        return QString();
    }

    QTemporaryDir dir;
};

void TestAudioConversion::initTestCase()
{
    QVERIFY(dir.isValid());
    const QString made =
        make(AudioSupport::soxSines(QStringLiteral("-r 48000 -c 2 -b 24"), path("master.wav")));
    if (!made.isEmpty())
        QSKIP(qPrintable(made));
}

void TestAudioConversion::converts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("make"); // %1: the file, %2: a 48 kHz stereo 24-bit master
    QTest::addColumn<QString>("source");   // what the file really is
    QTest::addColumn<double>("tolerance"); // of the sines' levels in dB; < 0: not measured
    QTest::addColumn<qint64>("frames");    // of the copy
    QTest::addColumn<bool>("copied");      // bit for bit
    QTest::addColumn<bool>("clips");
    QTest::addColumn<QList<double>>("levels"); // of 1 and 3 kHz; none: each channel's half
    QTest::addColumn<QString>("warnings");

    using AudioSupport::soxSines;
    auto row = [](const char *name, const QString &file, const QStringList &make,
                  const QString &source, double tolerance = 0.1, qint64 frames = 22050,
                  const QString &warnings = QString(), const QList<double> &levels = {}) {
        QTest::newRow(name) << file << make << source << tolerance << frames << false << false
                            << levels << warnings;
    };
    const QString ffmpeg = QStringLiteral("ffmpeg");
    row("48 kHz stereo 24-bit", "a.wav", soxSines("-r 48000 -c 2 -b 24 -t wavpcm", "%1"),
        "WAV, 48000 Hz, 2 channels, 24-bit integer, 0.50 s");
    row("WAVE_FORMAT_EXTENSIBLE", "a.wav", soxSines("-r 44100 -c 2 -b 24", "%1"),
        "WAV (extensible), 44100 Hz, 2 channels, 24-bit integer, 0.50 s");
    row("32-bit float", "a.wav", soxSines("-r 48000 -c 1 -e floating-point -b 32", "%1"),
        "WAV, 48000 Hz, 1 channel, 32-bit float, 0.50 s");
    row("8-bit unsigned", "a.wav", soxSines("-r 44100 -c 1 -e unsigned -b 8", "%1"),
        "WAV, 44100 Hz, 1 channel, 8-bit unsigned integer, 0.50 s");
    row("22050 Hz mono", "a.wav", soxSines("-r 22050 -c 1 -b 16", "%1"),
        "WAV, 22050 Hz, 1 channel, 16-bit integer, 0.50 s");
    row("96 kHz", "a.wav", soxSines("-r 96000 -c 2 -b 16", "%1"),
        "WAV, 96000 Hz, 2 channels, 16-bit integer, 0.50 s");
    row("FLAC", "a.flac", soxSines("-r 48000 -c 2 -b 16", "%1"),
        "FLAC, 48000 Hz, 2 channels, 16-bit integer, 0.50 s");
    row("Ogg Vorbis", "a.ogg", soxSines("-r 48000 -c 2", "%1"),
        "Ogg Vorbis, 48000 Hz, 2 channels, compressed, 0.50 s", 0.5);
    row("MP3", "a.mp3", {ffmpeg, "-i", "%2", "-c:a", "libmp3lame", "-b:a", "192k", "%1"},
        "MP3, 48000 Hz, 2 channels, compressed, 0.50 s", 0.5);
    row("Opus", "a.opus", {ffmpeg, "-i", "%2", "-c:a", "libopus", "%1"},
        "Ogg Opus, 48000 Hz, 2 channels, compressed, 0.50 s", 0.5);
    row("AIFF", "a.aiff", soxSines("-r 48000 -c 2 -b 16", "%1"),
        "AIFF, 48000 Hz, 2 channels, 16-bit integer, 0.50 s");
    row("AAC in M4A", "a.m4a", {ffmpeg, "-i", "%2", "-c:a", "aac", "%1"},
        "AAC, 48000 Hz, 2 channels, compressed, 0.50 s", 0.5);
    row("ALAC", "a.m4a", {ffmpeg, "-i", "%2", "-c:a", "alac", "%1"},
        "ALAC, 48000 Hz, 2 channels, 24-bit integer, 0.50 s");
    row("WMA", "a.wma", {ffmpeg, "-i", "%2", "-c:a", "wmav2", "%1"},
        "WMA, 48000 Hz, 2 channels, compressed, 0.47 s", 0.5);
    row("MP4 with a video stream", "a.mp4",
        {ffmpeg, "-f", "lavfi", "-i", "testsrc=size=64x48:rate=10:duration=0.5", "-i", "%2", "-c:v",
         "mpeg4", "-c:a", "aac", "%1"},
        "MP4 video, AAC, 48000 Hz, 2 channels, compressed, 0.50 s", 0.5);
    // No Xing frame: a length estimated from the first frames is no length.
    row("VBR MP3 written to a pipe", "a.mp3",
        {ffmpeg, "-i", "%2", "-c:a", "libmp3lame", "-q:a", "4", "-f", "mp3", "-", ">", "%1"},
        "MP3, 48000 Hz, 2 channels, compressed, 0.53 s", 0.5);
    row("FLAC written to a pipe: 0 total samples", "a.flac",
        {ffmpeg, "-i", "%2", "-f", "flac", "-", ">", "%1"},
        "FLAC, 48000 Hz, 2 channels, 24-bit integer, 0.50 s");
    // The centre at -3 dB against the fronts, over the sum of the gains
    // (2 fronts, centre and 2 surrounds: 2 + 3 / sqrt(2)); the LFE left out.
    const QList<double> centreAlone{0.5 * M_SQRT1_2 / (2 + 3 * M_SQRT1_2), 0};
    const QStringList centreAndLfe{ffmpeg, "-i", "%2", "-af", "pan=5.1|FC=c0|LFE=c1"};
    row("5.1 WAV: 1 kHz in the centre, 3 kHz in the LFE", "a.wav",
        centreAndLfe + QStringList{"-c:a", "pcm_s24le", "%1"},
        "WAV (extensible), 48000 Hz, 6 channels, 24-bit integer, 0.50 s", 0.1, 22050, QString(),
        centreAlone);
    row("5.1 FLAC: 1 kHz in the centre, 3 kHz in the LFE", "a.flac",
        centreAndLfe + QStringList{"%1"}, "FLAC, 48000 Hz, 6 channels, 24-bit integer, 0.50 s", 0.1,
        22050, QString(), centreAlone);
    row("24-bit silence stays silent", "a.wav",
        {"sox", "-n", "-r", "48000", "-c", "2", "-b", "24", "%1", "trim", "0", "0.5"},
        "WAV (extensible), 48000 Hz, 2 channels, 24-bit integer, 0.50 s", 0.1, 22050, QString(),
        {0, 0});
    row("float silence stays silent", "a.wav",
        {"sox", "-n", "-r", "48000", "-c", "1", "-e", "floating-point", "-b", "32", "%1", "trim",
         "0", "0.5"},
        "WAV, 48000 Hz, 1 channel, 32-bit float, 0.50 s", 0.1, 22050, QString(), {0, 0});
    row("a NaN and an infinity", "a.wav",
        {ffmpeg, "-f", "lavfi", "-i",
         "aevalsrc=if(eq(n\\,9000)\\,0/0\\,if(eq(n\\,9001)\\,1/0\\,0.5*sin(2*PI*1000*t))):s=48000:"
         "d=0.5",
         "-c:a", "pcm_f32le", "%1"},
        "WAV (extensible), 48000 Hz, 1 channel, 32-bit float, 0.50 s", 0.1, 22050,
        "2 samples were not numbers");
    row("WAV cut short", "a.wav",
        soxSines("-r 48000 -c 2 -b 24 -t wavpcm", "%1") +
            QStringList{"&&", "truncate", "-s", QString::number(44 + 6 * 12000), "%1"},
        "WAV, 48000 Hz, 2 channels, 24-bit integer, 0.25 s", 0.1, 11025,
        "ends early: 0.25 s of the 0.50 s announced");
    row("FLAC cut short", "a.flac",
        soxSines("-r 48000 -c 2 -b 16", "%1") + QStringList{"&&", "truncate", "-s", "10000", "%1"},
        "FLAC, 48000 Hz, 2 channels, 16-bit integer, 0.17 s", 0.1, 7526,
        "ends early: 0.17 s of the 0.50 s announced");
    row("shorter than 512 bytes: padded", "a.wav",
        {"sox", "-n", "-r", "48000", "-c", "1", "-b", "16", "%1", "synth", "0.001", "sine", "1000"},
        "WAV, 48000 Hz, 1 channel, 16-bit integer, 0.00 s", -1, 256);
    QTest::newRow("ffmpeg's LIST chunk: copied")
        << "a.wav"
        << QStringList{ffmpeg, "-i", "%2", "-ar", "44100", "-ac", "1", "-c:a", "pcm_s16le", "%1"}
        << "WAV, 44100 Hz, 1 channel, 16-bit integer, 0.50 s" << -1.0 << qint64(22050) << true
        << false << QList<double>() << QString();
    QTest::newRow("float beyond full scale: clipped")
        << "a.wav" << soxSines("-r 48000 -c 1 -e floating-point -b 32", "%1", 1.5)
        << "WAV, 48000 Hz, 1 channel, 32-bit float, 0.50 s" << -1.0 << qint64(22050) << false
        << true << QList<double>() << QString();
}

// Each copy passes the WAV check with its slot size, is as long as the
// source (within 0.06 s for lossy codecs, 2 samples for the others), keeps
// the sines' frequencies and levels (the channels averaged: each side's sine
// at half its level), silence stays exactly silent, and the source stays as
// it was.
void TestAudioConversion::converts()
{
    QFETCH(QString, name);
    QFETCH(QStringList, make);
    QFETCH(QString, source);
    QFETCH(double, tolerance);
    QFETCH(qint64, frames);
    QFETCH(bool, copied);
    QFETCH(bool, clips);
    QFETCH(QList<double>, levels);
    QFETCH(QString, warnings);

    const QString input = path(QString::fromLatin1(QTest::currentDataTag()) + name);
    const QString made = makeFile(make, input);
    if (!made.isEmpty())
        QSKIP(qPrintable(made));
    if (!DecodableExtensions().contains(name.section(QLatin1Char('.'), -1)))
        QSKIP(qPrintable(QStringLiteral("this build does not read ") + name));
    const QByteArray before = readFile(input);
    const QString output = path(QStringLiteral("out.wav"));

    ConversionReport report;
    DebugCapture quiet;
    QVERIFY2(ConvertAudioFile(input, output, &report), qPrintable(report.Reason));
    QCOMPARE(report.Result, ConversionResult::Converted);
    QCOMPARE(report.Source.Describe(), source);
    QCOMPARE(report.Warnings.join(QStringLiteral("; ")), warnings);
    const qint64 lengthTolerance = tolerance > 0.1 ? 2646 : 2;
    QVERIFY2(qAbs(report.Frames - frames) <= lengthTolerance,
             qPrintable(QStringLiteral("%1 samples").arg(report.Frames)));
    QCOMPARE(report.Copied, copied);
    QCOMPARE(report.Clipped > 0, clips);
    QCOMPARE(report.DataLength, quint32(report.Frames * 2));
    QCOMPARE(report.SlotSize, qint32((report.Frames * 2 & ~511) + 512));
    QCOMPARE(ReadWaveFile(output), report.SlotSize);
    const QByteArray copy = readFile(output);
    QCOMPARE(copy.size(), 44 + report.Frames * 2);
    QCOMPARE(readFile(input), before);

    if (copied)
        QCOMPARE(copy.mid(44), before.right(frames * 2));
    if (levels == QList<double>{0, 0})
        QCOMPARE(copy.mid(44), QByteArray(copy.size() - 44, '\0'));
    else if (tolerance >= 0) {
        const bool stereo = source.contains(QLatin1String("2 channels"));
        if (levels.isEmpty())
            levels = stereo ? QList<double>{0.25, 0.25} : QList<double>{0.5, 0};
        // Measured in the middle, a whole number of 10 ms long: away from a
        // codec's delay at the start and its padding at the end.
        const qint64 span = report.Frames * 6 / 10 / 441 * 441;
        const QByteArray middle = copy.mid(44 + (report.Frames - span) / 2 * 2, span * 2);
        const double left = AudioSupport::amplitudeAt(middle, 1000);
        const double right = AudioSupport::amplitudeAt(middle, 3000);
        QVERIFY2(qAbs(AudioSupport::decibels(left / levels[0])) <= tolerance,
                 qPrintable(QStringLiteral("1 kHz at %1").arg(left)));
        QVERIFY2(levels[1] == 0 ? right < 1e-3
                                : qAbs(AudioSupport::decibels(right / levels[1])) <= tolerance,
                 qPrintable(QStringLiteral("3 kHz at %1").arg(right)));
    }
}

// Makes the input of a refusal row; false if that failed.
using Make = std::function<bool(const QString &input, const QString &output)>;
Q_DECLARE_METATYPE(Make)
Q_DECLARE_METATYPE(Preparation)

void TestAudioConversion::refusals_data()
{
    QTest::addColumn<Make>("makeInput");
    QTest::addColumn<ConversionResult>("result");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<Preparation>("preparation"); // none unless given

    auto sox = [](const QStringList &arguments) {
        return [arguments](const QString &input, const QString &) {
            QStringList withPath = arguments;
            withPath.replaceInStrings(QStringLiteral("%1"), input);
            return make(withPath).isEmpty();
        };
    };
    QTest::newRow("a text file named .wav") << Make([](const QString &input, const QString &) {
        return writeFile(input, "RIFF, but only in words.\n");
    }) << ConversionResult::Unreadable << "it is not audio in any format that can be read"
                                            << Preparation();
    QTest::newRow("an empty file")
        << Make([](const QString &input, const QString &) { return writeFile(input, {}); })
        << ConversionResult::Unreadable << "the file is empty" << Preparation();
    QTest::newRow("a named pipe") << Make([](const QString &input, const QString &) {
        return makeFifo(input);
    }) << ConversionResult::Unreadable
                                  << "it is a named pipe (FIFO), not a regular file"
                                  << Preparation();
    // libsndfile's text for this one was "File does not exist or is not a
    // regular file (possibly a pipe?)".
    QTest::newRow("an MP3 frame header and then nothing that fits")
        << Make([](const QString &input, const QString &) {
               return writeFile(input, QByteArray("\xff\xfb\x90\x00", 4) + QByteArray(2000, 'U'));
           })
        << ConversionResult::Unreadable << "it cannot be decoded: the data is damaged or cut short"
        << Preparation();
    QTest::newRow("4 KiB declaring 1 GHz") << Make([](const QString &input, const QString &) {
        return writeFile(input, patched(waveFile(4052), 24, le32(1000000000)));
    }) << ConversionResult::Unreadable
                                           << "its sample rate of 1000000000 Hz is not supported "
                                              "(at most 768000 Hz)"
                                           << Preparation();
    QTest::newRow("no samples") << Make(sox({"sox", "-n", "-r", "48000", "-c", "2", "-b", "16",
                                             "-t", "wav", "%1", "trim", "0", "0"}))
                                << ConversionResult::Empty << "it holds no samples"
                                << Preparation();
    QTest::newRow("too long") << Make(sox({"sox", "-n", "-r", "8000", "-c", "1", "-b", "8", "-t",
                                           "wav", "%1", "synth", "40", "sine", "1000"}))
                              << ConversionResult::TooLong
                              << "it lasts 40.00 s; a layer holds at most 35.62 s" << Preparation();
    QTest::newRow("output is the input, through a symlink")
        << Make([sox](const QString &input, const QString &output) {
               return sox(AudioSupport::soxSines("-r 48000 -c 2 -b 16 -t wav", "%1"))(input, {}) &&
                      QFile::remove(output) && QFile::link(input, output);
           })
        << ConversionResult::NotWritten << "it is the file being converted" << Preparation();
    QTest::newRow("output is the input, through a hard link")
        << Make([sox](const QString &input, const QString &output) {
               return sox(AudioSupport::soxSines("-r 48000 -c 2 -b 16 -t wav", "%1"))(input, {}) &&
                      QFile::remove(output) &&
                      ::link(QFile::encodeName(input), QFile::encodeName(output)) == 0;
           })
        << ConversionResult::NotWritten << "it is the file being converted" << Preparation();
    Preparation trim;
    trim.Trim = Preparation::DefaultTrimLevel;
    QTest::newRow("trimmed, nothing left")
        << Make(sox({"sox", "-n", "-r", "48000", "-c", "2", "-b", "16", "-t", "wav", "%1", "trim",
                     "0", "1"}))
        << ConversionResult::Empty << "it holds nothing louder than -60 dBFS" << trim;
    QTest::newRow("too long even trimmed")
        << Make(sox({"sox", "-n", "-r", "8000", "-c", "1", "-b", "8", "-t", "wav", "%1", "synth",
                     "40", "sine", "1000", "pad", "1", "1"}))
        << ConversionResult::TooLong
        << "even trimmed it lasts more than 35.62 s, the most a layer holds" << trim;
    Preparation both;
    both.Loudness = -16;
    both.Peak = -1;
    QTest::newRow("both a loudness and a peak")
        << Make(sox(AudioSupport::soxSines("-r 48000 -c 2 -b 16 -t wav", "%1")))
        << ConversionResult::Unprepared << "a loudness and a peak level cannot both be set" << both;
}

// A refusal says why in plain words, and leaves both the input and what
// stood at the output as they were.
void TestAudioConversion::refusals()
{
    QFETCH(Make, makeInput);
    QFETCH(ConversionResult, result);
    QFETCH(QString, reason);
    QFETCH(Preparation, preparation);

    const QString input =
        path(QStringLiteral("in-") + QString::fromLatin1(QTest::currentDataTag()));
    const QString output =
        path(QStringLiteral("out-") + QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(writeFile(output, "an earlier file"));
    QVERIFY(makeInput(input, output));
    // A named pipe is never opened here: it would wait for a writer.
    const bool regular = QFileInfo(input).isFile();
    const QByteArray inputBefore = regular ? AudioSupport::checksum(input) : QByteArray();
    const QByteArray outputBefore = readFile(output);
    const QStringList entriesBefore = entries(dir.path());

    ConversionReport report;
    DebugCapture quiet;
    QVERIFY(!ConvertAudioFile(input, output, &report, {}, true, preparation));
    QCOMPARE(report.Result, result);
    QCOMPARE(report.Reason, reason);
    if (regular)
        QCOMPARE(AudioSupport::checksum(input), inputBefore);
    QCOMPARE(readFile(output), outputBefore);
    QCOMPARE(entries(dir.path()), entriesBefore);
}

QTEST_GUILESS_MAIN(TestAudioConversion)
#include "tst_audioconversion.moc"
