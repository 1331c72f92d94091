#include "soundjobfixture.h"
#include "testsupport.h"

#include "soundfile/soundfileformat.h"
#include "soundfile/soundfilewriter.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace TestSupport;

using Sizes = QList<qint64>;
Q_DECLARE_METATYPE(Sizes)
// Makes what a row writes to, in a folder or from a layer's path; returns
// the output's path.
using OutputAt = std::function<QString(const QString &)>;
Q_DECLARE_METATYPE(OutputAt)
// Changes a layer's WAV file after it was checked; false if that failed.
using LayerChange = std::function<bool(const QString &path)>;
Q_DECLARE_METATYPE(LayerChange)

namespace {

quint16 le16(const QByteArray &b, int offset)
{
    return qFromLittleEndian<quint16>(b.constData() + offset);
}

quint32 le32(const QByteArray &b, int offset)
{
    return qFromLittleEndian<quint32>(b.constData() + offset);
}

// Runs the writer in a child process whose files may not grow beyond
// `fileSizeLimit` bytes, as on a full disk; true when its status is `expected`.
bool writesWithFileSizeLimit(const SoundJob &job, rlim_t fileSizeLimit, WriteStatus expected)
{
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(WriteSoundFile(job).Status == expected ? 0 : 1);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

} // namespace

class TestSoundFileWriter : public QObject
{
    Q_OBJECT

private slots:
    void workedExample();
    void layout_data();
    void layout();
    void headerLength_data();
    void headerLength();
    void pageCountsKeep13Bits();
    void thresholdsKeepLow7Bits();
    void randomTagRange();
    void capacity_data();
    void capacity();
    void debugLines_data();
    void debugLines();
    void refusedJobKeepsExistingFile();
    void replacedFileLosesSetIdBits();
    void cannotCreate_data();
    void cannotCreate();
    void ownSymlinkInSharedFolderIsFollowed();
    void diskFull_data();
    void diskFull();
    void unusableLayer_data();
    void unusableLayer();
    void shrunkLayerIsPadded();
    void outputIsALayer_data();
    void outputIsALayer();
    void sameWaveTwice();

private:
    // A job of WAV files with these data lengths, written into the test folder.
    SoundJob makeJob(const Sizes &dataLengths, const QString &output = QString());
    QTemporaryDir dir;
};

SoundJob TestSoundFileWriter::makeJob(const Sizes &dataLengths, const QString &output)
{
    return soundJobOfWaves(dir.filePath(output.isEmpty() ? QStringLiteral("out.qms") : output),
                           dataLengths);
}

void TestSoundFileWriter::workedExample()
{
    SoundJob job;
    job.FileName = QStringLiteral("demo.qms");
    job.FilePath = dir.filePath(job.FileName);
    job.Count = 1;
    job.Names[0] = QStringLiteral("kick.wav");
    job.Paths[0] = dir.filePath(QStringLiteral("kick.wav"));
    job.Sizes[0] = 100352;
    std::fill(std::begin(job.Thresholds), std::end(job.Thresholds), 1);
    const QByteArray samples = writeWave(job.Paths[0], 100000);

    QCOMPARE(WriteSoundFile(job).Status, WriteStatus::Written);

    QByteArray expected("Quelmar(tm) inc, California, USA");
    expected += QByteArray(4, '\0');
    expected += QByteArray::fromHex("04 01 01 0A 12 34 56 78 91");
    expected += QByteArray::fromHex("78 5A 46");
    expected += QByteArray::fromHex("C4 00 C4 00 C4 00 C4 00");
    expected += QByteArray::fromHex("00 02 00 00").repeated(4);
    expected += QByteArray::fromHex("01 01 01 01 01 01 01 01");
    expected += QByteArray::fromHex("88 01") + QByteArray(14, '\0');
    expected += QByteArray(8, '\0');
    expected += "\ndemo.qms\nkick.wav\n" + QByteArray(7, '\n');
    expected += QByteArray(382, '~');
    expected += samples;
    expected += QByteArray(352, '\0');
    QCOMPARE(expected.size(), 100864);

    QCOMPARE(withoutTag(readFile(job.FilePath)), expected);
}

void TestSoundFileWriter::layout_data()
{
    QTest::addColumn<Sizes>("dataLengths");

    QTest::newRow("n = 0") << Sizes{};
    QTest::newRow("n = 1") << Sizes{600};
    QTest::newRow("n = 2") << Sizes{1536, 700};
    QTest::newRow("n = 3") << Sizes{5000, 512, 88200};
    QTest::newRow("n = 4") << Sizes{1023, 1024, 2000, 4096};
    QTest::newRow("n = 5") << Sizes{1000, 2000, 3000, 4000, 5000};
    QTest::newRow("n = 8") << Sizes{513, 1100, 2047, 3000, 4096, 10000, 22050, 44100};
}

// Checks every field of the file against the layout, computed here from the
// job alone.
void TestSoundFileWriter::layout()
{
    QFETCH(Sizes, dataLengths);
    SoundJob job = makeJob(dataLengths);
    const int n = job.Count;
    if (n > 0) { // a hand-set drag leaves the empty layers' thresholds below 1
        for (int k = n; k < 8; ++k)
            job.Thresholds[k] = n - k;
        job.Thresholds[0] = 125;
    }
    QCOMPARE(WriteSoundFile(job).Status, WriteStatus::Written);
    const QByteArray file = readFile(job.FilePath);

    QByteArray names = "\n" + job.FileName.toUtf8() + "\n";
    for (const QString &name : job.Names)
        names += name.toUtf8() + "\n";
    const int listEnd = 104 + names.size();
    const int headerLength = (listEnd / 512 + 1) * 512;
    QCOMPARE(file.mid(104, names.size()), names);
    QCOMPARE(file.mid(listEnd, headerLength - listEnd), QByteArray(headerLength - listEnd, '~'));

    QCOMPARE(file.left(32), QByteArray(SoundFileFormat::Signature));
    QCOMPARE(file.mid(36, 9), QByteArray::fromHex("040101 0A 12345678 91"));
    QByteArray upper = QByteArray::fromHex("785A46");
    if (n >= 4) {
        for (int k = 0; k < 3; ++k)
            upper[k] = char(job.Thresholds[k] & 0x7F);
    }
    QCOMPARE(file.mid(45, 3), upper);

    qint64 offset = headerLength;
    int described = 0; // the layer each of the first four entries describes
    for (int k = 0; k < 4; ++k) {
        if (k < n)
            described = k;
        QCOMPARE(le16(file, 48 + 2 * k), quint16(job.Sizes[described] / 512));
        qint64 expectedOffset = headerLength;
        for (int j = 0; j < described; ++j)
            expectedOffset += job.Sizes[j];
        QCOMPARE(le32(file, 56 + 4 * k), quint32(expectedOffset));
    }
    for (int k = 0; k < 8; ++k) {
        QCOMPARE(quint8(file.at(72 + k)), quint8(job.Thresholds[k] & 0x7F));
        QCOMPARE(le16(file, 80 + 2 * k), quint16(k < n ? job.Sizes[k] / 256 : 0));
    }
    QCOMPARE(file.mid(96, 8), QByteArray(8, '\0'));

    for (int k = 0; k < n; ++k) {
        const QByteArray samples = readFile(job.Paths[k]).mid(44);
        QCOMPARE(file.mid(offset, samples.size()), samples);
        const int padding = job.Sizes[k] - samples.size();
        QVERIFY(padding >= 1 && padding <= 512);
        QCOMPARE(file.mid(offset + samples.size(), padding), QByteArray(padding, '\0'));
        offset += job.Sizes[k];
    }
    QCOMPARE(file.size(), offset);
}

void TestSoundFileWriter::headerLength_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QStringList>("layerNames");
    QTest::addColumn<int>("nameListEnd");
    QTest::addColumn<int>("headerLength");

