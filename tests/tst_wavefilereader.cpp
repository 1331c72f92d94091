#include "testsupport.h"
#include "wav/wavefilereader.h"

#include <QTemporaryDir>
#include <QTest>

#include <functional>

#include <sys/stat.h>
#include <sys/sysmacros.h>

using namespace TestSupport;

// Makes the file a row reads at a path; false if that failed.
using Make = std::function<bool(const QString &path)>;
Q_DECLARE_METATYPE(Make)

class TestWaveFileReader : public QObject
{
    Q_OBJECT

private slots:
    void header_data();
    void header();
    void slotSize_data();
    void slotSize();
    void nameLength_data();
    void nameLength();
    void emptyPath();
    void cannotOpen_data();
    void cannotOpen();
    void readsOnlyTheHeader();

private:
    QTemporaryDir dir;
};

void TestWaveFileReader::header_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QString>("lastLine");

    const QByteArray good = waveHeader(88200) + QByteArray(88200, '\x11');
    const QString accepted = QStringLiteral("Trimmed waveform's length is  88576 bytes");
    const QString noTag = QStringLiteral("format of fifle is apple-similar. Escaped");
    const QString badLength = QStringLiteral("File is too big");
    const QString badFormat = QStringLiteral("Incompatible format of fifle");

    QTest::newRow("canonical") << good << 88576 << accepted;
    QTest::newRow("empty file") << QByteArray() << -3 << noTag;
    QTest::newRow("35 bytes") << good.left(35) << -3 << noTag;
    QTest::newRow("39 bytes, tag cut short") << good.left(39) << -3 << noTag;
    // The missing high byte of the length counts as zero.
    QTest::newRow("43 bytes") << good.left(43) << 88576 << accepted;
    QTest::newRow("40 bytes, tag but no length") << good.left(40) << -5 << badLength;
    QTest::newRow("no RIFF/WAVE tags")
        << patched(patched(good, 0, "XXXX"), 8, "YYYY") << 88576 << accepted;
    QTest::newRow("LIST chunk before data") << patched(good, 36, "LIST") << -3 << noTag;
    QTest::newRow("upper-case DATA") << patched(good, 36, "DATA") << -3 << noTag;
    QTest::newRow("stereo, length too big")
        << patched(patched(good, 22, QByteArray("\x02", 1)), 40, QByteArray("\x00\x00\x30\x00", 4))
        << -5 << badLength;
    QTest::newRow("stereo") << patched(good, 22, QByteArray("\x02", 1)) << -4 << badFormat;
    QTest::newRow("not PCM") << patched(good, 20, QByteArray("\x03", 1)) << -4 << badFormat;
    QTest::newRow("8-bit") << patched(good, 34, QByteArray("\x08", 1)) << -4 << badFormat;
    QTest::newRow("48000 Hz") << patched(good, 24, QByteArray("\x80\xBB\x00\x00", 4)) << -4
                              << badFormat;
    QTest::newRow("22050 Hz") << patched(good, 24, QByteArray("\x22\x56\x00\x00", 4)) << -4
                              << badFormat;
    // Only the low bytes are examined.
    QTest::newRow("rate bytes 44 AC 01 00")
        << patched(good, 24, QByteArray("\x44\xAC\x01\x00", 4)) << 88576 << accepted;
    QTest::newRow("format bytes 01 01")
        << patched(good, 20, QByteArray("\x01\x01", 2)) << 88576 << accepted;
    QTest::newRow("channel bytes 01 01")
        << patched(good, 22, QByteArray("\x01\x01", 2)) << 88576 << accepted;
    QTest::newRow("bits bytes 10 01")
        << patched(good, 34, QByteArray("\x10\x01", 2)) << 88576 << accepted;
    QTest::newRow("data shorter than its length") << good.left(1000) << 88576 << accepted;
}

void TestWaveFileReader::header()
{
    QFETCH(QByteArray, contents);
    QFETCH(int, expected);
    QFETCH(QString, lastLine);

    const QString path = dir.filePath(QStringLiteral("layer.wav"));
    QVERIFY(writeFile(path, contents));
    DebugCapture capture;
    QCOMPARE(ReadWaveFile(path), expected);
    QVERIFY(capture.lines.size() >= 2);
    QCOMPARE(capture.lines.first(), QStringLiteral("\"%1\" File opening").arg(path));
    QCOMPARE(capture.lines.last(), lastLine);
}

void TestWaveFileReader::slotSize_data()
{
    QTest::addColumn<quint32>("dataLength");
    QTest::addColumn<int>("expected");

    QTest::newRow("0") << 0u << -5;
    QTest::newRow("511") << 511u << -5;
    QTest::newRow("512") << 512u << 1024;
    QTest::newRow("1000") << 1000u << 1024;
    QTest::newRow("1023") << 1023u << 1024;
    QTest::newRow("1024") << 1024u << 1536;
    QTest::newRow("88200") << 88200u << 88576;
    QTest::newRow("3141631") << 3141631u << 3141632;
    QTest::newRow("3141632") << 3141632u << -5;
    QTest::newRow("2^31") << 0x80000000u << -5;
    QTest::newRow("2^32-1") << 0xFFFFFFFFu << -5;
}

