#include "soundjobfixture.h"
#include "testsupport.h"

#include "soundfile/layerextraction.h"
#include "soundfile/outputfile.h"
#include "soundfile/soundfilereader.h"
#include "soundfile/soundfilewriter.h"
#include "wav/wavefilereader.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

namespace {

// Writes a sound file whose layers carry `names` (however the writer would
// never name them), layer k with 1000 * k sample bytes of pattern k.
bool writeSoundFile(const QString &path, const QStringList &names)
{
    QList<qint64> dataLengths;
    for (int k = 0; k < names.size(); ++k)
        dataLengths << 1000 * (k + 1);
    const SoundJob job = soundJobOfWaves(path, dataLengths, names);
    DebugCapture quiet;
    const bool written = WriteSoundFile(job).Written();
    for (int k = 0; k < job.Count; ++k)
        QFile::remove(job.Paths[k]);
    return written;
}

LayerExtraction extract(const QString &soundFile, const QString &folder)
{
    DebugCapture quiet;
    SoundFileReader reader;
    if (reader.Open(soundFile))
        return ExtractLayers(reader, folder);
    LayerExtraction refused;
    refused.Error = reader.Info().Problems.join(QLatin1String("; "));
    return refused;
}

} // namespace

class TestLayerExtraction : public QObject
{
    Q_OBJECT

private slots:
    void fileNames_data();
    void fileNames();
    void hostileNamesStayInFolder();
    void takenNames_data();
    void takenNames();
    void takenWhileWriting_data();
    void takenWhileWriting();
};

void TestLayerExtraction::fileNames_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("fileName");

    const QString n75(75, QLatin1Char('n'));
    QTest::newRow("plain") << QStringLiteral("kick.wav") << QStringLiteral("kick.wav");
    QTest::newRow("upper-case suffix") << QStringLiteral("KICK.WAV") << QStringLiteral("KICK.WAV");
    QTest::newRow("no suffix") << QStringLiteral("kick") << QStringLiteral("kick.wav");
    QTest::newRow("parent folder") << QStringLiteral("../x") << QStringLiteral(".._x.wav");
    QTest::newRow("absolute") << QStringLiteral("/etc/passwd") << QStringLiteral("_etc_passwd.wav");
    QTest::newRow("control characters")
        << QStringLiteral("a\nb\x01\x7f\u009b\x1b[2J.wav") << QStringLiteral("a_b____[2J.wav");
    QTest::newRow("NUL") << QString(QStringLiteral("a%1b")).arg(QChar(0))
                         << QStringLiteral("a_b.wav");
    QTest::newRow("dot") << QStringLiteral(".") << QStringLiteral("..wav");
    QTest::newRow("dot dot") << QStringLiteral("..") << QStringLiteral("...wav");
    QTest::newRow("empty") << QString() << QStringLiteral("layer3.wav");
    QTest::newRow("80 characters, no suffix")
        << QString(80, QLatin1Char('n')) << QString(76, QLatin1Char('n')) + QStringLiteral(".wav");
    // The cut does not leave half of a surrogate pair.
    QTest::newRow("cut at an astral character")
        << n75 + QStringLiteral("\U0001F941abc") << n75 + QStringLiteral(".wav");
}

// A stored name becomes one safe file name within the WAV import's limits.
void TestLayerExtraction::fileNames()
{
    QFETCH(QString, stored);
    QFETCH(QString, fileName);
    const QString name = LayerFileName(stored, 3);
    QCOMPARE(name, fileName);
    QVERIFY(name.size() <= Limits::NameLength);
}