    const QString name40 = QString(36, QLatin1Char('n')) + QStringLiteral(".wav");
    const QString name80 = QString(76, QLatin1Char('x')) + QStringLiteral(".wav");
    // 80 characters, 236 bytes in UTF-8: three-byte characters and ".wav".
    const QString wide80 = QString(76, QChar(0x20AC)) + QStringLiteral(".wav");

    QTest::newRow("ends on 512: a whole unit of filler")
        << QString(74, QLatin1Char('f')) + QStringLiteral(".qms") << QStringList(8, name40) << 512
        << 1024;
    QTest::newRow("600") << QString(70, QLatin1Char('f')) + QStringLiteral(".qms")
                         << (QStringList(4, name80) + QStringList(4, name40.left(20))) << 588
                         << 1024;
    QTest::newRow("one byte short of 512") << QString(73, QLatin1Char('f')) + QStringLiteral(".qms")
                                           << QStringList(8, name40) << 511 << 512;
    QTest::newRow("UTF-8 lengths")
        << QStringLiteral("d\u00e9mo.qms") << QStringList{wide80} << 355 << 512;
    QTest::newRow("eight wide names")
        << QStringLiteral("x.qms") << QStringList(8, wide80) << 114 + 5 + 8 * 232 << 2048;
}

void TestSoundFileWriter::headerLength()
{
    QFETCH(QString, fileName);
    QFETCH(QStringList, layerNames);
    QFETCH(int, nameListEnd);
    QFETCH(int, headerLength);

    SoundJob job = makeJob(Sizes(layerNames.size(), 512), fileName);
    for (int k = 0; k < layerNames.size(); ++k)
        job.Names[k] = layerNames.at(k);
    QCOMPARE(WriteSoundFile(job).Status, WriteStatus::Written);
    const QByteArray file = readFile(job.FilePath);

    QCOMPARE(le32(file, 56), quint32(headerLength));
    QCOMPARE(file.at(nameListEnd - 1), '\n');
    QCOMPARE(file.mid(nameListEnd, headerLength - nameListEnd),
             QByteArray(headerLength - nameListEnd, '~'));
    QCOMPARE(file.size(), headerLength + 1024 * layerNames.size());
    QCOMPARE(file.mid(headerLength, 512), readFile(job.Paths[0]).mid(44));
}