void TestWaveFileReader::slotSize()
{
    QFETCH(quint32, dataLength);
    QFETCH(int, expected);

    // The reader never looks at the samples, so a bare header will do.
    const QString path = dir.filePath(QStringLiteral("length.wav"));
    QVERIFY(writeFile(path, waveHeader(dataLength)));
    DebugCapture capture;
    QCOMPARE(ReadWaveFile(path), expected);
    if (expected > 0) {
        QCOMPARE(capture.lines.size(), 3);
        QCOMPARE(capture.lines.at(1),
                 QStringLiteral("Measured waveform's length is  %1 bytes").arg(dataLength));
        QCOMPARE(capture.lines.at(2),
                 QStringLiteral("Trimmed waveform's length is  %1 bytes").arg(expected));
    }
}

void TestWaveFileReader::nameLength_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("debugLines");

    const QString name80 = QString(76, QLatin1Char('a')) + QStringLiteral(".wav");
    const QString name81 = QString(77, QLatin1Char('a')) + QStringLiteral(".wav");
    // 80 UTF-16 code units, 160 bytes in UTF-8.
    const QString wide80 = QString(76, QChar(0x00E9)) + QStringLiteral(".wav");

    QTest::newRow("80, present") << name80 << true << 1024 << 3;
    QTest::newRow("80, missing") << name80 << false << -2 << 2;
    QTest::newRow("80 non-ASCII, present") << wide80 << true << 1024 << 3;
    QTest::newRow("81, present") << name81 << true << -6 << 0;
    QTest::newRow("81, missing") << name81 << false << -6 << 0;
}

void TestWaveFileReader::nameLength()
{
    QFETCH(QString, name);
    QFETCH(bool, exists);
    QFETCH(int, expected);
    QFETCH(int, debugLines);

    const QString path = dir.filePath(name);
    QFile::remove(path);
    if (exists)
        QVERIFY(writeFile(path, waveHeader(512)));
    DebugCapture capture;
    QCOMPARE(ReadWaveFile(path), expected);
    QCOMPARE(capture.lines.size(), debugLines);
}

void TestWaveFileReader::emptyPath()
{
    DebugCapture capture;
    QCOMPARE(ReadWaveFile(QString()), -1);
    QCOMPARE(capture.lines, QStringList{QStringLiteral("No file choosen")});
}

void TestWaveFileReader::cannotOpen_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Make>("make");
    QTest::addColumn<bool>("needsRoot");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<bool>("opened"); // the debug lines of an attempt to open it

    QTest::newRow("missing") << "gone.wav" << Make([](const QString &) { return true; }) << false
                             << "cannot be opened: No such file or directory" << true;
    // Only a regular file can be a layer: nothing else is waited on or read.
    QTest::newRow("a named pipe") << "pipe.wav" << Make(makeFifo) << false
                                  << "it is a named pipe (FIFO), not a regular file" << true;
    QTest::newRow("a symlink to a pipe") << "link.wav" << Make([](const QString &path) {
        return makeFifo(path + ".pipe") && QFile::link(path + ".pipe", path);
    }) << false << "it is a named pipe (FIFO), not a regular file"
                                         << true;
    QTest::newRow("a folder") << "folder.wav"
                              << Make([](const QString &path) { return QDir().mkdir(path); })
                              << false << "it is a folder" << true;
    QTest::newRow("a socket") << "socket.wav" << Make(makeSocket) << false
                              << "it is a socket, not a regular file" << true;
    QTest::newRow("a device node") << "zero.wav" << Make([](const QString &path) {
        return ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 5)) == 0;
    }) << true << "it is a character device, not a regular file"
                                   << true;
    // The name list of a sound file holds one name per line.
    QTest::newRow("a line break in the name") << "two\nlines.wav" << Make([](const QString &path) {
        return writeFile(path, waveHeader(1000) + QByteArray(1000, '\0'));
    }) << false << "its name contains a line break"
                                              << false;
}

void TestWaveFileReader::cannotOpen()
{
    QFETCH(QString, name);
    QFETCH(Make, make);
    QFETCH(bool, needsRoot);
    QFETCH(QString, reason);
    QFETCH(bool, opened);
    if (needsRoot && ::geteuid() != 0)
        QSKIP("making a device node needs root");
    QTemporaryDir folder;
    const QString path = folder.filePath(name);
    QVERIFY(make(path));

    DebugCapture capture;
    const LayerCheck check = CheckWaveFile(path);
    QCOMPARE(check.Result(), -2);
    QCOMPARE(check.Reason, reason);
    const QStringList expected{QStringLiteral("\"%1\" File opening").arg(path),
                               QStringLiteral("Unable to open  \"%1\"").arg(path)};
    QCOMPARE(capture.lines, opened ? expected : QStringList());
}

// Bytes read by this process so far, as the kernel counts them.
static qint64 bytesReadByProcess()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return -1;
    const QByteArray text = io.read(4096);
    for (const QByteArray &line : text.split('\n')) {
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    }
    return -1;
}

void TestWaveFileReader::readsOnlyTheHeader()
{
    const QString path = dir.filePath(QStringLiteral("long.wav"));
    writeWave(path, 3141631);
    QCOMPARE(QFileInfo(path).size(), 3141631 + 44);

    // Reading /proc/self/io itself counts; measure that first.
    const qint64 before = bytesReadByProcess();
    if (before < 0)
        QSKIP("/proc/self/io is not available");
    const qint64 probe = bytesReadByProcess() - before;
    const qint64 start = bytesReadByProcess();
    QCOMPARE(ReadWaveFile(path), 3141632);
    const qint64 used = bytesReadByProcess() - start - probe;
    QVERIFY2(used <= 44, qPrintable(QStringLiteral("read %1 bytes").arg(used)));
}

QTEST_GUILESS_MAIN(TestWaveFileReader)
#include "tst_wavefilereader.moc"