// However hostile the names a sound file gives its layers, every WAV file
// lands in the chosen folder under its own name, and each adds back with
// the slot size it came from.
void TestLayerExtraction::hostileNamesStayInFolder()
{
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("in/deep")));
    const QString soundFile = root.filePath(QStringLiteral("in/deep/hostile.qms"));
    const QStringList names{QStringLiteral("../x"),           QStringLiteral("/etc/passwd"),
                            QStringLiteral("ctl\x01\x1b[2J"), QStringLiteral("twin.wav"),
                            QStringLiteral("twin.wav"),       QStringLiteral(".."),
                            QStringLiteral("a/../../b.wav")};
    QVERIFY(writeSoundFile(soundFile, names));
    const QStringList before = tree(root.path());

    const QString folder = root.filePath(QStringLiteral("in/deep/out"));
    const LayerExtraction extraction = extract(soundFile, folder);
    QVERIFY2(extraction.Done(), qPrintable(extraction.Error));
    const QStringList fileNames{QStringLiteral(".._x.wav"),     QStringLiteral("_etc_passwd.wav"),
                                QStringLiteral("ctl__[2J.wav"), QStringLiteral("twin.wav"),
                                QStringLiteral("twin-2.wav"),   QStringLiteral("...wav"),
                                QStringLiteral("a_.._.._b.wav")};
    QStringList expected;
    QCOMPARE(extraction.Layers.size(), names.size());
    for (int k = 0; k < names.size(); ++k) {
        const ExtractedLayer &layer = extraction.Layers.at(k);
        QCOMPARE(layer.Path, folder + QLatin1Char('/') + fileNames.at(k));
        QCOMPARE(layer.StoredName, names.at(k));
        const int slot = (1000 * (k + 1) & ~511) + 512;
        expected << QStringLiteral("%1 f %2").arg(fileNames.at(k)).arg(44 + slot - 2);
        DebugCapture quiet;
        QCOMPARE(ReadWaveFile(layer.Path), slot);
        QCOMPARE(readFile(layer.Path).mid(44, 1000 * (k + 1)),
                 samplePattern(1000 * (k + 1), k + 1));
    }
    expected.sort();
    QCOMPARE(tree(folder), expected);
    QStringList elsewhere = tree(root.path());
    elsewhere.removeIf(
        [](const QString &entry) { return entry.startsWith(QLatin1String("in/deep/out")); });
    QCOMPARE(elsewhere, before);
    // Every renamed layer is noted.
    QCOMPARE(extraction.Notes.size(), 6);
}

void TestLayerExtraction::takenNames_data()
{
    QTest::addColumn<QString>("standing"); // what stands at out/kick.wav before
    QTest::addColumn<QString>("used");     // the name the layer's WAV file gets
    QTest::addColumn<bool>("existed");

    QTest::newRow("a different file")
        << QStringLiteral("file") << QStringLiteral("kick-2.wav") << false;
    QTest::newRow("the same bytes") << QStringLiteral("same") << QStringLiteral("kick.wav") << true;
    QTest::newRow("a link to nowhere")
        << QStringLiteral("dangling") << QStringLiteral("kick-2.wav") << false;
    QTest::newRow("a link to the same bytes")
        << QStringLiteral("link") << QStringLiteral("kick-2.wav") << false;
    QTest::newRow("a named pipe") << QStringLiteral("fifo") << QStringLiteral("kick-2.wav")
                                  << false;
    QTest::newRow("a folder") << QStringLiteral("folder") << QStringLiteral("kick-2.wav") << false;
}

// Nothing that stands at a name is replaced, followed or waited on; a file
// that holds exactly the layer's bytes is used as it is.
void TestLayerExtraction::takenNames()
{
    QFETCH(QString, standing);
    QFETCH(QString, used);
    QFETCH(bool, existed);
    QTemporaryDir root;
    const QString soundFile = root.filePath(QStringLiteral("kit.qms"));
    QVERIFY(writeSoundFile(soundFile, {QStringLiteral("kick.wav")}));
    // The bytes the layer's WAV file gets, from a first extraction.
    const QString first = root.filePath(QStringLiteral("first"));
    QVERIFY(extract(soundFile, first).Done());
    const QByteArray wave = readFile(first + QStringLiteral("/kick.wav"));
    QVERIFY(QDir(first).removeRecursively());

    const QString folder = root.filePath(QStringLiteral("out"));
    const QString taken = folder + QStringLiteral("/kick.wav");
    const QString outside = root.filePath(QStringLiteral("outside.wav"));
    QVERIFY(QDir().mkpath(folder));
    if (standing == QLatin1String("file"))
        QVERIFY(writeFile(taken, "another recording"));
    else if (standing == QLatin1String("same"))
        QVERIFY(writeFile(taken, wave));
    else if (standing == QLatin1String("dangling"))
        QVERIFY(QFile::link(outside, taken));
    else if (standing == QLatin1String("link"))
        QVERIFY(writeFile(outside, wave) && QFile::link(outside, taken));
    else if (standing == QLatin1String("fifo"))
        QVERIFY(makeFifo(taken));
    else
        QVERIFY(QDir().mkdir(taken));
    const QStringList before = tree(root.path());

    const LayerExtraction extraction = extract(soundFile, folder);
    QVERIFY2(extraction.Done(), qPrintable(extraction.Error));
    QCOMPARE(extraction.Layers.size(), 1);
    QCOMPARE(extraction.Layers.first().Path, folder + QLatin1Char('/') + used);
    QCOMPARE(extraction.Layers.first().Existed, existed);
    QCOMPARE(readFile(extraction.Layers.first().Path), wave);
    QStringList after = tree(root.path());
    if (!existed)
        after.removeOne(QStringLiteral("out/%1 f %2").arg(used).arg(wave.size()));
    QCOMPARE(after, before);
}