void TestSoundFileWriter::pageCountsKeep13Bits()
{
    // Slots of 2097152 bytes and more lose their 14th bit in the page count,
    // while the block count stays exact.
    const SoundJob job = makeJob(Sizes{2097151, 512});
    QCOMPARE(job.Sizes[0], 2097152);
    const QByteArray header = SoundFileFormat::BuildHeader(job, 0);
    QCOMPARE(le16(header, 48), quint16(4096));
    QCOMPARE(le16(header, 80), quint16(0));
    QCOMPARE(le16(header, 82), quint16(4));

    SoundJob largest;
    largest.Count = 1;
    largest.Sizes[0] = 3141632;
    const QByteArray h2 = SoundFileFormat::BuildHeader(largest, 0);
    QCOMPARE(le16(h2, 48), quint16(6136));
    QCOMPARE(le16(h2, 80), quint16(0x0FF0));
}

void TestSoundFileWriter::thresholdsKeepLow7Bits()
{
    SoundJob job;
    job.Count = 4;
    const qint32 thresholds[8] = {126, 1, 0, -1, -2, -3, 127, 128};
    std::copy(std::begin(thresholds), std::end(thresholds), job.Thresholds);
    const QByteArray header = SoundFileFormat::BuildHeader(job, 0);
    QCOMPARE(header.mid(72, 8), QByteArray::fromHex("7E 01 00 7F 7E 7D 7F 00"));
    QCOMPARE(header.mid(45, 3), QByteArray::fromHex("7E 01 00"));
}

void TestSoundFileWriter::randomTagRange()
{
    const SoundJob job;
    quint32 largest = 0;
    for (qint64 seconds = 1700000000; seconds < 1700000000 + 2000; ++seconds) {
        const quint32 tag = SoundFileFormat::RandomTag(seconds);
        QVERIFY(tag <= 32767u * 32767u);
        largest = qMax(largest, tag);
        QCOMPARE(le32(SoundFileFormat::BuildHeader(job, tag), 32), tag);
    }
    QVERIFY(largest > 0);
    // Seeded from the time in seconds: the same second gives the same tag.
    QCOMPARE(SoundFileFormat::RandomTag(1234), SoundFileFormat::RandomTag(1234));
    QVERIFY(SoundFileFormat::RandomTag(1234) != SoundFileFormat::RandomTag(1235));
}

