#include "audiosupport.h"
#include "soundjobfixture.h"
#include "testsupport.h"

#include "core/layertable.h"
#include "soundfile/soundfilewriter.h"
#include "wav/wavefilereader.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>
#include <random>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace TestSupport;

using Lengths = QList<int>;
using Thresholds = QList<int>;
Q_DECLARE_METATYPE(Lengths)

namespace {

struct Result
{
    int exitCode = -1; // -1: crashed or did not finish
    QString out;
    QString err;
};

Result finish(QProcess &process)
{
    Result result;
    if (!process.waitForFinished(120000))
        process.kill();
    process.waitForFinished(5000);
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    if (process.exitStatus() == QProcess::NormalExit && process.error() != QProcess::Crashed)
        result.exitCode = process.exitCode();
    return result;
}

void startTool(QProcess &process, const QStringList &arguments)
{
    process.setProgram(QStringLiteral(QMSTOOL_PATH));
    process.setArguments(arguments);
    process.start();
}

Result qmstool(const QStringList &arguments, const QString &workingDirectory = QString())
{
    QProcess process;
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    startTool(process, arguments);
    return finish(process);
}

// qmstool with faults injected by faultshim.cpp; `faults` are NAME=VALUE.
Result qmstoolWithFaults(const QStringList &faults, const QStringList &arguments,
                         QProcess *started = nullptr)
{
    QProcess own;
    QProcess &process = started ? *started : own;
    process.setProcessEnvironment(withFaults(QProcessEnvironment::systemEnvironment(),
                                             QStringLiteral(FAULTSHIM_PATH), faults));
    startTool(process, arguments);
    return started ? Result() : finish(process);
}

// qmstool started by the shell `script` ("$0" is qmstool, "$1" `argument`),
// for arguments and redirections that QProcess cannot give.
Result qmstoolFromShell(const QString &script, const QString &argument,
                        const QString &workingDirectory)
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), script, QStringLiteral(QMSTOOL_PATH), argument});
    return finish(process);
}

QString describe(const Result &result)
{
    return QStringLiteral("exit %1\nstdout: %2\nstderr: %3")
        .arg(result.exitCode)
        .arg(result.out, result.err);
}

int slotSize(int dataLength)
{
    return (dataLength & ~511) + 512;
}

// A WAV file name of up to 80 UTF-16 code units, ending in ".wav", made of
// ASCII, accented, East Asian and astral characters and the characters a
// shell treats specially; `index` keeps it unique.
QString generatedName(std::mt19937 &random, int index)
{
    static const QStringList pieces{
        QStringLiteral("kick"),       QStringLiteral(" "),          QStringLiteral("'"),
        QStringLiteral("\"\\`$(x)*"), QStringLiteral("caf\u00e9"),  QStringLiteral("\u00fcber"),
        QStringLiteral("\u97f3"),     QStringLiteral("\U0001F941"), QStringLiteral("-"),
        QStringLiteral("snare_"),     QStringLiteral("\u20ac")};
    const QString suffix = QStringLiteral("-%1.wav").arg(index);
    const int wanted = std::uniform_int_distribution<int>(1, 80)(random);
    // The first starts with U+FEFF, which is a character, not a byte-order mark.
    QString name = index == 1 ? QStringLiteral("\uFEFF") : QString();
    for (;;) {
        const QString piece = pieces.at(int(random() % pieces.size()));
        if (name.size() + piece.size() + suffix.size() > wanted)
            break;
        name += piece;
    }
    return name + suffix;
}

// Thresholds for `n` layers as a slider leaves them: strictly falling from at
// most 126 to 1.
Thresholds draggedThresholds(std::mt19937 &random, int n)
{
    QList<int> values;
    for (int value = 2; value <= 126; ++value)
        values << value;
    std::shuffle(values.begin(), values.end(), random);
    Thresholds picked = values.mid(0, n - 1);
    std::sort(picked.begin(), picked.end(), std::greater<int>());
    return picked << 1;
}

} // namespace

class TestQmsTool : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void versionAndHelp_data();
    void versionAndHelp();
    void buildAndInspect_data();
    void buildAndInspect();
    void relativePaths();
    void extractRoundTrip_data();
    void extractRoundTrip();
    void refusals_data();
    void refusals();
    void outputIsALayer();
    void pipedInput();
    void writeFails();
    void badThresholds_data();
    void badThresholds();
    void usageErrors_data();
    void usageErrors();
    void checkLines();
    void checkAgreesWithReader();
    void inspectDamaged_data();
    void inspectDamaged();
    void notASoundFile_data();
    void notASoundFile();
    void noLayers();
    void failuresKeepTheOldFile_data();
    void failuresKeepTheOldFile();
    void interruptedWrite_data();
    void interruptedWrite();
    void longOutputName_data();
    void longOutputName();
    void inexactArguments_data();
    void inexactArguments();
    void standardOutputFails_data();
    void standardOutputFails();
    void controlCharactersEscaped();
    void soxWaveAccepted();
    void ffmpegWaveRefused();
    void convert_data();
    void convert();
    void buildPrepared_data();
    void buildPrepared();
    void buildConvertInterrupted();
    void temporaryFolderMissing();
    void linksOnTheWay_data();
    void linksOnTheWay();
    void fileSystemsWithoutLinks_data();
    void fileSystemsWithoutLinks();
    void standardStreams();
    void longNamesConverted();
    void replaceOnlySoundFiles_data();
    void replaceOnlySoundFiles();
    void jsonDocuments();
    void analyze();
    void verbosity();

private:
    QString path(const QString &name) const { return fixtures.filePath(name); }
    QString outPath() const { return work->filePath(QStringLiteral("out.qms")); }

    // Audio files made by sox and ffmpeg, copied into the work folder;
    // false (the test skipped) when they cannot be made.
    bool copyAudio();

    QTemporaryDir fixtures;
    QByteArray previous;                 // an earlier sound file at the output
    QTemporaryDir audio;                 // made once, by copyAudio()
    std::unique_ptr<QTemporaryDir> work; // fresh for every test function
};

void TestQmsTool::initTestCase()
{
    QVERIFY(QFileInfo(QStringLiteral(QMSTOOL_PATH)).isExecutable());
    QVERIFY(fixtures.isValid());
    writeWave(path(QStringLiteral("good.wav")), 1000);
    writeWave(path(QStringLiteral("big.wav")), 3141631); // slot 3141632
    writeWave(path(QStringLiteral("over.wav")), 4096);   // slot 4608
    writeWave(path(QStringLiteral("fits.wav")), 4095);   // slot 4096
    writeWave(path(QStringLiteral("short.wav")), 100);   // data length out of range
    QVERIFY(makeFifo(path(QStringLiteral("pipe.wav"))));
    QByteArray list = waveHeader(88200);
    list.replace(36, 4, "LIST");
    QVERIFY(writeFile(path(QStringLiteral("list.wav")), list + QByteArray(2000, '\1')));
    QByteArray rate = waveHeader(2000);
    rate.replace(24, 4, le32(48000));
    QVERIFY(writeFile(path(QStringLiteral("rate.wav")), rate + QByteArray(2000, '\1')));
    SoundJob job = soundJob(path(QStringLiteral("previous.qms")), {1024});
    job.Paths[0] = path(QStringLiteral("good.wav"));
    DebugCapture quiet;
    QCOMPARE(WriteSoundFile(job).Status, WriteStatus::Written);
    previous = readFile(job.FilePath);
}

void TestQmsTool::init()
{
    work = std::make_unique<QTemporaryDir>();
    QVERIFY(work->isValid());
}

void TestQmsTool::versionAndHelp_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    QTest::newRow("--version") << QStringList{QStringLiteral("--version")} << 0
                               << QStringLiteral("qmstool " QMS_VERSION "\n") << QString();
    QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << 0
                            << QStringLiteral("  convert -d DIR [-f] [--trim[=DB]]") << QString();
    QTest::newRow("help build") << QStringList{QStringLiteral("help"), QStringLiteral("build")} << 0
                                << QStringLiteral("Usage: qmstool build -o OUT.qms") << QString();
    // Help anywhere after the command, and nothing written.
    QTest::newRow("build ... --help-all")
        << QStringList{QStringLiteral("build"), QStringLiteral("-o"), QStringLiteral("%out"),
                       QStringLiteral("%wav"), QStringLiteral("--help-all")}
        << 0 << QStringLiteral("Usage: qmstool build -o OUT.qms") << QString();
    QTest::newRow("-q build -h") << QStringList{QStringLiteral("-q"),   QStringLiteral("build"),
                                                QStringLiteral("-o"),   QStringLiteral("%out"),
                                                QStringLiteral("%wav"), QStringLiteral("-h")}
                                 << 0 << QStringLiteral("Usage: qmstool build -o OUT.qms")
                                 << QString();
    QTest::newRow("build --help") << QStringList{QStringLiteral("build"), QStringLiteral("--help")}
                                  << 0 << QStringLiteral("Usage: qmstool build -o OUT.qms")
                                  << QString();
    QTest::newRow("convert --help")
        << QStringList{QStringLiteral("convert"), QStringLiteral("--help")} << 0
        << QStringLiteral(
               "Usage: qmstool convert -o OUT.wav [-f] [--trim[=DB]] [--loudness=LUFS |\n"
               "                       --peak=DBFS] [--fade=MS] [--fit] INPUT\n"
               "       qmstool convert -d DIR [-f] [--trim[=DB]]")
        << QString();
    QTest::newRow("check -h") << QStringList{QStringLiteral("check"), QStringLiteral("-h")} << 0
                              << QStringLiteral("Usage: qmstool check WAV...") << QString();
    QTest::newRow("inspect --help")
        << QStringList{QStringLiteral("inspect"), QStringLiteral("--help")} << 0
        << QStringLiteral("Usage: qmstool inspect FILE.qms") << QString();
    QTest::newRow("extract --help")
        << QStringList{QStringLiteral("extract"), QStringLiteral("--help")} << 0
        << QStringLiteral("Usage: qmstool extract [-d DIR] FILE.qms") << QString();
    QTest::newRow("no command") << QStringList{} << 2 << QString()
                                << QStringLiteral("qmstool: no command given");
    QTest::newRow("unknown command") << QStringList{QStringLiteral("pack")} << 2 << QString()
                                     << QStringLiteral("qmstool: unknown command \"pack\"");
    QTest::newRow("unknown option")
        << QStringList{QStringLiteral("check"), QStringLiteral("--fast"), QStringLiteral("a.wav")}
        << 2 << QString() << QStringLiteral("Unknown option 'fast'");
    QTest::newRow("help of no command")
        << QStringList{QStringLiteral("help"), QStringLiteral("pack")} << 2 << QString()
        << QStringLiteral("qmstool: unknown command \"pack\"");
}

void TestQmsTool::versionAndHelp()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    for (QString &argument : arguments) {
        argument.replace(QLatin1String("%out"), outPath())
            .replace(QLatin1String("%wav"), path(QStringLiteral("good.wav")));
    }

    const Result result = qmstool(arguments);
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(result.out.contains(out), qPrintable(describe(result)));
    QVERIFY2(result.err.contains(err), qPrintable(describe(result)));
    if (exitCode == 2)
        QVERIFY(result.err.contains(QLatin1String("' for more information.")));
    else
        QVERIFY(result.err.isEmpty());
    QVERIFY(!QFile::exists(outPath()));
}

void TestQmsTool::buildAndInspect_data()
{
    QTest::addColumn<Lengths>("dataLengths");
    QTest::addColumn<QString>("thresholdOption");
    QTest::addColumn<Thresholds>("thresholds"); // as the layer table holds them

    QTest::newRow("one layer") << Lengths{100000} << QString()
                               << Thresholds{1, 1, 1, 1, 1, 1, 1, 1};
    QTest::newRow("three layers") << Lengths{88200, 1000, 512} << QString()
                                  << Thresholds{85, 43, 1, 1, 1, 1, 1, 1};
    QTest::newRow("four layers") << Lengths{1023, 1024, 2000, 4096} << QString()
                                 << Thresholds{94, 63, 32, 1, 1, 1, 1, 1};
    QTest::newRow("eight layers") << Lengths{513, 1100, 2047, 3000, 4096, 10000, 22050, 44100}
                                  << QString() << Thresholds{113, 97, 81, 65, 49, 33, 17, 1};
    // Thresholds set by hand: the empty layers end as a slider drag leaves them.
    QTest::newRow("three layers, -t") << Lengths{5000, 5000, 5000} << QStringLiteral("100,50,1")
                                      << Thresholds{100, 50, 1, 0, -1, -2, -3, -4};
    QTest::newRow("two layers, -t highest") << Lengths{600, 700} << QStringLiteral("126,1")
                                            << Thresholds{126, 1, 0, -1, -2, -3, -4, -5};
    QTest::newRow("five layers, -t tight")
        << Lengths{600, 700, 800, 900, 1000} << QStringLiteral("10, 8,5,2,1")
        << Thresholds{10, 8, 5, 2, 1, 0, -1, -2};
    QTest::newRow("four layers, -t as the spread")
        << Lengths{600, 700, 800, 900} << QStringLiteral("94,63,32,1")
        << Thresholds{94, 63, 32, 1, 1, 1, 1, 1};
    QTest::newRow("one layer, -t 1")
        << Lengths{600} << QStringLiteral("1") << Thresholds{1, 1, 1, 1, 1, 1, 1, 1};
}