void TestLayerExtraction::takenWhileWriting_data()
{
    QTest::addColumn<QString>("fileSystem"); // "" for the test folder's own
    QTest::addColumn<QStringList>("faults"); // the row then runs in a process of its own
    QTest::addColumn<bool>("unnamed");       // the file is written as an O_TMPFILE one
    const QString taken = QStringLiteral("QMS_FAULT_TAKEN=kick.wav");
    QTest::newRow("linked in place") << QString() << QStringList() << true;
    QTest::newRow("renamed, refusing to replace")
        << QString() << QStringList{QStringLiteral("QMS_FAULT_NO_TMPFILE=1")} << false;
    // No such link or rename: the name is taken just before the copy's file
    // is made.
    QTest::newRow("FAT: copied into a new file")
        << QStringLiteral("vfat") << QStringList{taken} << false;
    QTest::newRow("exFAT: copied into a new file")
        << QStringLiteral("exfat") << QStringList{taken} << false;
}

// A file that takes the name while a layer's WAV file is being written is
// never replaced, whatever the file system offers; at a free name the file
// arrives whole.
void TestLayerExtraction::takenWhileWriting()
{
    QFETCH(QString, fileSystem);
    QFETCH(QStringList, faults);
    QFETCH(bool, unnamed);
    if (!faults.isEmpty() && !qEnvironmentVariableIsSet("QMS_TEST_OWN_PROCESS")) {
        QProcess child;
        child.setProcessEnvironment(withFaults(QProcessEnvironment::systemEnvironment(),
                                               QStringLiteral(FAULTSHIM_PATH),
                                               faults << QStringLiteral("QMS_TEST_OWN_PROCESS=1")));
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("takenWhileWriting:") + QTest::currentDataTag()});
        QVERIFY(child.waitForFinished(60000));
        const QString output = QString::fromLocal8Bit(child.readAll());
        const QStringList skipped = output.split(QLatin1Char('\n')).filter(QLatin1String("SKIP"));
        if (!skipped.isEmpty())
            QSKIP(qPrintable(skipped.first().section(QLatin1String(") "), 1)));
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 qPrintable(output));
        return;
    }
    QTemporaryDir root;
    FuseMount mount;
    QString folder = root.path();
    if (!fileSystem.isEmpty()) {
        const QString why = mount.Mount(fileSystem, root.path());
        if (!why.isEmpty())
            QSKIP(qPrintable(why));
        folder = mount.Path();
    }
    const QString kick = folder + QStringLiteral("/kick.wav");
    const QByteArray bytes = waveFile(100000);

    OutputFile late(kick, OutputFile::Existing::Keep);
    QVERIFY(late.Open() && late.Write(bytes));
    QCOMPARE(entries(folder).size(), unnamed ? 0 : 1);
    if (!qEnvironmentVariableIsSet("QMS_FAULT_TAKEN"))
        QVERIFY(writeFile(kick, "another program's file"));
    QVERIFY(!late.Commit());
    QCOMPARE(late.ErrorString(), QStringLiteral("a file of that name already exists"));
    QCOMPARE(readFile(kick), QByteArray("another program's file"));
    QCOMPARE(entries(folder), QStringList{QStringLiteral("kick.wav")});

    OutputFile free(folder + QStringLiteral("/snare.wav"), OutputFile::Existing::Keep);
    QVERIFY(free.Open() && free.Write(bytes) && free.Commit());
    QCOMPARE(readFile(folder + QStringLiteral("/snare.wav")), bytes);
    QCOMPARE(entries(folder),
             (QStringList{QStringLiteral("kick.wav"), QStringLiteral("snare.wav")}));
}

QTEST_GUILESS_MAIN(TestLayerExtraction)
#include "tst_layerextraction.moc"