void TestSoundFileWriter::capacity_data()
{
    QTest::addColumn<Sizes>("dataLengths");
    QTest::addColumn<bool>("fits");

    // 3141632 + 3584 = 3145216 bytes of slots, plus a 512-byte header.
    QTest::newRow("exactly full") << Sizes{3141631, 3583} << true;
    QTest::newRow("one block over") << Sizes{3141631, 4095} << false;
    QTest::newRow("slots alone fill it") << Sizes{3141631, 4095} << false;
}

void TestSoundFileWriter::capacity()
{
    QFETCH(Sizes, dataLengths);
    QFETCH(bool, fits);
    const SoundJob job = makeJob(dataLengths);
    QFile::remove(job.FilePath);
    DebugCapture capture;
    QCOMPARE(WriteSoundFile(job).Status, fits ? WriteStatus::Written : WriteStatus::OverCapacity);
    if (fits) {
        QCOMPARE(QFileInfo(job.FilePath).size(), 3145728);
    } else {
        QVERIFY(!QFileInfo::exists(job.FilePath));
        QCOMPARE(capture.lines, QStringList{QStringLiteral("Space is not enough")});
    }
}

void TestSoundFileWriter::debugLines_data()
{
    QTest::addColumn<Sizes>("dataLengths");
    QTest::newRow("n = 0") << Sizes{};
    QTest::newRow("n = 1") << Sizes{1000};
    QTest::newRow("n = 3") << Sizes{1000, 2000, 3000};
}

void TestSoundFileWriter::debugLines()
{
    QFETCH(Sizes, dataLengths);
    const SoundJob job = makeJob(dataLengths);
    DebugCapture capture;
    QCOMPARE(WriteSoundFile(job).Status, WriteStatus::Written);
    QStringList expected{QStringLiteral("Quantity Of Files %1").arg(job.Count)};
    for (int k = 0; k < job.Count; ++k)
        expected << QStringLiteral("Writing Data From  \"%1\"").arg(job.Paths[k]);
    QCOMPARE(capture.lines, expected);
}

void TestSoundFileWriter::refusedJobKeepsExistingFile()
{
    SoundJob job = makeJob(Sizes{3141631, 4095});
    const QByteArray previous("an earlier sound file");
    QVERIFY(writeFile(job.FilePath, previous));
    const QStringList before = entries(dir.path());
    QCOMPARE(WriteSoundFile(job).Status, WriteStatus::OverCapacity);
    QCOMPARE(readFile(job.FilePath), previous);
    QCOMPARE(entries(dir.path()), before);
}

// A replaced file keeps its permissions, but never its set-user-ID,
// set-group-ID or sticky bit.
void TestSoundFileWriter::replacedFileLosesSetIdBits()
{
    const SoundJob job = makeJob(Sizes{1000});
    const QByteArray name = QFile::encodeName(job.FilePath);
    QVERIFY(writeFile(job.FilePath, "an earlier sound file"));
    QVERIFY(::chmod(name.constData(), 07754) == 0);
    struct stat info;
    QVERIFY(::stat(name.constData(), &info) == 0 && (info.st_mode & 07777) == 07754);
    QCOMPARE(WriteSoundFile(job).Status, WriteStatus::Written);
    QVERIFY(::stat(name.constData(), &info) == 0);
    QCOMPARE(info.st_mode & 07777, mode_t(0754));
}