// Builds a sound file with qmstool and checks it three ways: byte for byte
// against what the window's Generate writes for the same table, its samples
// in place, and inspect's report against values worked out here.
void TestQmsTool::buildAndInspect()
{
    QFETCH(Lengths, dataLengths);
    QFETCH(QString, thresholdOption);
    QFETCH(Thresholds, thresholds);
    const int n = dataLengths.size();

    QStringList wavs;
    QList<QByteArray> samples;
    for (int k = 0; k < n; ++k) {
        wavs << work->filePath(QStringLiteral("layer%1.wav").arg(k + 1));
        samples << writeWave(wavs.last(), dataLengths.at(k), -1, k + 7);
    }
    QStringList arguments{QStringLiteral("build"), QStringLiteral("-o"), outPath()};
    if (!thresholdOption.isEmpty())
        arguments << QStringLiteral("-t") << thresholdOption;
    const Result built = qmstool(arguments + wavs);
    QCOMPARE(built.exitCode, 0);
    const QByteArray file = readFile(outPath());
    qint64 used = 0;
    for (int length : dataLengths)
        used += slotSize(length);
    QCOMPARE(built.out, QStringLiteral("Wrote %1: %2 %3, %4 s of 35.6 s, %5 %; %6 bytes\n")
                            .arg(outPath())
                            .arg(n)
                            .arg(n == 1 ? "layer" : "layers")
                            .arg(used / 88200.0, 0, 'f', 1)
                            .arg(used * 100 / 3141632) // as the window's bar counts
                            .arg(file.size()));
    QVERIFY2(built.err.isEmpty(), qPrintable(built.err));

    // Built again over it (a sound file is replaced without --force), as JSON.
    const Result rebuilt = qmstool(arguments + wavs + QStringList{QStringLiteral("--json")});
    QCOMPARE(rebuilt.exitCode, 0);
    const QJsonObject report = QJsonDocument::fromJson(rebuilt.out.toUtf8()).object();
    QCOMPARE(report.value(QLatin1String("bytes")).toInteger(), file.size());
    QCOMPARE(report.value(QLatin1String("seconds_used")).toDouble(), used / 88200.0);
    // The longest data whose slot still fits: a slot is the length cut to whole 512s, plus 512.
    const qint64 room = 3145728 - used;
    const qint64 longest = room < 1024 ? 0 : qMin<qint64>(room / 512 * 512 - 1, 3141631);
    QCOMPARE(report.value(QLatin1String("seconds_left")).toDouble(), longest / 88200.0);
    QJsonArray tableThresholds;
    for (int t : thresholds)
        tableThresholds.append(t);
    QCOMPARE(report.value(QLatin1String("thresholds")).toArray(), tableThresholds);
    QCOMPARE(report.value(QLatin1String("layers")).toArray().size(), n);
    const QJsonObject last = report.value(QLatin1String("layers")).toArray().last().toObject();
    QCOMPARE(last.value(QLatin1String("slot_size")).toInteger(), slotSize(dataLengths.last()));
    QCOMPARE(last.value(QLatin1String("threshold")).toInt(), 1);
    QCOMPARE(withoutTag(readFile(outPath())), withoutTag(file));

    // The window's way: the table filled by its add action, then Generate.
    LayerTable table;
    for (int k = 0; k < n; ++k) {
        table.LayerPath[k] = wavs.at(k);
        table.LayerName[k] = QStringLiteral("layer%1.wav").arg(k + 1);
        table.LayerSize[k] = slotSize(dataLengths.at(k));
        table.UsedSpace += table.LayerSize[k];
    }
    table.LayerCount = n;
    for (int layer = 1; layer <= 8; ++layer)
        table.LayerThreshold[layer] = thresholds.at(layer - 1);
    QDir(work->path()).mkdir(QStringLiteral("window"));
    table.SoundFilePath = work->filePath(QStringLiteral("window/out.qms"));
    table.SoundFileName = QStringLiteral("out.qms");
    {
        DebugCapture quiet; // the writer's own debug lines
        QCOMPARE(WriteSoundFile(MakeSoundJob(table)).Status, WriteStatus::Written);
    }
    QCOMPARE(withoutTag(file), withoutTag(readFile(table.SoundFilePath)));

    int nameBytes = 7; // out.qms
    for (int k = 0; k < n; ++k)
        nameBytes += 10; // layerN.wav
    const int headerLength = ((114 + nameBytes) / 512 + 1) * 512;
    qint64 offset = headerLength;
    QList<qint64> offsets;
    for (int k = 0; k < n; ++k) {
        offsets << offset;
        QCOMPARE(file.mid(offset, dataLengths.at(k)), samples.at(k));
        offset += slotSize(dataLengths.at(k));
    }
    QCOMPARE(file.size(), offset);

    const Result inspected =
        qmstool({QStringLiteral("inspect"), QStringLiteral("--json"), outPath()});
    QCOMPARE(inspected.exitCode, 0);
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(inspected.out.toUtf8(), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(json.value(QLatin1String("file_name")).toString(), QStringLiteral("out.qms"));
    QCOMPARE(json.value(QLatin1String("header_length")).toInteger(), headerLength);
    QCOMPARE(json.value(QLatin1String("layer_count")).toInteger(), n);
    QCOMPARE(json.value(QLatin1String("file_length")).toInteger(), file.size());
    QCOMPARE(json.value(QLatin1String("valid")).toBool(), true);
    QCOMPARE(json.value(QLatin1String("problems")).toArray().size(), 0);
    QJsonArray storedThresholds;
    for (int t : thresholds)
        storedThresholds.append(t & 0x7F);
    QCOMPARE(json.value(QLatin1String("thresholds")).toArray(), storedThresholds);
    const QJsonArray layers = json.value(QLatin1String("layers")).toArray();
    QCOMPARE(layers.size(), n);
    for (int k = 0; k < n; ++k) {
        const QJsonObject layer = layers.at(k).toObject();
        QCOMPARE(layer.value(QLatin1String("name")).toString(),
                 QStringLiteral("layer%1.wav").arg(k + 1));
        QCOMPARE(layer.value(QLatin1String("threshold")).toInt(), thresholds.at(k));
        QCOMPARE(layer.value(QLatin1String("offset")).toInteger(), offsets.at(k));
        QCOMPARE(layer.value(QLatin1String("size")).toInteger(), slotSize(dataLengths.at(k)));
    }

    const Result text = qmstool({QStringLiteral("inspect"), outPath()});
    QCOMPARE(text.exitCode, 0);
    QVERIFY2(text.out.endsWith(QLatin1String("\nValid\n")), qPrintable(text.out));
    QVERIFY(text.out.contains(QStringLiteral("%1  %2  %3  %4  layer1.wav")
                                  .arg(1, 5)
                                  .arg(thresholds.at(0), 9)
                                  .arg(headerLength, 8)
                                  .arg(slotSize(dataLengths.at(0)), 9)));
}

// Names in the header are the last path components, however the paths are
// written.
void TestQmsTool::relativePaths()
{
    writeWave(work->filePath(QStringLiteral("kick.wav")), 600);
    QDir(work->path()).mkdir(QStringLiteral("sub"));
    writeWave(work->filePath(QStringLiteral("sub/snare.wav")), 700);
    const Result built =
        qmstool({QStringLiteral("build"), QStringLiteral("-o"), QStringLiteral("demo.qms"),
                 QStringLiteral("./kick.wav"), QStringLiteral("sub/snare.wav")},
                work->path());
    QCOMPARE(built.exitCode, 0);
    const QByteArray file = readFile(work->filePath(QStringLiteral("demo.qms")));
    QCOMPARE(file.mid(104, 35), QByteArray("\ndemo.qms\nkick.wav\nsnare.wav\n\n\n\n\n\n\n"));
}

void TestQmsTool::extractRoundTrip_data()
{
    QTest::addColumn<int>("layers");
    QTest::addColumn<int>("bigLayer"); // the layer of 2097152 bytes or more, 0 for none
    QTest::addColumn<bool>("dragged"); // thresholds set by hand, not the spread

    QTest::newRow("1 layer") << 1 << 0 << false;
    QTest::newRow("2 layers, dragged") << 2 << 0 << true;
    QTest::newRow("3 layers") << 3 << 0 << false;
    QTest::newRow("4 layers, dragged") << 4 << 0 << true;
    QTest::newRow("5 layers, big 5") << 5 << 5 << false;
    QTest::newRow("6 layers, big 6, dragged") << 6 << 6 << true;
    QTest::newRow("7 layers, big 7, dragged") << 7 << 7 << true;
    QTest::newRow("8 layers, big 8") << 8 << 8 << false;
    QTest::newRow("8 layers, big 5, dragged") << 8 << 5 << true;
    QTest::newRow("8 layers, dragged") << 8 << 0 << true;
}

// Sets generated from the row's seed: built, extracted, and built again with
// the command extract prints, which gives the same bytes but for the tag.
void TestQmsTool::extractRoundTrip()
{
    QFETCH(int, layers);
    QFETCH(int, bigLayer);
    QFETCH(bool, dragged);
    std::mt19937 random(uint(layers * 10 + bigLayer + (dragged ? 100 : 0)));

    QStringList wavs;
    QList<QByteArray> samples;
    for (int k = 1; k <= layers; ++k) {
        // Whole samples, so every slot ends in zeros.
        const int length = k == bigLayer
                               ? 2 * std::uniform_int_distribution<int>(1048320, 1300000)(random)
                               : 2 * std::uniform_int_distribution<int>(256, 20000)(random);
        wavs << work->filePath(generatedName(random, k));
        samples << writeWave(wavs.last(), quint32(length), -1, k);
    }
    const Thresholds thresholds = dragged ? draggedThresholds(random, layers) : Thresholds();
    LayerThresholds spread;
    DistributeThresholds(spread, layers);
    const QString soundFile = work->filePath(QStringLiteral("\uFEFFs\u00e9t %1.qms").arg(layers));
    QStringList arguments{QStringLiteral("build"), QStringLiteral("-o"), soundFile};
    if (dragged) {
        QStringList list;
        for (int t : thresholds)
            list << QString::number(t);
        arguments << QStringLiteral("-t") << list.join(QLatin1Char(','));
    }
    const Result built = qmstool(arguments + wavs);
    QVERIFY2(built.exitCode == 0, qPrintable(describe(built)));
    const QByteArray original = readFile(soundFile);

    const Result extracted = qmstool({QStringLiteral("extract"), soundFile});
    QVERIFY2(extracted.exitCode == 0 && extracted.err.isEmpty(), qPrintable(describe(extracted)));
    QStringList lines = extracted.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), layers + 1);
    const QString folder = work->filePath(QStringLiteral("\uFEFFs\u00e9t %1-layers").arg(layers));
    for (int k = 1; k <= layers; ++k) {
        const QString wav = folder + QLatin1Char('/') + QFileInfo(wavs.at(k - 1)).fileName();
        QCOMPARE(lines.at(k - 1), QStringLiteral("layer %1, threshold %2: %3")
                                      .arg(k)
                                      .arg(dragged ? thresholds.at(k - 1) : spread[k])
                                      .arg(wav));
        // The recording and the zeros of its slot but the last two.
        const QByteArray data = readFile(wav).mid(44);
        QCOMPARE(data.size(), slotSize(samples.at(k - 1).size()) - 2);
        QCOMPARE(data, samples.at(k - 1) + QByteArray(data.size() - samples.at(k - 1).size(), 0));
    }
    QCOMPARE(entries(folder).size(), layers);

    QVERIFY(QFile::remove(soundFile));
    QProcess shell;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"), QFileInfo(QStringLiteral(QMSTOOL_PATH)).path() +
                                                   QLatin1Char(':') +
                                                   environment.value(QStringLiteral("PATH")));
    shell.setProcessEnvironment(environment);
    shell.setWorkingDirectory(work->path());
    shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), lines.last()});
    const Result rebuilt = finish(shell);
    QVERIFY2(rebuilt.exitCode == 0, qPrintable(lines.last() + "\n" + describe(rebuilt)));
    QCOMPARE(withoutTag(readFile(soundFile)), withoutTag(original));
}