void TestSoundFileWriter::cannotCreate_data()
{
    QTest::addColumn<OutputAt>("prepare");
    QTest::addColumn<bool>("needsRoot");
    QTest::addColumn<QString>("reason");
    const auto at = [](const char *name) {
        return OutputAt([name](const QString &folder) { return folder + name; });
    };
    QTest::newRow("empty path") << OutputAt([](const QString &) { return QString(); }) << false
                                << "no file name";
    QTest::newRow("missing folder") << at("/no/such/folder/out.qms") << false << "does not exist";
    QTest::newRow("a folder") << at("/.") << false << "it is a folder";
    QTest::newRow("a line break in its name") << at("/two\nlines.qms") << false << "line break";
    // Only a regular file is ever replaced.
    QTest::newRow("a named pipe") << OutputAt([](const QString &folder) {
        const QString pipe = folder + "/pipe.qms";
        return makeFifo(pipe) ? pipe : QString();
    }) << false << "named pipe (FIFO), not a regular file";
    QTest::newRow("a socket") << OutputAt([](const QString &folder) {
        const QString socket = folder + "/socket.qms";
        return makeSocket(socket) ? socket : QString();
    }) << false << "socket, not a regular file";
    QTest::newRow("a device node") << OutputAt([](const QString &folder) {
        const QString device = folder + "/null.qms";
        return ::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0
                   ? device
                   : QString();
    }) << true << "character device, not a regular file";
    // A symlink another user planted in a sticky, world-writable folder (like
    // /tmp) is not followed, even though its target could be written.
    QTest::newRow("a planted symlink") << OutputAt([](const QString &folder) {
        const QString shared = folder + "/shared";
        const QString link = shared + "/out.qms";
        const bool made = QDir(folder).mkdir("shared") &&
                          ::chmod(QFile::encodeName(shared).constData(), 01777) == 0 &&
                          writeFile(folder + "/victim", "root's own file") &&
                          QFile::link(folder + "/victim", link) &&
                          ::lchown(QFile::encodeName(link).constData(), 65534, 65534) == 0;
        return made ? link : QString();
    }) << true << "symbolic link that another user placed in the shared folder";
}

void TestSoundFileWriter::cannotCreate()
{
    QFETCH(OutputAt, prepare);
    QFETCH(bool, needsRoot);
    QFETCH(QString, reason);
    if (needsRoot && ::geteuid() != 0)
        QSKIP("making device nodes and other users' files needs root");
    QTemporaryDir folder;
    SoundJob job = makeJob(Sizes{1000});
    job.FilePath = prepare(folder.path());
    job.FileName = job.FilePath.mid(job.FilePath.lastIndexOf(QLatin1Char('/')) + 1);
    QVERIFY(!QTest::currentTestFailed());
    const QStringList before = tree(folder.path());

    DebugCapture capture;
    const WriteReport report = WriteSoundFile(job);
    QCOMPARE(report.Status, WriteStatus::CannotCreate);
    QVERIFY2(report.Error.contains(reason), qPrintable(report.Error));
    QCOMPARE(capture.lines.size(), 1);
    QVERIFY(capture.lines.first().startsWith(QLatin1String("Unable to open  \"")));
    // Nothing was replaced or left behind; the special file is still there.
    QCOMPARE(tree(folder.path()), before);
}

// A symlink of the folder's owner or of the writer is followed as always.
void TestSoundFileWriter::ownSymlinkInSharedFolderIsFollowed()
{
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("shared")));
    QVERIFY(::chmod(QFile::encodeName(folder.filePath(QStringLiteral("shared"))).constData(),
                    01777) == 0);
    SoundJob job = makeJob(Sizes{1000});
    job.FilePath = folder.filePath(QStringLiteral("shared/out.qms"));
    QVERIFY(QFile::link(folder.filePath(QStringLiteral("target.qms")), job.FilePath));
    QCOMPARE(WriteSoundFile(job).Status, WriteStatus::Written);
    QCOMPARE(QFileInfo(folder.filePath(QStringLiteral("target.qms"))).size(), 512 + 1024);
    QVERIFY(QFileInfo(job.FilePath).isSymLink());
}

void TestSoundFileWriter::diskFull_data()
{
    QTest::addColumn<int>("fileSizeLimit");
    QTest::newRow("at the header") << 100;
    QTest::newRow("in a layer") << 200000;
    QTest::newRow("in the padding") << 512 + 300000 + 100;
}

void TestSoundFileWriter::diskFull()
{
    QFETCH(int, fileSizeLimit);
    const SoundJob job = makeJob(Sizes{300000, 1000});
    const QByteArray previous("an earlier sound file");
    QVERIFY(writeFile(job.FilePath, previous));
    const QStringList before = entries(dir.path());

    QVERIFY(writesWithFileSizeLimit(job, rlim_t(fileSizeLimit), WriteStatus::WriteFailed));
    QCOMPARE(readFile(job.FilePath), previous);
    QCOMPARE(entries(dir.path()), before);

    // The same job with room to spare goes through.
    QVERIFY(writesWithFileSizeLimit(job, 4 << 20, WriteStatus::Written));
    QCOMPARE(QFileInfo(job.FilePath).size(), 512 + 300032 + 1024);
}

void TestSoundFileWriter::unusableLayer_data()
{
    QTest::addColumn<LayerChange>("change");
    QTest::addColumn<QString>("reason");
    const auto wave = [](quint32 length, int at = -1, const QByteArray &bytes = {}) {
        return LayerChange([=](const QString &path) {
            QByteArray header = waveHeader(length);
            if (at >= 0)
                header = patched(header, at, bytes);
            return writeFile(path, header + samplePattern(length, 2));
        });
    };
    QTest::newRow("deleted") << LayerChange([](const QString &path) { return QFile::remove(path); })
                             << "No such file or directory";
    QTest::newRow("a folder now") << LayerChange([](const QString &path) {
        return QFile::remove(path) && QDir().mkdir(path);
    }) << "it is a folder";
    QTest::newRow("emptied") << wave(0, 0, QByteArray(44, '\0')) << "changed since it was added";
    QTest::newRow("length field zeroed") << wave(2000, 40, le32(0)) << "data length 0 bytes";
    QTest::newRow("length grew past its slot") << wave(2049) << "need a slot of 2560 bytes";
    QTest::newRow("length now fills its slot") << wave(2048) << "need a slot of 2560 bytes";
    QTest::newRow("length shrank a block") << wave(1000) << "need a slot of 1024 bytes";
    QTest::newRow("stereo now") << wave(2000, 22, le16(2)) << "2 channels";
    QTest::newRow("a LIST chunk now") << wave(2000, 36, "LIST") << "LIST chunk";
    // A pipe or device in the layer's place would block or give endless data.
    QTest::newRow("a named pipe now")
        << LayerChange([](const QString &path) { return QFile::remove(path) && makeFifo(path); })
        << "named pipe (FIFO)";
    QTest::newRow("a symlink to a device now") << LayerChange([](const QString &path) {
        return QFile::remove(path) && QFile::link(QStringLiteral("/dev/zero"), path);
    }) << "character device";
}

// A layer's WAV file that the WAV check would not accept now with the same
// slot size is refused with -4 naming the layer; nothing is written.
void TestSoundFileWriter::unusableLayer()
{
    QFETCH(LayerChange, change);
    QFETCH(QString, reason);
    const SoundJob job = makeJob(Sizes{1000, 2000, 3000});
    QVERIFY(change(job.Paths[1]));
    const QByteArray previous("an earlier sound file");
    QVERIFY(writeFile(job.FilePath, previous));
    const QStringList before = entries(dir.path());

    DebugCapture capture;
    const WriteReport report = WriteSoundFile(job);
    QCOMPARE(report.Status, WriteStatus::LayerUnusable);
    QCOMPARE(report.Layer, 2);
    QVERIFY2(report.Error.contains(reason), qPrintable(report.Error));
    QVERIFY(capture.lines.contains(QStringLiteral("Unable to read  \"%1\"").arg(job.Paths[1])));
    QCOMPARE(readFile(job.FilePath), previous);
    QCOMPARE(entries(dir.path()), before);
    QVERIFY(QDir(job.Paths[1]).removeRecursively() || QFile::remove(job.Paths[1]));
}