void TestQmsTool::refusals_data()
{
    QTest::addColumn<QStringList>("wavs"); // names of fixtures; "" stays empty
    QTest::addColumn<QString>("output");   // in the work folder
    QTest::addColumn<QString>("message");  // %1: the fixture folder, %2: the work folder

    QTest::newRow("-1 empty path")
        << QStringList{QStringLiteral("good.wav"), QString()} << QStringLiteral("out.qms")
        << "qmstool: layer 2, \"\": -1 \"No File Choosen\": no file was chosen\n";
    QTest::newRow("-2 missing file")
        << QStringList{QStringLiteral("missing.wav")} << QStringLiteral("out.qms")
        << "qmstool: layer 1, %1/missing.wav: -2 \"File Error\": cannot be opened: No such file "
           "or directory\n";
    // Only a regular file can be a layer; a pipe is refused at once.
    QTest::newRow("-2 a named pipe")
        << QStringList{QStringLiteral("pipe.wav")} << QStringLiteral("out.qms")
        << "qmstool: layer 1, %1/pipe.wav: -2 \"File Error\": it is a named pipe (FIFO), not a "
           "regular file\n";
    // The names are stored one per line.
    QTest::newRow("-2 a line break in the name")
        << QStringList{QStringLiteral("two\nlines.wav")} << QStringLiteral("out.qms")
        << "qmstool: layer 1, %1/two\\x0alines.wav: -2 \"File Error\": its name contains a line "
           "break\n";
    QTest::newRow("-3 LIST chunk")
        << QStringList{QStringLiteral("good.wav"), QStringLiteral("list.wav")}
        << QStringLiteral("out.qms")
        << "qmstool: layer 2, %1/list.wav: -3 \"Incomatible file format\": a LIST chunk stands "
           "where the data chunk must start\n";
    // An audio file that can be converted: what it is, and a hint.
    QTest::newRow("-4 48000 Hz")
        << QStringList{QStringLiteral("rate.wav")} << QStringLiteral("out.qms")
        << "qmstool: layer 1, %1/rate.wav: -4 \"File Error\": WAV, 48000 Hz, 1 channel, 16-bit "
           "integer, 0.02 s; a layer must be 44100 Hz, 1 channel, 16-bit\n"
           "qmstool: \"qmstool convert\" makes a copy of it that can be a layer; \"build "
           "--convert\" converts it for this build only\n";
    QTest::newRow("-5 data too short")
        << QStringList{QStringLiteral("short.wav")} << QStringLiteral("out.qms")
        << "qmstool: layer 1, %1/short.wav: -5 \"File too big!\": data length 100 bytes, needs "
           "512 to 3141631\n";
    const QString longName = QString(77, QLatin1Char('n')) + QStringLiteral(".wav");
    QTest::newRow("-6 name of 81 characters")
        << QStringList{longName} << QStringLiteral("out.qms")
        << "qmstool: layer 1, %1/" + longName +
               ": -6 \"Filename is toooo long!\": the file name has 81 characters, at most 80\n";
    QTest::newRow("-7 over capacity")
        << QStringList{QStringLiteral("big.wav"), QStringLiteral("over.wav")}
        << QStringLiteral("out.qms")
        << "qmstool: layer 2, %1/over.wav: -7 \"Not enough space!\": the layer needs 4608 bytes "
           "(0.05 s); 4096 of the 3145728 bytes are left (0.05 s of 35.62 s)\n";
    QTest::newRow("writer -2: no room for the header")
        << QStringList{QStringLiteral("big.wav"), QStringLiteral("fits.wav")}
        << QStringLiteral("out.qms")
        << "qmstool: %2/out.qms not written: the header of 512 bytes and the slots of 3145728 "
           "bytes make 3146240, more than the capacity of 3145728\n";
    QTest::newRow("writer -1: no such folder")
        << QStringList{QStringLiteral("good.wav")} << QStringLiteral("nowhere/out.qms")
        << "qmstool: %2/nowhere/out.qms not written: its folder %2/nowhere does not exist\n";
    QTest::newRow("writer -1: a folder")
        << QStringList{QStringLiteral("good.wav")} << QStringLiteral("folder.qms")
        << "qmstool: %2/folder.qms not written: it is a folder\n";
    QTest::newRow("writer -1: a named pipe")
        << QStringList{QStringLiteral("good.wav")} << QStringLiteral("pipe.qms")
        << "qmstool: %2/pipe.qms not written: it is a named pipe (FIFO), not a regular file\n";
    QTest::newRow("writer -1: a line break in the name")
        << QStringList{QStringLiteral("good.wav")} << QStringLiteral("two\nlines.qms")
        << "qmstool: %2/two\\x0alines.qms not written: its name contains a line break\n";
}

// An output that is one of the layers' WAV files would destroy it.
void TestQmsTool::outputIsALayer()
{
    const QString wav = work->filePath(QStringLiteral("layer.wav"));
    const QByteArray before = writeWave(wav, 1000);
    const Result result = qmstool({QStringLiteral("build"), QStringLiteral("-o"), wav, wav, wav});
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(
        result.err,
        QStringLiteral("qmstool: %1 not written: it is the WAV file of layer 1, %1\n").arg(wav));
    QCOMPARE(readFile(wav), waveHeader(1000) + before);
}

// Every refusal names the file and the reason, exits with 1 and leaves an
// earlier file at the output untouched, with no stray file next to it.
void TestQmsTool::refusals()
{
    QFETCH(QStringList, wavs);
    QFETCH(QString, output);
    QFETCH(QString, message);

    const QString out = work->filePath(output);
    QDir(work->path()).mkdir(QStringLiteral("folder.qms"));
    QVERIFY(makeFifo(work->filePath(QStringLiteral("pipe.qms"))));
    const bool outputIsFile = QFileInfo(out).dir().exists() && !QFileInfo::exists(out);
    if (outputIsFile)
        QVERIFY(writeFile(out, previous));
    const QStringList before = entries(work->path());

    QStringList arguments{QStringLiteral("build"), QStringLiteral("-o"), out};
    for (const QString &wav : wavs)
        arguments << (wav.isEmpty() ? wav : path(wav));
    const Result result = qmstool(arguments);

    QCOMPARE(result.exitCode, 1);
    QString expected = message;
    expected.replace(QLatin1String("%1"), fixtures.path())
        .replace(QLatin1String("%2"), work->path());
    if (!expected.contains(QLatin1String(" not written")))
        expected += QStringLiteral("qmstool: %1 not written\n").arg(out);
    QCOMPARE(tree(work->path()).filter(QStringLiteral("pipe.qms p")).size(), 1);
    QCOMPARE(result.err, expected);
    QVERIFY(result.out.isEmpty());
    QCOMPARE(entries(work->path()), before);
    if (outputIsFile)
        QCOMPARE(readFile(out), previous);
}

// A WAV file piped in (/dev/stdin, a process substitution) is not a
// regular file: refused at once by check and build, never read twice.
void TestQmsTool::pipedInput()
{
    for (const QString &command : {QStringLiteral("check"), QStringLiteral("build")}) {
        QProcess process;
        QStringList arguments{command, QStringLiteral("/dev/stdin")};
        if (command == QLatin1String("build"))
            arguments = QStringList{command, QStringLiteral("-o"), outPath()} + arguments.mid(1);
        startTool(process, arguments);
        process.write(waveFile(1000));
        process.closeWriteChannel();
        const Result result = finish(process);
        QCOMPARE(result.exitCode, 1);
        QVERIFY2((result.out + result.err)
                     .contains(QLatin1String("/dev/stdin: -2 \"File Error\": it is a named pipe")),
                 qPrintable(describe(result)));
        QVERIFY(!QFile::exists(outPath()));
    }
}

// A full disk, played by a file size limit on the child: -3, and nothing
// replaced.
void TestQmsTool::writeFails()
{
    QVERIFY(writeFile(outPath(), previous));
    QProcess process;
    process.setChildProcessModifier([] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{2000, 2000};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    startTool(process, {QStringLiteral("build"), QStringLiteral("-o"), outPath(),
                        path(QStringLiteral("good.wav")), path(QStringLiteral("good.wav"))});
    const Result result = finish(process);
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err, QStringLiteral("qmstool: %1 not written: writing failed: File too large; "
                                        "a file that was there before is unchanged\n")
                             .arg(outPath()));
    QCOMPARE(readFile(outPath()), previous);
    QCOMPARE(entries(work->path()), QStringList{QStringLiteral("out.qms")});
}

void TestQmsTool::badThresholds_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("message");

    QTest::newRow("too few") << QStringLiteral("85,1")
                             << QStringLiteral(
                                    "2 thresholds given for 3 layers; give one per layer");
    QTest::newRow("too many") << QStringLiteral("85,43,2,1")
                              << QStringLiteral(
                                     "4 thresholds given for 3 layers; give one per layer");
    QTest::newRow("rising") << QStringLiteral("85,90,1")
                            << QStringLiteral("threshold 2 (90) is not below threshold 1 (85); "
                                              "they must fall strictly from layer 1 on");
    QTest::newRow("equal") << QStringLiteral("85,85,1")
                           << QStringLiteral("threshold 2 (85) is not below threshold 1 (85); they "
                                             "must fall strictly from layer 1 on");
    QTest::newRow("last 2") << QStringLiteral("85,43,2")
                            << QStringLiteral("the last threshold is 2, it must be 1");
    QTest::newRow("last 0") << QStringLiteral("85,43,0")
                            << QStringLiteral("the last threshold is 0, it must be 1");
    QTest::newRow("first 127") << QStringLiteral("127,43,1")
                               << QStringLiteral("the first threshold is 127, at most 126");
    QTest::newRow("not a number") << QStringLiteral("85,x,1")
                                  << QStringLiteral("threshold \"x\" is not a whole number");
    QTest::newRow("fraction") << QStringLiteral("85,4.5,1")
                              << QStringLiteral("threshold \"4.5\" is not a whole number");
    QTest::newRow("semicolons") << QStringLiteral("85;43;1")
                                << QStringLiteral("threshold \"85;43;1\" is not a whole number");
    QTest::newRow("empty") << QString() << QStringLiteral("threshold \"\" is not a whole number");
}

void TestQmsTool::badThresholds()
{
    QFETCH(QString, option);
    QFETCH(QString, message);
    const QString good = path(QStringLiteral("good.wav"));
    const Result result = qmstool({QStringLiteral("build"), QStringLiteral("-o"), outPath(),
                                   QStringLiteral("-t"), option, good, good, good});
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.err,
             QStringLiteral("qmstool: %1\nTry 'qmstool build --help' for more information.\n")
                 .arg(message));
    QVERIFY(!QFile::exists(outPath()));
}

void TestQmsTool::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments"); // %out: the output, %wav: a good WAV file
    QTest::addColumn<QString>("message");

    const QString b = QStringLiteral("build");
    const QString o = QStringLiteral("-o");
    const QString out = QStringLiteral("%out");
    const QString wav = QStringLiteral("%wav");
    QTest::newRow("no output") << QStringList{b, wav}
                               << QStringLiteral("build needs one output file: -o OUT.qms");
    QTest::newRow("empty output") << QStringList{b, o, QString(), wav}
                                  << QStringLiteral("build needs one output file: -o OUT.qms");
    QTest::newRow("two outputs") << QStringList{b, o, out, o, out, wav}
                                 << QStringLiteral("build needs one output file: -o OUT.qms");
    QTest::newRow("-o without a value")
        << QStringList{b, wav, o} << QStringLiteral("Missing value after '-o'.");
    QTest::newRow("no WAV") << QStringList{b, o, out}
                            << QStringLiteral("build takes 1 to 8 WAV files, not 0");
    QTest::newRow("nine WAVs") << (QStringList{b, o, out} + QStringList(9, wav))
                               << QStringLiteral("build takes 1 to 8 WAV files, not 9");
    QTest::newRow("two -t") << QStringList{b,
                                           o,
                                           out,
                                           QStringLiteral("-t"),
                                           QStringLiteral("1"),
                                           QStringLiteral("-t"),
                                           QStringLiteral("1"),
                                           wav}
                            << QStringLiteral("give the thresholds once, with one -t");
    QTest::newRow("check nothing") << QStringList{QStringLiteral("check")}
                                   << QStringLiteral("check needs at least one WAV file");
    const QString c = QStringLiteral("convert");
    QTest::newRow("convert: no -o or -d")
        << QStringList{c, wav} << QStringLiteral("convert needs one of -o OUT.wav or -d DIR");
    QTest::newRow("convert: -o and -d")
        << QStringList{c, o, out, QStringLiteral("-d"), out, wav}
        << QStringLiteral("convert needs one of -o OUT.wav or -d DIR");
    QTest::newRow("convert -o: two inputs")
        << QStringList{c, o, out, wav, wav}
        << QStringLiteral("convert -o takes one input file, not 2; use -d DIR for more");
    QTest::newRow("convert nothing")
        << QStringList{c, o, out} << QStringLiteral("convert needs at least one input file");
    QTest::newRow("inspect nothing") << QStringList{QStringLiteral("inspect")}
                                     << QStringLiteral("inspect takes one sound file, not 0");
    QTest::newRow("inspect two") << QStringList{QStringLiteral("inspect"), out, out}
                                 << QStringLiteral("inspect takes one sound file, not 2");
    QTest::newRow("extract nothing") << QStringList{QStringLiteral("extract")}
                                     << QStringLiteral("extract takes one sound file, not 0");
    QTest::newRow("extract, two -d") << QStringList{QStringLiteral("extract"),
                                                    QStringLiteral("-d"),
                                                    out,
                                                    QStringLiteral("-d"),
                                                    out,
                                                    out}
                                     << QStringLiteral("give one folder with -d");
    // "-" is standard input or output, and only convert takes it.
    QTest::newRow("build -o -") << QStringList{b, o, QStringLiteral("-"), wav}
                                << QStringLiteral("build takes no standard input or output "
                                                  "(\"-\"); a file called so is ./-");
    QTest::newRow("check -") << QStringList{QStringLiteral("check"), QStringLiteral("-")}
                             << QStringLiteral("check takes no standard input or output "
                                               "(\"-\"); a file called so is ./-");
    QTest::newRow("convert -d -") << QStringList{c, QStringLiteral("-d"), QStringLiteral("-"), wav}
                                  << QStringLiteral(
                                         "-d needs a folder; for standard output use -o -");
    QTest::newRow("convert -d DIR -")
        << QStringList{c, QStringLiteral("-d"), out, QStringLiteral("-")}
        << QStringLiteral("a copy of standard input needs a name: -o OUT.wav");
    QTest::newRow("convert -o - --json")
        << QStringList{c, o, QStringLiteral("-"), QStringLiteral("--json"), wav}
        << QStringLiteral("--json and -o - both need standard output");
    // Preparing: refused before anything is read.
    QTest::newRow("convert --loudness --peak")
        << QStringList{c,
                       o,
                       out,
                       QStringLiteral("--loudness=-20"),
                       QStringLiteral("--peak"),
                       QStringLiteral("-1"),
                       wav}
        << QStringLiteral("a loudness and a peak level cannot both be set");
    QTest::newRow("convert --trim -50")
        << QStringList{c, o, out, QStringLiteral("--trim"), QStringLiteral("-50"), wav}
        << QStringLiteral("--trim takes its value after \"=\": --trim=-50");
    QTest::newRow("build --convert --fade=abc")
        << QStringList{b, QStringLiteral("--convert"), QStringLiteral("--fade=abc"), o, out, wav}
        << QStringLiteral("--fade takes a number, not \"abc\"");
    QTest::newRow("build --fit without --convert")
        << QStringList{b, QStringLiteral("--fit"), o, out, wav}
        << QStringLiteral("--fit needs --convert, which makes the copies it prepares");
}