void TestSoundFileWriter::shrunkLayerIsPadded()
{
    // Layer 1 lost its last samples since it was loaded (the length field still
    // says 5000); layer 2 must still start where the header says.
    SoundJob job = makeJob(Sizes{5000, 1000});
    const QByteArray kept = writeWave(job.Paths[0], 5000, 1200, 1);
    QCOMPARE(WriteSoundFile(job).Status, WriteStatus::Written);
    const QByteArray file = readFile(job.FilePath);
    QCOMPARE(file.size(), 512 + 5120 + 1024);
    QCOMPARE(le32(file, 60), quint32(512 + 5120));
    QCOMPARE(file.mid(512, 1200), kept);
    QCOMPARE(file.mid(512 + 1200, 5120 - 1200), QByteArray(5120 - 1200, '\0'));
    QCOMPARE(file.mid(512 + 5120, 1000), readFile(job.Paths[1]).mid(44));
}

void TestSoundFileWriter::outputIsALayer_data()
{
    QTest::addColumn<OutputAt>("prepare"); // from the layer's path
    QTest::addColumn<bool>("needsRoot");
    QTest::newRow("same path") << OutputAt([](const QString &wav) { return wav; }) << false;
    QTest::newRow("a symlink to it") << OutputAt([](const QString &wav) {
        const QString link = wav + ".link.qms";
        return QFile::link(wav, link) ? link : QString();
    }) << false;
    QTest::newRow("a hard link to it") << OutputAt([](const QString &wav) {
        const QString link = wav + ".hard.qms";
        return ::link(QFile::encodeName(wav).constData(), QFile::encodeName(link).constData()) == 0
                   ? link
                   : QString();
    }) << false;
    // A bind mount shows the same file under another path.
    QTest::newRow("through a bind mount") << OutputAt([](const QString &wav) {
        const QString folder = QFileInfo(wav).absolutePath();
        const QString mirror = folder + "/mirror";
        const bool mounted = QDir(folder).mkdir("mirror") &&
                             QProcess::execute("mount", {"--bind", folder, mirror}) == 0;
        return mounted ? mirror + "/" + QFileInfo(wav).fileName() : QString();
    }) << true;
}

void TestSoundFileWriter::outputIsALayer()
{
    QFETCH(OutputAt, prepare);
    QFETCH(bool, needsRoot);
    if (needsRoot && ::geteuid() != 0)
        QSKIP("bind mounts need root");
    QTemporaryDir folder;
    SoundJob job = makeJob(Sizes{1000, 2000});
    QVERIFY(QFile::rename(job.Paths[1], folder.filePath(QStringLiteral("layer2.wav"))));
    job.Paths[1] = folder.filePath(QStringLiteral("layer2.wav"));
    job.FilePath = prepare(job.Paths[1]);
    QVERIFY(!job.FilePath.isEmpty());
    const QString mirror = folder.filePath(QStringLiteral("mirror"));
    const auto unmount = qScopeGuard([&] {
        if (QFileInfo(mirror).isDir())
            QProcess::execute(QStringLiteral("umount"), {mirror});
    });
    const QByteArray wave = readFile(job.Paths[1]);
    const QStringList before = entries(folder.path());
    DebugCapture capture;
    const WriteReport report = WriteSoundFile(job);
    QCOMPARE(report.Status, WriteStatus::OutputIsLayer);
    QCOMPARE(report.Layer, 2);
    QCOMPARE(
        capture.lines,
        QStringList{QStringLiteral("Output would replace the layer  \"%1\"").arg(job.Paths[1])});
    QCOMPARE(readFile(job.Paths[1]), wave);
    QCOMPARE(entries(folder.path()), before);
}

void TestSoundFileWriter::sameWaveTwice()
{
    SoundJob job = makeJob(Sizes{1000, 2000});
    job.Paths[1] = job.Paths[0];
    job.Sizes[1] = job.Sizes[0];
    QCOMPARE(WriteSoundFile(job).Status, WriteStatus::Written);
    const QByteArray file = readFile(job.FilePath);
    QCOMPARE(file.size(), 512 + 2 * 1024);
    QCOMPARE(file.mid(512, 1024), file.mid(512 + 1024, 1024));
    QCOMPARE(le32(file, 60), quint32(512 + 1024));
}

QTEST_GUILESS_MAIN(TestSoundFileWriter)
#include "tst_soundfilewriter.moc"