void TestQmsTool::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const QString wav = work->filePath(QStringLiteral("layer.wav"));
    const QByteArray samples = writeWave(wav, 1000);
    for (QString &argument : arguments)
        argument.replace(QLatin1String("%out"), outPath()).replace(QLatin1String("%wav"), wav);
    message.replace(QLatin1String("%wav"), wav);

    const Result result = qmstool(arguments);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.err, QStringLiteral("qmstool: %1\nTry 'qmstool %2 --help' for more "
                                        "information.\n")
                             .arg(message, arguments.first()));
    QVERIFY(result.out.isEmpty());
    QVERIFY(!QFile::exists(outPath()));
    QCOMPARE(readFile(wav), waveHeader(1000) + samples);
}

void TestQmsTool::checkLines()
{
    const QStringList names{QStringLiteral("good.wav"), QStringLiteral("list.wav"),
                            QStringLiteral("rate.wav"), QStringLiteral("big.wav"),
                            QStringLiteral("short.wav")};
    QStringList arguments{QStringLiteral("check")};
    for (const QString &name : names)
        arguments << path(name);
    const Result mixed = qmstool(arguments);
    QCOMPARE(mixed.exitCode, 1);
    const QString dir = fixtures.path();
    QCOMPARE(mixed.out,
             QStringLiteral("%1/good.wav: 0.01 s, slot 1024 bytes\n"
                            "%1/list.wav: -3 \"Incomatible file format\": a LIST chunk stands "
                            "where the data chunk must start\n"
                            "%1/rate.wav: -4 \"File Error\": WAV, 48000 Hz, 1 channel, 16-bit "
                            "integer, 0.02 s; a layer must be 44100 Hz, 1 channel, 16-bit\n"
                            "%1/big.wav: 35.62 s, slot 3141632 bytes\n"
                            "%1/short.wav: -5 \"File too big!\": data length 100 bytes, needs 512 "
                            "to 3141631\n")
                 .arg(dir));
    QCOMPARE(mixed.err, QStringLiteral("qmstool: \"qmstool convert\" makes copies of the audio "
                                       "files above that can be layers; \"build --convert\" "
                                       "converts them for a build only\n"));

    const Result good = qmstool({QStringLiteral("check"), path(QStringLiteral("good.wav")),
                                 path(QStringLiteral("fits.wav"))});
    QCOMPARE(good.exitCode, 0);
    QCOMPARE(good.out, QStringLiteral("%1/good.wav: 0.01 s, slot 1024 bytes\n"
                                      "%1/fits.wav: 0.05 s, slot 4096 bytes\n")
                           .arg(dir));
}

// The check gives the reader's verdict for every file, whatever is wrong
// with it.
void TestQmsTool::checkAgreesWithReader()
{
    QStringList files;
    auto add = [&](const QString &name, const QByteArray &bytes) {
        files << work->filePath(name);
        QVERIFY(writeFile(files.last(), bytes));
    };
    const QByteArray good = waveHeader(88200) + QByteArray(100, '\2');
    add(QStringLiteral("good.wav"), good);
    add(QStringLiteral("empty.wav"), QByteArray());
    add(QStringLiteral("43bytes.wav"), good.left(43));
    add(QStringLiteral("40bytes.wav"), good.left(40));
    add(QStringLiteral("stereo-big.wav"),
        patched(patched(good, 22, QByteArray("\x02", 1)), 40, le32(4000000)));
    add(QStringLiteral("rate-high-bytes.wav"),
        patched(good, 24, QByteArray("\x44\xAC\x01\x00", 4)));
    add(QStringLiteral("format-0101.wav"), patched(good, 20, QByteArray("\x01\x01", 2)));
    add(QStringLiteral("8bit.wav"), patched(good, 34, QByteArray("\x08", 1)));
    add(QStringLiteral("len512.wav"), patched(good, 40, le32(512)));
    add(QStringLiteral("len511.wav"), patched(good, 40, le32(511)));
    add(QStringLiteral("len3141631.wav"), patched(good, 40, le32(3141631)));
    add(QStringLiteral("len3141632.wav"), patched(good, 40, le32(3141632)));
    add(QStringLiteral("noriff.wav"), patched(patched(good, 0, "XXXX"), 8, "YYYY"));
    files << work->filePath(QStringLiteral("missing.wav")) << QString();

    const Result result =
        qmstool(QStringList{QStringLiteral("check"), QStringLiteral("--json")} + files);
    const QJsonArray checked = QJsonDocument::fromJson(result.out.toUtf8())
                                   .object()
                                   .value(QLatin1String("files"))
                                   .toArray();
    QCOMPARE(checked.size(), files.size());
    bool anyRefused = false;
    DebugCapture quiet; // the reader's own debug lines
    for (int i = 0; i < files.size(); ++i) {
        const int verdict = ReadWaveFile(files.at(i));
        anyRefused = anyRefused || verdict <= 0;
        const QJsonObject file = checked.at(i).toObject();
        QCOMPARE(file.value(QLatin1String("file")).toString(), files.at(i));
        QCOMPARE(file.value(QLatin1String("status")).toInt(), qMin(verdict, 0));
        QCOMPARE(file.value(QLatin1String("slot_size")).toInt(), qMax(verdict, 0));
    }
    QCOMPARE(result.exitCode, anyRefused ? 1 : 0);
}

void TestQmsTool::inspectDamaged_data()
{
    QTest::addColumn<int>("damage");
    QTest::addColumn<QString>("problem");

    QTest::newRow("signature") << 0 << QStringLiteral("the signature differs");
    QTest::newRow("truncated") << 1 << QStringLiteral("bytes long, but its header and slots make");
    QTest::newRow("offset of layer 2") << 2
                                       << QStringLiteral("the data offset of layer 2 is 2048, "
                                                         "expected 1536");
    QTest::newRow("block count of layer 2") << 3
                                            << QStringLiteral("the page count of layer 2 is 4, "
                                                              "its block count gives 6");
    QTest::newRow("header length 700") << 4
                                       << QStringLiteral("the header length 700 (data offset of "
                                                         "layer 1) is not a multiple of 512");
    QTest::newRow("garbage") << 5 << QStringLiteral("the signature differs");
    QTest::newRow("empty") << 6 << QStringLiteral("the file is empty");
    QTest::newRow("cut inside the header") << 7 << QStringLiteral("inside the header of 512 bytes");
}

// Damaged copies of a good file: exit 1 and the problem named, as JSON and
// as text.
void TestQmsTool::inspectDamaged()
{
    QFETCH(int, damage);
    QFETCH(QString, problem);

    const QString wav = work->filePath(QStringLiteral("layer.wav"));
    writeWave(wav, 1000);
    QCOMPARE(
        qmstool({QStringLiteral("build"), QStringLiteral("-o"), outPath(), wav, wav, wav}).exitCode,
        0);
    QByteArray bytes = readFile(outPath());
    QCOMPARE(bytes.size(), 512 + 3 * 1024);
    switch (damage) {
    case 0:
        bytes[5] = 'X';
        break;
    case 1:
        bytes.chop(100);
        break;
    case 2:
        bytes = patched(bytes, 60, le32(2048));
        break;
    case 3:
        bytes = patched(bytes, 50, QByteArray("\x03\x00", 2));
        break;
    case 4:
        bytes = patched(bytes, 56, le32(700));
        break;
    case 5:
        bytes = samplePattern(5000, 11);
        break;
    case 6:
        bytes.clear();
        break;
    case 7:
        bytes.truncate(300);
        break;
    }
    const QString damaged = work->filePath(QStringLiteral("damaged.qms"));
    QVERIFY(writeFile(damaged, bytes));

    const Result json = qmstool({QStringLiteral("inspect"), QStringLiteral("--json"), damaged});
    QCOMPARE(json.exitCode, 1);
    const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8()).object();
    QCOMPARE(object.value(QLatin1String("valid")).toBool(true), false);
    QCOMPARE(object.value(QLatin1String("file_length")).toInteger(), bytes.size());
    const QJsonArray problems = object.value(QLatin1String("problems")).toArray();
    QVERIFY(!problems.isEmpty());
    bool named = false;
    for (const QJsonValue &value : problems)
        named = named || value.toString().contains(problem);
    QVERIFY2(named, qPrintable(json.out));
    QVERIFY(json.err.startsWith(
        QStringLiteral("qmstool: %1 is not a valid sound file (").arg(damaged)));

    const Result text = qmstool({QStringLiteral("inspect"), damaged});
    QCOMPARE(text.exitCode, 1);
    QVERIFY2(text.out.contains(QLatin1String("\nNot valid:\n")), qPrintable(text.out));
    QVERIFY2(text.out.contains(problem), qPrintable(text.out));
    QCOMPARE(text.err, json.err);

    // Nothing is extracted from it; the problems say why.
    const Result extracted = qmstool({QStringLiteral("extract"), damaged});
    QCOMPARE(extracted.exitCode, 1);
    QVERIFY(extracted.out.isEmpty());
    QVERIFY2(extracted.err.startsWith(
                 QStringLiteral("qmstool: %1 is not a valid sound file: ").arg(damaged)) &&
                 extracted.err.contains(problem),
             qPrintable(extracted.err));
    QVERIFY(!QFile::exists(work->filePath(QStringLiteral("damaged-layers"))));
}

void TestQmsTool::notASoundFile_data()
{
    QTest::addColumn<QString>("name"); // in the work folder; "" for the folder itself
    QTest::addColumn<QString>("error");

    QTest::newRow("missing") << QStringLiteral("none.qms")
                             << QStringLiteral("cannot be opened: No such file or directory");
    QTest::newRow("a folder") << QString() << QStringLiteral("it is a folder");
    QTest::newRow("a WAV file") << QStringLiteral("good.wav")
                                << QStringLiteral("it is a WAV file, not a sound file; check says: "
                                                  "0.01 s, slot 1024 bytes");
}

// What is no sound file at all gets the cause alone: no table of zeros, and
// as JSON no fields but the path, the verdict and the error.
void TestQmsTool::notASoundFile()
{
    QFETCH(QString, name);
    QFETCH(QString, error);
    const QString file = name.isEmpty() ? work->path() : work->filePath(name);
    writeWave(work->filePath(QStringLiteral("good.wav")), 1000);

    const Result text = qmstool({QStringLiteral("inspect"), file});
    QCOMPARE(text.exitCode, 1);
    QCOMPARE(text.out, QString());
    QCOMPARE(text.err, QStringLiteral("qmstool: %1: %2\n").arg(file, error));

    const Result json = qmstool({QStringLiteral("inspect"), QStringLiteral("--json"), file});
    QCOMPARE(json.exitCode, 1);
    QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8()).object();
    const QJsonObject check = object.take(QLatin1String("check")).toObject();
    QCOMPARE(object, (QJsonObject{{QStringLiteral("path"), file},
                                  {QStringLiteral("valid"), false},
                                  {QStringLiteral("error"), error}}));
    QCOMPARE(check.isEmpty(), !name.endsWith(QLatin1String(".wav")));

    if (name.endsWith(QLatin1String(".qms"))) {
        const Result extracted = qmstool({QStringLiteral("extract"), file});
        QCOMPARE(extracted.exitCode, 1);
        QCOMPARE(extracted.err, text.err);
    }
}

// A sound file of no layers is valid, but there is nothing to extract.
void TestQmsTool::noLayers()
{
    {
        DebugCapture quiet;
        QCOMPARE(WriteSoundFile(soundJob(outPath(), {})).Status, WriteStatus::Written);
    }
    const Result inspected = qmstool({QStringLiteral("inspect"), outPath()});
    QCOMPARE(inspected.exitCode, 0);
    QVERIFY2(inspected.out.endsWith(QLatin1String("\nNote: it holds no layers\nValid\n")),
             qPrintable(inspected.out));

    const Result extracted = qmstool({QStringLiteral("extract"), outPath()});
    QCOMPARE(extracted.exitCode, 1);
    QCOMPARE(extracted.out, QString());
    QCOMPARE(extracted.err,
             QStringLiteral("qmstool: %1 holds no layers: there is nothing to extract\n")
                 .arg(outPath()));
    QCOMPARE(entries(work->path()), QStringList{QStringLiteral("out.qms")});
}

void TestQmsTool::failuresKeepTheOldFile_data()
{
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<QString>("message"); // %1: the layer's path

    const QString sync = QStringLiteral("QMS_FAULT_FDATASYNC=");
    const QString noUnnamed = QStringLiteral("QMS_FAULT_NO_TMPFILE=1");
    const QString readLayer = QStringLiteral("QMS_FAULT_READ=good.wav");
    // The data could not be made durable: the old file stays.
    QTest::newRow("sync: I/O error") << QStringList{sync + "EIO"}
                                     << "writing failed: it could not be saved to the disk: "
                                        "Input/output error; a file that was there before is "
                                        "unchanged";
    QTest::newRow("sync: disk full")
        << QStringList{sync + "ENOSPC"} << "saved to the disk: No space left on device";
    QTest::newRow("sync: I/O error, no O_TMPFILE")
        << QStringList{sync + "EIO", noUnnamed} << "saved to the disk: Input/output error";
    // A read error is a failure, never a slot of zeros.
    QTest::newRow("layer's header unreadable")
        << QStringList{readLayer, "QMS_FAULT_READ_AFTER=1"}
        << "the WAV file of layer 1, %1: cannot be read: Input/output error";
    QTest::newRow("layer's samples unreadable")
        << QStringList{readLayer, "QMS_FAULT_READ_AFTER=2"}
        << "the WAV file of layer 1, %1: cannot be read: Input/output error";
}

void TestQmsTool::failuresKeepTheOldFile()
{
    QFETCH(QStringList, faults);
    QFETCH(QString, message);
    QVERIFY(writeFile(outPath(), previous));
    const QString wav = path(QStringLiteral("good.wav"));
    const Result result =
        qmstoolWithFaults(faults, {QStringLiteral("build"), QStringLiteral("-o"), outPath(), wav});
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.err.contains(message.replace(QLatin1String("%1"), wav)),
             qPrintable(describe(result)));
    QCOMPARE(readFile(outPath()), previous);
    QCOMPARE(entries(work->path()), QStringList{QStringLiteral("out.qms")});
}

void TestQmsTool::interruptedWrite_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGHUP") << SIGHUP;
}

// Without O_TMPFILE the file is written under a temporary name; a signal in
// the middle of the write removes it and leaves the old file.
void TestQmsTool::interruptedWrite()
{
    QFETCH(int, signal);
    QVERIFY(writeFile(outPath(), previous));
    QProcess process;
    qmstoolWithFaults(
        {QStringLiteral("QMS_FAULT_NO_TMPFILE=1"), QStringLiteral("QMS_FAULT_FDATASYNC=stall")},
        {QStringLiteral("build"), QStringLiteral("-o"), outPath(),
         path(QStringLiteral("good.wav"))},
        &process);
    const QDeadlineTimer deadline(60000);
    while (entries(work->path()).size() < 2 && !deadline.hasExpired())
        QThread::msleep(10);
    const QStringList during = entries(work->path());
    QCOMPARE(during.size(), 2);
    QVERIFY2(during.first().startsWith(QLatin1String(".out.qms.")), qPrintable(during.first()));
    QCOMPARE(::kill(pid_t(process.processId()), signal), 0);
    QCOMPARE(finish(process).exitCode, -1);
    QCOMPARE(process.exitStatus(), QProcess::CrashExit);
    QCOMPARE(entries(work->path()), QStringList{QStringLiteral("out.qms")});
    QCOMPARE(readFile(outPath()), previous);
}

void TestQmsTool::longOutputName_data()
{
    QTest::addColumn<QStringList>("faults");
    QTest::newRow("O_TMPFILE") << QStringList{};
    QTest::newRow("named temporary file") << QStringList{QStringLiteral("QMS_FAULT_NO_TMPFILE=1")};
}

// An output whose name takes 251 of the 255 bytes a name may have is still
// replaced: the temporary name stays short.
void TestQmsTool::longOutputName()
{
    QFETCH(QStringList, faults);
    const QString name = QString(247, QLatin1Char('n')) + QStringLiteral(".qms");
    const QString out = work->filePath(name);
    QVERIFY(writeFile(out, previous));
    const Result result = qmstoolWithFaults(faults, {QStringLiteral("build"), QStringLiteral("-o"),
                                                     out, path(QStringLiteral("good.wav"))});
    QVERIFY2(result.exitCode == 0, qPrintable(describe(result)));
    QCOMPARE(QFileInfo(out).size(), 512 + 1024);
    QCOMPARE(entries(work->path()), QStringList{name});
}

void TestQmsTool::inexactArguments_data()
{
    QTest::addColumn<QString>("script");
    QTest::newRow("output") << R"sh(exec "$0" build -o "$(printf 'v\377.qms')" "$1")sh";
    QTest::newRow("layer") << R"sh(exec "$0" build -o v.qms "$(printf 'l\377.wav')")sh";
}

// A path that is not valid UTF-8 would be decoded into another name: it is
// refused, and nothing is written anywhere.
void TestQmsTool::inexactArguments()
{
    QFETCH(QString, script);
    const Result result = qmstoolFromShell(script, path(QStringLiteral("good.wav")), work->path());
    QCOMPARE(result.exitCode, 2);
    QVERIFY2(result.err.contains(QLatin1String("\\xff.")) &&
                 result.err.contains(QLatin1String("is not valid UTF-8")),
             qPrintable(describe(result)));
    QCOMPARE(entries(work->path()), QStringList());
}

void TestQmsTool::standardOutputFails_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a full device") << R"sh(exec "$0" check "$1" > /dev/full)sh"
                                   << "No space left on device";
    QTest::newRow("closed") << R"sh(exec "$0" build -o out.qms "$1" >&-)sh"
                            << "Bad file descriptor";
}

// Results that cannot reach standard output are a failure, said on
// standard error; a sound file written meanwhile is whole.
void TestQmsTool::standardOutputFails()
{
    QFETCH(QString, script);
    QFETCH(QString, reason);
    const Result result = qmstoolFromShell(script, path(QStringLiteral("good.wav")), work->path());
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err,
             QStringLiteral("qmstool: cannot write to standard output: %1\n").arg(reason));
    if (QFile::exists(outPath()))
        QCOMPARE(QFileInfo(outPath()).size(), 512 + 1024);
}

// Names from a file and paths from the command line cannot steer the
// terminal: control characters come out escaped.
void TestQmsTool::controlCharactersEscaped()
{
    SoundJob job = soundJob(outPath(), {1024}, {QStringLiteral("\x1b]0;owned\x07\u009b.wav")});
    job.FileName = QStringLiteral("out\x1b[2J.qms");
    job.Paths[0] = path(QStringLiteral("good.wav"));
    {
        DebugCapture quiet;
        QCOMPARE(WriteSoundFile(job).Status, WriteStatus::Written);
    }
    const Result inspected = qmstool({QStringLiteral("inspect"), outPath()});
    QCOMPARE(inspected.exitCode, 0);
    QVERIFY2(inspected.out.contains(QLatin1String("\\x1b]0;owned\\x07\\x9b.wav")) &&
                 inspected.out.contains(QLatin1String("out\\x1b[2J.qms")),
             qPrintable(inspected.out));
    const Result checked =
        qmstool({QStringLiteral("check"), work->filePath(QStringLiteral("a\rb.wav"))});
    QCOMPARE(checked.exitCode, 1);
    QVERIFY2(checked.out.startsWith(work->filePath(QStringLiteral("a\\x0db.wav: -2"))),
             qPrintable(checked.out));
    for (const QString &text : {inspected.out, checked.out}) {
        for (const QChar c : text)
            QVERIFY(c == QLatin1Char('\n') || (c >= QLatin1Char(' ') && c != QChar(0x7F) &&
                                               (c.unicode() < 0x80 || c.unicode() > 0x9F)));
    }
}

// sox writes the canonical 44-byte header: accepted, and its samples land
// in the sound file unchanged.
void TestQmsTool::soxWaveAccepted()
{
    const QString sox = QStandardPaths::findExecutable(QStringLiteral("sox"));
    if (sox.isEmpty())
        QSKIP("sox is not installed");
    const QString wav = work->filePath(QStringLiteral("tone.wav"));
    QProcess process;
    process.start(sox, {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("44100"),
                        QStringLiteral("-b"), QStringLiteral("16"), QStringLiteral("-c"),
                        QStringLiteral("1"), wav, QStringLiteral("synth"), QStringLiteral("0.5"),
                        QStringLiteral("sine"), QStringLiteral("440")});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);
    const QByteArray contents = readFile(wav);
    const quint32 dataLength = qFromLittleEndian<quint32>(contents.constData() + 40);
    QCOMPARE(dataLength, 44100u); // 22050 samples of 2 bytes
    QCOMPARE(contents.size(), 44 + 44100);

    const Result checked = qmstool({QStringLiteral("check"), wav});
    QCOMPARE(checked.exitCode, 0);
    QCOMPARE(checked.out,
             QStringLiteral("%1: 0.50 s, slot %2 bytes\n").arg(wav).arg(slotSize(44100)));

    QCOMPARE(qmstool({QStringLiteral("build"), QStringLiteral("-o"), outPath(), wav}).exitCode, 0);
    QCOMPARE(qmstool({QStringLiteral("inspect"), outPath()}).exitCode, 0);
    QCOMPARE(readFile(outPath()).mid(512, 44100), contents.mid(44));
}

// ffmpeg puts a LIST chunk before the data chunk: refused with -3.
void TestQmsTool::ffmpegWaveRefused()
{
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty())
        QSKIP("ffmpeg is not installed");
    const QString wav = work->filePath(QStringLiteral("tone.wav"));
    QProcess process;
    process.start(ffmpeg,
                  {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                   QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                   QStringLiteral("sine=frequency=440:duration=0.5"), QStringLiteral("-ar"),
                   QStringLiteral("44100"), QStringLiteral("-ac"), QStringLiteral("1"),
                   QStringLiteral("-c:a"), QStringLiteral("pcm_s16le"), wav});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(readFile(wav).mid(36, 4), QByteArray("LIST"));

    const Result checked = qmstool({QStringLiteral("check"), wav});
    QCOMPARE(checked.exitCode, 1);
    QCOMPARE(checked.out, QStringLiteral("%1: -3 \"Incomatible file format\": a LIST chunk stands "
                                         "where the data chunk must start; the file is WAV, 44100 "
                                         "Hz, 1 channel, 16-bit integer, 0.50 s\n")
                              .arg(wav));
    const Result built = qmstool({QStringLiteral("build"), QStringLiteral("-o"), outPath(), wav});
    QCOMPARE(built.exitCode, 1);
    QVERIFY(built.err.contains(QLatin1String("-3 \"Incomatible file format\"")));
    QVERIFY(!QFile::exists(outPath()));
}

bool TestQmsTool::copyAudio()
{
    const auto file = [this](const char *name) { return audio.filePath(QLatin1String(name)); };
    static QString made = [&] {
        QString failed = AudioSupport::make(
            AudioSupport::soxSines(QStringLiteral("-r 48000 -c 2 -b 24"), file("tone.flac")));
        for (const QStringList &arguments :
             {AudioSupport::soxSines(QStringLiteral("-r 48000 -c 2"), file("tone.ogg")),
              QStringList{"ffmpeg", "-i", file("tone.flac"), "-c:a", "libmp3lame",
                          file("tone.mp3")},
              QStringList{"ffmpeg", "-i", file("tone.flac"), "-ar", "44100", "-ac", "1", "-c:a",
                          "pcm_s16le", file("ffmpeg.wav")},
              QStringList{"ffmpeg", "-i", file("tone.flac"), "-c:a", "aac", file("tone.m4a")},
              // Cut after 0.25 s of its 0.50 s.
              AudioSupport::soxSines(QStringLiteral("-r 48000 -c 2 -b 24 -t wavpcm"),
                                     file("cut.wav")),
              // Too long for a layer, even converted.
              QStringList{"sox", "-n", "-r", "8000", "-c", "1", "-b", "8", file("long.wav"),
                          "synth", "40", "sine", "1000"},
              // Too long for a layer as it is (-5), not once converted.
              QStringList{"sox", "-n", "-r", "96000", "-c", "1", "-b", "16", file("96k.wav"),
                          "synth", "17", "sine", "1000", "vol", "0.5"}}) {
            if (failed.isEmpty())
                failed = AudioSupport::make(arguments);
        }
        if (failed.isEmpty() && !writeFile(file("text.wav"), "not audio\n"))
            failed = QStringLiteral("cannot write text.wav");
        if (failed.isEmpty() && !QFile::resize(file("cut.wav"), 44 + 6 * 12000))
            failed = QStringLiteral("cannot cut cut.wav");
        return failed;
    }();
    if (!made.isEmpty()) {
        QTest::qSkip(qPrintable(made), __FILE__, __LINE__);
        return false;
    }
    // Linked, not copied: a changed input shows in its checksum all the same.
    for (const QString &name : entries(audio.path())) {
        if (::link(QFile::encodeName(audio.filePath(name)),
                   QFile::encodeName(work->filePath(name))) != 0)
            QFile::copy(audio.filePath(name), work->filePath(name));
    }
    return true;
}

void TestQmsTool::convert_data()
{
    QTest::addColumn<QStringList>("arguments"); // run in the work folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QStringList>("made"); // new files in the work folder
    QTest::addColumn<QString>("names");    // of the layers in out.qms

    const QString mp3 = QStringLiteral("MP3, 48000 Hz, 2 channels, compressed, 0.50 s");
    const QString copied = QStringLiteral(
        "WAV, 44100 Hz, 1 channel, 16-bit integer, 0.50 s; copied sample for sample");
    const QString hint = QStringLiteral(
        "qmstool: \"qmstool convert\" makes a copy of it that can be a layer; \"build --convert\" "
        "converts it for this build only\n");
    QTest::newRow("convert -o") << QStringList{"convert", "-o", "copy.wav", "tone.mp3"} << 0
                                << "tone.mp3 -> copy.wav: " + mp3 +
                                       "; 0 samples clipped; slot size 44544 bytes\n"
                                << QString() << QStringList{"copy.wav"} << QString();
    QTest::newRow("convert -d, into the inputs' folder")
        << QStringList{"convert", "-d", ".", "tone.mp3", "ffmpeg.wav"} << 0
        << "tone.mp3 -> ./tone.wav: " + mp3 +
               "; 0 samples clipped; slot size 44544 bytes\n"
               "ffmpeg.wav -> ./ffmpeg (44100 Hz mono).wav: " +
               copied + "; 0 samples clipped; slot size 44544 bytes\n"
        << QString() << QStringList{"ffmpeg (44100 Hz mono).wav", "tone.wav"} << QString();
    QTest::newRow("convert -d, one base name twice, and a text file")
        << QStringList{"convert", "-d", "sub", "tone.mp3", "text.wav", "tone.ogg"} << 1
        << "tone.mp3 -> sub/tone.wav: " + mp3 + "; 0 samples clipped; slot size 44544 bytes\n"
        << "qmstool: text.wav: not converted: it is not audio in any format that can be read\n"
           "qmstool: tone.ogg: sub/tone.wav not written: it is one of the inputs, or a copy "
           "already made\n"
        << QStringList{"sub/tone.wav"} << QString();
    QTest::newRow("convert -o onto the input")
        << QStringList{"convert", "-o", "ffmpeg.wav", "ffmpeg.wav"} << 1 << QString()
        << "qmstool: ffmpeg.wav: ffmpeg.wav not written: it is the file being converted\n"
        << QStringList{} << QString();
    QTest::newRow("convert -o, a WAV cut short: the warning")
        << QStringList{"convert", "-o", "copy.wav", "cut.wav"} << 0
        << "cut.wav -> copy.wav: WAV, 48000 Hz, 2 channels, 24-bit integer, 0.25 s; 0 samples "
           "clipped; slot size 22528 bytes; ends early: 0.25 s of the 0.50 s announced\n"
        << QString() << QStringList{"copy.wav"} << QString();
    // A file there (old.wav) is replaced only with --force; a name that no
    // layer may have is refused before anything is read.
    QTest::newRow("convert -o over a file")
        << QStringList{"convert", "-o", "old.wav", "tone.mp3"} << 1 << QString()
        << "qmstool: tone.mp3: old.wav not written: a file of that name is there; -f or --force "
           "replaces it\n"
        << QStringList{} << QString();
    QTest::newRow("convert -f -o over a file")
        << QStringList{"convert", "-f", "-o", "old.wav", "tone.mp3"} << 0
        << "tone.mp3 -> old.wav: " + mp3 + "; 0 samples clipped; slot size 44544 bytes\n"
        << QString() << QStringList{"old.wav"} << QString();
    const QString longName = QString(77, QLatin1Char('n')) + QStringLiteral(".wav");
    QTest::newRow("convert -o a name too long")
        << QStringList{"convert", "-o", longName, "text.wav"} << 1 << QString()
        << "qmstool: text.wav: " + longName +
               " not written: its name has 81 characters, more than the 80 of a layer's name\n"
        << QStringList{} << QString();
    QTest::newRow("check: what the file is")
        << QStringList{"check", "tone.mp3", "ffmpeg.wav", "tone.m4a"} << 1
        << "tone.mp3: -3 \"Incomatible file format\": " + mp3 +
               "; a layer must be 44100 Hz, 1 channel, 16-bit\n"
               "ffmpeg.wav: -3 \"Incomatible file format\": a LIST chunk stands where the data "
               "chunk must start; the file is WAV, 44100 Hz, 1 channel, 16-bit integer, 0.50 s\n"
               "tone.m4a: -3 \"Incomatible file format\": AAC, 48000 Hz, 2 channels, compressed, "
               "0.50 s; a layer must be 44100 Hz, 1 channel, 16-bit\n"
        << "qmstool: \"qmstool convert\" makes copies of the audio files above that can be "
           "layers; \"build --convert\" converts them for a build only\n"
        << QStringList{} << QString();
    QTest::newRow("build: a hint")
        << QStringList{"build", "-o", "out.qms", "tone.mp3"} << 1 << QString()
        << "qmstool: layer 1, tone.mp3: -3 \"Incomatible file format\": " + mp3 +
               "; a layer must be 44100 Hz, 1 channel, 16-bit\n" + hint +
               "qmstool: out.qms not written\n"
        << QStringList{} << QString();
    QTest::newRow("build --convert")
        << QStringList{"build", "--convert", "-o", "out.qms", "tone.mp3", "ffmpeg.wav", "tone.ogg"}
        << 0
        << "Layer 1: tone.mp3 -> tone.wav: " + mp3 +
               "; 0 samples clipped; slot size 44544 bytes\n"
               "Layer 2: ffmpeg.wav -> ffmpeg.wav: " +
               copied +
               "; 0 samples clipped; slot size 44544 bytes\n"
               "Layer 3: tone.ogg -> tone.wav: Ogg Vorbis, 48000 Hz, 2 channels, compressed, 0.50 "
               "s; 0 samples clipped; slot size 44544 bytes\n"
               "Wrote out.qms: 3 layers, 1.5 s of 35.6 s, 4 %; 134144 bytes\n"
        << QString() << QStringList{"out.qms"} << "tone.wav ffmpeg.wav tone.wav";
    QTest::newRow("build --convert: -5, but not a layer's format")
        << QStringList{"build", "--convert", "-o", "out.qms", "96k.wav"} << 0
        << "Layer 1: 96k.wav -> 96k.wav: WAV, 96000 Hz, 1 channel, 16-bit integer, 17.00 s; 0 "
           "samples clipped; slot size 1499648 bytes\n"
           "Wrote out.qms: 1 layer, 17.0 s of 35.6 s, 47 %; 1500160 bytes\n"
        << QString() << QStringList{"out.qms"} << "96k.wav";
    QTest::newRow("build --convert: too long, even converted")
        << QStringList{"build", "--convert", "-o", "out.qms", "long.wav"} << 1 << QString()
        << "qmstool: layer 1, long.wav: -4 \"File Error\": WAV, 8000 Hz, 1 channel, 8-bit "
           "unsigned integer, 40.00 s; a layer must be 44100 Hz, 1 channel, 16-bit; it is too "
           "long for a layer (at most 35.62 s)\nqmstool: out.qms not written\n"
        << QStringList{} << QString();
    QTest::newRow("build --convert onto an input")
        << QStringList{"build", "--convert", "-o", "tone.mp3", "tone.mp3"} << 1
        << "Layer 1: tone.mp3 -> tone.wav: " + mp3 + "; 0 samples clipped; slot size 44544 bytes\n"
        << "qmstool: tone.mp3 not written: it is the input of layer 1, tone.mp3\n"
        << QStringList{} << QString();
    QTest::newRow("build --convert, a text file")
        << QStringList{"build", "--convert", "-o", "out.qms", "ffmpeg.wav", "text.wav"} << 1
        << "Layer 1: ffmpeg.wav -> ffmpeg.wav: " + copied +
               "; 0 samples clipped; slot size 44544 bytes\n"
        << "qmstool: layer 2, text.wav: -3 \"Incomatible file format\": the file has only 10 "
           "bytes, shorter than the 44-byte WAV header\nqmstool: out.qms not written\n"
        << QStringList{} << QString();
}

// Audio files in any format, end to end: each copy or sound file as said,
// nothing else written, no input changed, and the temporary folder of
// build --convert gone.
void TestQmsTool::convert()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QStringList, made);
    QFETCH(QString, names);

    if (!copyAudio())
        return;
    QVERIFY(QDir(work->path()).mkpath(QStringLiteral("sub")));
    const QString temporary = work->filePath(QStringLiteral("tmp"));
    QVERIFY(QDir().mkpath(temporary));
    QMap<QString, QByteArray> inputs;
    for (const QString &name : entries(audio.path()))
        inputs[name] = AudioSupport::checksum(work->filePath(name));
    QVERIFY(writeFile(work->filePath(QStringLiteral("old.wav")), "an older copy\n"));
    const QStringList before = tree(work->path());

    const QByteArray previousTemporary = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temporary));
    const Result result = qmstool(arguments, work->path());
    qputenv("TMPDIR", previousTemporary);

    QCOMPARE(result.out, out);
    QCOMPARE(result.err, err);
    QCOMPARE(result.exitCode, exitCode);
    for (const QString &name : inputs.keys())
        QCOMPARE(AudioSupport::checksum(work->filePath(name)), inputs[name]);
    QCOMPARE(entries(temporary), QStringList());
    QStringList added;
    for (const QString &line : tree(work->path())) {
        if (!before.contains(line) && !line.startsWith(QLatin1String("tmp ")))
            added << line.section(QLatin1Char(' '), 0, -3);
    }
    QCOMPARE(added, made);
    for (const QString &name : made) {
        if (name.endsWith(QLatin1String(".wav")))
            QVERIFY(out.contains(
                QStringLiteral("slot size %1 bytes").arg(ReadWaveFile(work->filePath(name)))));
    }
    if (!names.isEmpty()) {
        const QByteArray list = readFile(work->filePath(QStringLiteral("out.qms"))).mid(104, 200);
        QVERIFY2(list.startsWith("\nout.qms\n" + names.toUtf8().replace(' ', '\n') + "\n\n"),
                 list.constData());
    }
}

void TestQmsTool::buildPrepared_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QList<QStringList>>("inputs"); // how each is made, into %1
    QTest::addColumn<double>("loudness");           // of every layer; NaN: not asked
    QTest::addColumn<bool>("full");                 // the file takes the whole capacity

    // A layer's format already, an MP3 and a 96 kHz FLAC, each at another level.
    QTest::newRow("--loudness=-20: every input")
        << QStringList{"--loudness=-20"}
        << QList<QStringList>{{"sox", "-R", "-n", "-r", "44100", "-c", "1", "-b", "16",
                               "%1/idle.wav", "synth", "2", "sine", "440", "vol", "0.1"},
                              {"ffmpeg", "-f", "lavfi", "-i", "anoisesrc=d=2:c=pink:a=0.5:r=48000",
                               "-ac", "2", "-c:a", "libmp3lame", "%1/rev.mp3"},
                              {"sox", "-R", "-n", "-r", "96000", "-c", "2", "-b", "24",
                               "%1/horn.flac", "synth", "2", "square", "220", "vol", "0.05"}}
        << -20.0 << false;
    // --trim alone takes no value: the next word stays an input.
    QTest::newRow("--fit: the last cut to the space left")
        << QStringList{"--fit", "--fade=20", "--trim"}
        << QList<QStringList>{{"sox", "-R", "-n", "-r", "44100", "-c", "1", "-b", "16",
                               "%1/big.wav", "synth", "30", "sine", "300", "vol", "0.3"},
                              {"sox", "-R", "-n", "-r", "44100", "-c", "2", "-b", "16",
                               "%1/long.wav", "synth", "10", "sine", "500", "vol", "0.3"}}
        << std::nan("") << true;
}

// build --convert prepares every input, those in a layer's format too, as
// an independent meter (ffmpeg's ebur128) measures the extracted layers.
void TestQmsTool::buildPrepared()
{
    QFETCH(QStringList, options);
    QFETCH(QList<QStringList>, inputs);
    QFETCH(double, loudness);
    QFETCH(bool, full);

    QStringList files;
    for (QStringList arguments : inputs) {
        for (QString &argument : arguments) {
            if (argument.startsWith(QLatin1String("%1/")))
                files << argument.replace(QLatin1String("%1"), work->path());
        }
        const QString failed = AudioSupport::make(arguments);
        if (!failed.isEmpty())
            QSKIP(qPrintable(failed));
    }
    const Result built =
        qmstool(QStringList{QStringLiteral("build"), QStringLiteral("--convert"),
                            QStringLiteral("--json"), QStringLiteral("-o"), outPath()} +
                options + files);
    QCOMPARE(built.exitCode, 0);
    const QJsonArray layers = QJsonDocument::fromJson(built.out.toUtf8())
                                  .object()
                                  .value(QLatin1String("layers"))
                                  .toArray();
    QCOMPARE(layers.size(), files.size());
    for (const QJsonValue &layer : layers) {
        const QJsonObject done =
            layer[QLatin1String("conversion")][QLatin1String("preparation")].toObject();
        QVERIFY2(!done.isEmpty(), qPrintable(built.out));
    }
    if (full) {
        QVERIFY(QFileInfo(outPath()).size() > 3145728 - 512);
        QVERIFY(layers
                    .last()[QLatin1String("conversion")][QLatin1String("preparation")]
                           [QLatin1String("cut_at")]
                    .isDouble());
    }

    const QString folder = work->filePath(QStringLiteral("layers"));
    QCOMPARE(qmstool({QStringLiteral("extract"), QStringLiteral("-d"), folder, outPath()}).exitCode,
             0);
    for (const QString &name : entries(folder)) {
        if (std::isnan(loudness))
            break;
        double measured = 0;
        double truePeak = 0;
        const QString failed =
            AudioSupport::ffmpegLoudness(QDir(folder).filePath(name), measured, truePeak);
        QVERIFY2(failed.isEmpty(), qPrintable(failed));
        QVERIFY2(std::fabs(measured - loudness) <= 0.5, qPrintable(name));
        QVERIFY2(truePeak <= -1, qPrintable(name));
    }
}

// A build --convert ended by a signal while it writes a converted copy
// leaves no temporary folder behind.
void TestQmsTool::buildConvertInterrupted()
{
    if (!copyAudio())
        return;
    const QString temporary = work->filePath(QStringLiteral("tmp"));
    QVERIFY(QDir().mkpath(temporary));
    const QByteArray previousTemporary = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temporary));
    QProcess process;
    qmstoolWithFaults(
        {QStringLiteral("QMS_FAULT_NO_TMPFILE=1"), QStringLiteral("QMS_FAULT_FDATASYNC=stall")},
        {QStringLiteral("build"), QStringLiteral("--convert"), QStringLiteral("-o"), outPath(),
         work->filePath(QStringLiteral("tone.mp3"))},
        &process);
    qputenv("TMPDIR", previousTemporary);
    // The copy's temporary file appears in the build's folder, in its
    // subfolder for layer 1.
    const QDeadlineTimer deadline(60000);
    auto copyStarted = [&] {
        const QStringList folders = entries(temporary);
        return folders.size() == 1 &&
               !entries(temporary + "/" + folders.first() + QStringLiteral("/1")).isEmpty();
    };
    while (!copyStarted() && !deadline.hasExpired())
        QThread::msleep(10);
    QVERIFY(copyStarted());
    QCOMPARE(::kill(pid_t(process.processId()), SIGTERM), 0);
    QCOMPARE(finish(process).exitCode, -1);
    QCOMPARE(entries(temporary), QStringList());
    QVERIFY(!QFile::exists(outPath()));
}

// A TMPDIR that names no folder means /tmp, never the current folder (here
// one that was removed, where nothing can be made).
void TestQmsTool::temporaryFolderMissing()
{
    const QByteArray gone = QFile::encodeName(work->filePath(QStringLiteral("gone")));
    QVERIFY(QDir().mkdir(QFile::decodeName(gone)));
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), work->filePath(QStringLiteral("missing")));
    process.setProcessEnvironment(environment);
    process.setChildProcessModifier([gone] {
        if (::chdir(gone.constData()) != 0 || ::rmdir(gone.constData()) != 0)
            ::_exit(99);
    });
    startTool(process, {QStringLiteral("build"), QStringLiteral("--convert"), QStringLiteral("-o"),
                        outPath(), path(QStringLiteral("rate.wav"))});
    const Result result = finish(process);
    QVERIFY2(result.exitCode == 0, qPrintable(describe(result)));
    QCOMPARE(entries(work->path()), QStringList{QStringLiteral("out.qms")});
}

void TestQmsTool::linksOnTheWay_data()
{
    QTest::addColumn<QStringList>("arguments"); // run in the work folder; %f: the fixtures
    QTest::addColumn<bool>("needsRoot");
    QTest::addColumn<QString>("err");  // %w: the work folder, %f: the fixtures
    QTest::addColumn<QString>("made"); // what the command wrote through a link, in victim/

    // In the sticky, world-writable folder shared/, another user linked evil
    // and kit-layers to victim/; mine is our own link there. theirs/ is that
    // user's own sticky folder, and link there their link.
    const QString planted = QStringLiteral(
        " is a symbolic link that another user placed in the shared folder %w/shared; it is "
        "not followed\n");
    QTest::newRow("build -o shared/evil/out.qms")
        << QStringList{"build", "-o", "shared/evil/out.qms", "%f/good.wav"} << true
        << "qmstool: shared/evil/out.qms not written: shared/evil" + planted << QString();
    QTest::newRow("convert -d shared/evil")
        << QStringList{"convert", "-d", "shared/evil", "%f/rate.wav"} << true
        << "qmstool: %f/rate.wav: shared/evil/rate.wav not written: shared/evil" + planted
        << QString();
    QTest::newRow("extract shared/kit.qms into kit-layers")
        << QStringList{"extract", "shared/kit.qms"} << true
        << "qmstool: the layers of shared/kit.qms were not all written: shared/kit-layers" + planted
        << QString();
    QTest::newRow("extract -d shared/evil/new")
        << QStringList{"extract", "-d", "shared/evil/new", "kit.qms"} << true
        << "qmstool: the layers of kit.qms were not all written: shared/evil" + planted
        << QString();
    QTest::newRow("build -o through our own link")
        << QStringList{"build", "-o", "shared/mine/out.qms", "%f/good.wav"} << true << QString()
        << QStringLiteral("out.qms");
    QTest::newRow("extract -d through the folder owner's link")
        << QStringList{"extract", "-d", "theirs/link/new", "kit.qms"} << true << QString()
        << QStringLiteral("new/good.wav");
    // Every message about a folder names it and gives the system's reason.
    const QString tooLong(300, QLatin1Char('n'));
    QTest::newRow("extract -d: a name too long")
        << QStringList{"extract", "-d", tooLong, "kit.qms"} << false
        << "qmstool: the layers of kit.qms were not all written: the folder " + tooLong +
               " cannot be created: File name too long\n"
        << QString();
}

// A symbolic link that another user planted in a sticky, world-writable
// folder is not followed wherever it stands on the way to what qmstool
// writes: nothing is written where it leads. Our own links and the folder
// owner's are followed.
void TestQmsTool::linksOnTheWay()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, needsRoot);
    QFETCH(QString, err);
    QFETCH(QString, made);
    if (needsRoot && ::geteuid() != 0)
        QSKIP("another user's links need root (setpriv)");
    const QString w = work->path();
    QVERIFY(qmstool({QStringLiteral("build"), QStringLiteral("-o"), QStringLiteral("kit.qms"),
                     path(QStringLiteral("good.wav"))},
                    w)
                .exitCode == 0);
    if (needsRoot) {
        const auto asNobody = [](const QStringList &command) {
            return run(QStringLiteral("setpriv"),
                       QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                   QStringLiteral("--clear-groups")} +
                           command) == 0;
        };
        const QString link = QStringLiteral("ln");
        const QString s = QStringLiteral("-s");
        const QString victim = w + QStringLiteral("/victim");
        QVERIFY(::chmod(QFile::encodeName(w).constData(), 0755) == 0);
        QVERIFY(QDir(w).mkdir(QStringLiteral("victim")) && QDir(w).mkdir(QStringLiteral("shared")));
        QVERIFY(::chmod(QFile::encodeName(w + "/shared").constData(), 01777) == 0);
        QVERIFY(QFile::copy(w + "/kit.qms", w + "/shared/kit.qms"));
        QVERIFY(asNobody({link, s, victim, w + "/shared/evil"}));
        QVERIFY(asNobody({link, s, victim, w + "/shared/kit-layers"}));
        QVERIFY(QFile::link(victim, w + "/shared/mine"));
        QVERIFY(QDir(w).mkdir(QStringLiteral("theirs")));
        QVERIFY(::chown(QFile::encodeName(w + "/theirs").constData(), 65534, 65534) == 0 &&
                ::chmod(QFile::encodeName(w + "/theirs").constData(), 01777) == 0);
        QVERIFY(asNobody({link, s, victim, w + "/theirs/link"}));
    }
    const QStringList before = tree(w);

    for (QString &argument : arguments)
        argument.replace(QLatin1String("%f"), fixtures.path());
    const Result result = qmstool(arguments, w);
    QCOMPARE(
        result.err,
        QString(err).replace(QLatin1String("%w"), w).replace(QLatin1String("%f"), fixtures.path()));
    QCOMPARE(result.exitCode, err.isEmpty() ? 0 : 1);
    QStringList after = tree(w);
    if (!made.isEmpty()) {
        QVERIFY(QFile::exists(w + "/victim/" + made));
        after.removeIf([](const QString &entry) { return entry.startsWith("victim/"); });
    }
    QCOMPARE(after, before);
}

// Every writer works on FAT and exFAT, which have no hard links, no
// O_TMPFILE and no rename that refuses to replace.
void TestQmsTool::fileSystemsWithoutLinks_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("FAT") << QStringLiteral("vfat");
    QTest::newRow("exFAT") << QStringLiteral("exfat");
}

void TestQmsTool::fileSystemsWithoutLinks()
{
    QFETCH(QString, kind);
    FuseMount mount;
    const QString why = mount.Mount(kind, work->path());
    if (!why.isEmpty())
        QSKIP(qPrintable(why));
    const QString kit = QStringLiteral("mnt/kit.qms");
    const QString good = path(QStringLiteral("good.wav"));
    const auto succeeds = [this](const QStringList &arguments) {
        const Result result = qmstool(arguments, work->path());
        return result.exitCode == 0 ? result.out : describe(result);
    };
    const QString built =
        QStringLiteral("Wrote mnt/kit.qms: 1 layer, 0.0 s of 35.6 s, 0 %; 1536 bytes\n");
    QCOMPARE(succeeds({QStringLiteral("build"), QStringLiteral("-o"), kit, good}), built);
    QCOMPARE(succeeds({QStringLiteral("build"), QStringLiteral("-o"), kit, good}), built);
    QVERIFY(succeeds({QStringLiteral("convert"), QStringLiteral("-o"), QStringLiteral("mnt/c.wav"),
                      path(QStringLiteral("rate.wav"))})
                .startsWith(path(QStringLiteral("rate.wav")) + " -> mnt/c.wav: "));
    const QString layer = QStringLiteral("layer 1, threshold 1: mnt/kit-layers/good.wav");
    QVERIFY(succeeds({QStringLiteral("extract"), kit}).startsWith(layer + "\n"));
    QVERIFY(succeeds({QStringLiteral("extract"), kit}).startsWith(layer + " (already there)\n"));
    QCOMPARE(entries(mount.Path()), (QStringList{"c.wav", "kit-layers", "kit.qms"}));
    QCOMPARE(readFile(mount.Path() + "/kit-layers/good.wav"),
             waveHeader(1022) + readFile(good).mid(44) + QByteArray(22, '\0'));
}

// "-" reads standard input, saved into a private temporary file first, or
// writes the copy to standard output; the temporary folder is gone
// afterwards and no file called "-" is made.
void TestQmsTool::standardStreams()
{
    if (!copyAudio())
        return;
    const QString temporary = work->filePath(QStringLiteral("tmp"));
    QVERIFY(QDir().mkpath(temporary));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), temporary);

    QProcess piped; // an MP3 through a pipe: its format is found from its bytes alone
    piped.setProcessEnvironment(environment);
    piped.setWorkingDirectory(work->path());
    startTool(piped, {QStringLiteral("convert"), QStringLiteral("-o"), QStringLiteral("in.wav"),
                      QStringLiteral("-")});
    piped.write(readFile(work->filePath(QStringLiteral("tone.mp3"))));
    piped.closeWriteChannel();
    const Result in = finish(piped);
    QVERIFY2(in.exitCode == 0 && in.out.startsWith(QLatin1String("standard input -> in.wav: MP3")),
             qPrintable(describe(in)));
    QCOMPARE(ReadWaveFile(work->filePath(QStringLiteral("in.wav"))), 44544);

    QProcess sending;
    sending.setProcessEnvironment(environment);
    sending.setWorkingDirectory(work->path());
    sending.setStandardOutputFile(work->filePath(QStringLiteral("out.wav")));
    startTool(sending, {QStringLiteral("convert"), QStringLiteral("-o"), QStringLiteral("-"),
                        QStringLiteral("ffmpeg.wav")});
    const Result out = finish(sending);
    QVERIFY2(out.exitCode == 0 &&
                 out.err.startsWith(QLatin1String("ffmpeg.wav -> standard output: WAV")),
             qPrintable(describe(out)));
    QCOMPARE(qmstool({QStringLiteral("convert"), QStringLiteral("-o"), QStringLiteral("direct.wav"),
                      QStringLiteral("ffmpeg.wav")},
                     work->path())
                 .exitCode,
             0);
    QCOMPARE(readFile(work->filePath(QStringLiteral("out.wav"))),
             readFile(work->filePath(QStringLiteral("direct.wav"))));

    QCOMPARE(entries(temporary), QStringList());
    QVERIFY(!QFileInfo::exists(work->filePath(QStringLiteral("-"))));
}

// Copies of sources with long names get names a layer may have: the base
// name cut, the suffix kept, and names of their own for sources whose names
// differ only beyond the cut.
void TestQmsTool::longNamesConverted()
{
    if (!copyAudio())
        return;
    const QString stem = QString(90, QLatin1Char('v'));
    const QStringList sources{stem + QStringLiteral("-one.mp3"), stem + QStringLiteral("-two.mp3")};
    for (const QString &source : sources)
        QVERIFY(QFile::copy(work->filePath(QStringLiteral("tone.mp3")), work->filePath(source)));
    QVERIFY(QDir(work->path()).mkdir(QStringLiteral("sub")));
    const Result converted = qmstool(
        QStringList{QStringLiteral("convert"), QStringLiteral("-d"), QStringLiteral("sub")} +
            sources,
        work->path());
    QVERIFY2(converted.exitCode == 0, qPrintable(describe(converted)));
    const QStringList copies = entries(work->filePath(QStringLiteral("sub")));
    QCOMPARE(copies.size(), 2);
    for (const QString &copy : copies) {
        QVERIFY2(copy.startsWith(QString(60, QLatin1Char('v'))) && copy.endsWith(".wav"),
                 qPrintable(copy));
        // A name of more than 80 characters is refused with -6.
        QCOMPARE(ReadWaveFile(work->filePath(QStringLiteral("sub/") + copy)), 44544);
    }
}

void TestQmsTool::replaceOnlySoundFiles_data()
{
    QTest::addColumn<QByteArray>("existing");
    QTest::addColumn<bool>("force");
    QTest::addColumn<QString>("refusal");

    QTest::newRow("a WAV file") << waveFile(1000) << false
                                << QStringLiteral("it is a WAV file, not a sound file; -f or "
                                                  "--force replaces it");
    QTest::newRow("a text file") << QByteArray("notes\n") << false
                                 << QStringLiteral("it is not a sound file; -f or --force "
                                                   "replaces it");
    QTest::newRow("a text file, --force") << QByteArray("notes\n") << true << QString();
}

// build replaces a sound file (a rebuild), and anything else only with --force.
void TestQmsTool::replaceOnlySoundFiles()
{
    QFETCH(QByteArray, existing);
    QFETCH(bool, force);
    QFETCH(QString, refusal);
    const QString out = work->filePath(QStringLiteral("notes.wav"));
    QVERIFY(writeFile(out, existing));
    QStringList arguments{QStringLiteral("build"), QStringLiteral("-o"), out,
                          path(QStringLiteral("good.wav"))};
    if (force)
        arguments << QStringLiteral("--force");
    const Result result = qmstool(arguments);
    if (refusal.isEmpty()) {
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(readFile(out).size(), 512 + 1024);
        return;
    }
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(result.err, QStringLiteral("qmstool: %1 not written: %2\n").arg(out, refusal));
    QCOMPARE(readFile(out), existing);
}

// convert and extract say as JSON what their text says.
void TestQmsTool::jsonDocuments()
{
    if (!copyAudio())
        return;
    const Result converted =
        qmstool({QStringLiteral("convert"), QStringLiteral("--json"), QStringLiteral("-d"),
                 QStringLiteral("."), QStringLiteral("tone.mp3"), QStringLiteral("text.wav")},
                work->path());
    QCOMPARE(converted.exitCode, 1);
    const QJsonArray files = QJsonDocument::fromJson(converted.out.toUtf8())
                                 .object()
                                 .value(QLatin1String("files"))
                                 .toArray();
    QCOMPARE(files.size(), 2);
    const QJsonObject copy = files.at(0).toObject();
    QCOMPARE(copy.value(QLatin1String("output")).toString(), QStringLiteral("./tone.wav"));
    QCOMPARE(copy.value(QLatin1String("status")).toString(), QStringLiteral("converted"));
    QCOMPARE(copy.value(QLatin1String("format")).toObject(),
             (QJsonObject{{QStringLiteral("container"), QStringLiteral("MP3")},
                          {QStringLiteral("encoding"), QStringLiteral("compressed")},
                          {QStringLiteral("sample_rate"), 48000},
                          {QStringLiteral("channels"), 2}}));
    QCOMPARE(copy.value(QLatin1String("slot_size")).toInt(), 44544);
    const QJsonObject text = files.at(1).toObject();
    QCOMPARE(text.value(QLatin1String("status")).toString(), QStringLiteral("unreadable"));
    QVERIFY(!text.contains(QLatin1String("slot_size")));

    const QString set = work->filePath(QStringLiteral("set.qms"));
    QCOMPARE(qmstool({QStringLiteral("build"), QStringLiteral("-o"), set, QStringLiteral("-t"),
                      QStringLiteral("100,1"), work->filePath(QStringLiteral("tone.wav")),
                      path(QStringLiteral("good.wav"))})
                 .exitCode,
             0);
    const Result extracted = qmstool({QStringLiteral("extract"), QStringLiteral("--json"), set});
    QCOMPARE(extracted.exitCode, 0);
    const QJsonObject report = QJsonDocument::fromJson(extracted.out.toUtf8()).object();
    const QJsonObject last = report.value(QLatin1String("layers")).toArray().last().toObject();
    QCOMPARE(last.value(QLatin1String("threshold")).toInt(), 1);
    QCOMPARE(last.value(QLatin1String("path")).toString(),
             work->filePath(QStringLiteral("set-layers/good.wav")));
    QCOMPARE(last.value(QLatin1String("slot_size")).toInt(), 1024);
    QCOMPARE(report.value(QLatin1String("build_command")).toString(),
             QStringLiteral("qmstool build -o '%1' -t 100,1 '%2/set-layers/tone.wav' "
                            "'%2/set-layers/good.wav'")
                 .arg(set, work->path()));
}

// analyze measures audio files and each layer of a sound file: a sine of
// known level between silences, the same as layer 1 (its slot but the last
// two bytes) beside a silent layer 2, and a file that is not audio.
void TestQmsTool::analyze()
{
    const QString sine = work->filePath(QStringLiteral("sine.wav"));
    const QString failed =
        AudioSupport::make({"sox", "-R", "-n", "-r", "44100", "-c", "1", "-b", "16", sine, "synth",
                            "1", "sine", "1000", "vol", "0.5", "pad", "0.25", "0.5"});
    if (!failed.isEmpty())
        QSKIP(qPrintable(failed));
    double loudness = 0;
    double truePeak = 0;
    const QString unmeasured = AudioSupport::ffmpegLoudness(sine, loudness, truePeak);
    QVERIFY2(unmeasured.isEmpty(), qPrintable(unmeasured));
    const QString silent = work->filePath(QStringLiteral("silent.wav"));
    QVERIFY(writeFile(silent, waveHeader(88200) + QByteArray(88200, '\0')));
    const QString set = work->filePath(QStringLiteral("set.qms"));
    QCOMPARE(qmstool({QStringLiteral("build"), QStringLiteral("-o"), set, sine, silent}).exitCode,
             0);
    const QString text = work->filePath(QStringLiteral("text.wav"));
    QVERIFY(writeFile(text, "not audio\n"));

    const QStringList files{sine, set, text};
    const Result json =
        qmstool(QStringList{QStringLiteral("analyze"), QStringLiteral("--json")} + files);
    QCOMPARE(json.exitCode, 1);
    const QJsonArray results =
        QJsonDocument::fromJson(json.out.toUtf8()).object().value(QLatin1String("files")).toArray();
    QCOMPARE(results.size(), 3);
    const QJsonObject wave = results.at(0).toObject();
    QCOMPARE(wave.value(QLatin1String("seconds")).toDouble(), 1.75);
    QVERIFY(qAbs(wave.value(QLatin1String("sample_peak")).toDouble() + 6.02) < 0.05);
    QVERIFY(qAbs(wave.value(QLatin1String("true_peak")).toDouble() - truePeak) < 0.2);
    QVERIFY(qAbs(wave.value(QLatin1String("loudness")).toDouble() - loudness) < 0.2);
    QVERIFY(qAbs(wave.value(QLatin1String("leading_silence")).toDouble() - 0.25) < 0.001);
    QVERIFY(qAbs(wave.value(QLatin1String("trailing_silence")).toDouble() - 0.5) < 0.001);
    QCOMPARE(wave.value(QLatin1String("clipped")).toInt(), 0);

    const QJsonArray layers = results.at(1).toObject().value(QLatin1String("layers")).toArray();
    QCOMPARE(layers.size(), 2);
    const QJsonObject first = layers.at(0).toObject();
    QCOMPARE(first.value(QLatin1String("seconds")).toDouble(),
             (slotSize(2 * 77175) - 2) / 2 / 44100.0);
    for (const char *figure : {"sample_peak", "true_peak", "loudness", "leading_silence"})
        QVERIFY(qAbs(first.value(QLatin1String(figure)).toDouble() -
                     wave.value(QLatin1String(figure)).toDouble()) < 0.01);
    const QJsonObject second = layers.at(1).toObject();
    QCOMPARE(second.value(QLatin1String("name")).toString(), QStringLiteral("silent.wav"));
    QVERIFY(second.value(QLatin1String("loudness")).isNull());
    QVERIFY(second.value(QLatin1String("sample_peak")).isNull());
    QVERIFY(results.at(2).toObject().contains(QLatin1String("error")));

    // The same as a table: the figures rounded, silence "-inf".
    const Result table = qmstool(QStringList{QStringLiteral("analyze")} + files);
    QCOMPARE(table.exitCode, 1);
    const QStringList lines = table.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.at(1).simplified(),
             QStringLiteral("1.75 -6.0 %1 %2 0.25 0.50 0 %3")
                 .arg(wave.value(QLatin1String("true_peak")).toDouble(), 0, 'f', 1)
                 .arg(wave.value(QLatin1String("loudness")).toDouble(), 0, 'f', 1)
                 .arg(sine));
    QVERIFY2(lines.at(3).simplified().startsWith(QLatin1String("1.00 -inf -inf -inf 1.00 1.00 0")),
             qPrintable(lines.at(3)));
    QCOMPARE(table.err, QStringLiteral("qmstool: %1: not analysed: it is not audio in any format "
                                       "that can be read\n")
                            .arg(text));
}

// --debug passes the core's debug lines on, --verbose says each step in
// words, --quiet leaves standard output empty; before or after the command.
void TestQmsTool::verbosity()
{
    const QString wav = path(QStringLiteral("good.wav"));
    const Result plain = qmstool({QStringLiteral("check"), wav});
    QCOMPARE(plain.exitCode, 0);
    QVERIFY(plain.err.isEmpty());

    const Result debug = qmstool({QStringLiteral("check"), QStringLiteral("--debug"), wav});
    QCOMPARE(debug.exitCode, 0);
    QCOMPARE(debug.out, plain.out);
    QVERIFY2(debug.err.contains(QStringLiteral("\"%1\" File opening").arg(wav)),
             qPrintable(debug.err));

    const Result verbose = qmstool({QStringLiteral("--verbose"), QStringLiteral("build"),
                                    QStringLiteral("-o"), outPath(), wav});
    QCOMPARE(verbose.exitCode, 0);
    QVERIFY2(verbose.err.contains(QLatin1String("Layer 1: good.wav, 0.01 s, slot 1024 bytes\n")) &&
                 !verbose.err.contains(QLatin1String("Writing Data From")),
             qPrintable(verbose.err));

    const QString refused = path(QStringLiteral("short.wav"));
    for (const QStringList &arguments :
         {QStringList{QStringLiteral("-q"), QStringLiteral("check"), wav, refused},
          QStringList{QStringLiteral("check"), wav, refused, QStringLiteral("--quiet")}}) {
        const Result quiet = qmstool(arguments);
        QCOMPARE(quiet.exitCode, 1);
        QCOMPARE(quiet.out, QString());
        QCOMPARE(quiet.err, QString());
    }
}

QTEST_GUILESS_MAIN(TestQmsTool)
#include "tst_qmstool.moc"
