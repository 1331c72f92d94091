#include "testsupport.h"
#include "wav/waveheader.h"

#include <QTest>

using namespace TestSupport;

// The plain reasons given for refused WAV headers.
class TestWaveHeader : public QObject
{
    Q_OBJECT

private slots:
    void describe_data();
    void describe();
    void describeAgreesWithCheck_data();
    void describeAgreesWithCheck();
};

namespace {

// A header as a program that writes a LIST chunk before the data chunk
// lays it out: the chunk tag at 36 and its size at 40.
QByteArray listChunkFirst()
{
    return patched(patched(waveHeader(88200), 36, "LIST"), 40, le32(26));
}

} // namespace

void TestWaveHeader::describe_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QString>("reason");

    const QByteArray good = waveHeader(88200);
    QTest::newRow("accepted") << good << QString();
    QTest::newRow("empty file") << QByteArray()
                                << "the file has only 0 bytes, shorter than the 44-byte WAV header";
    QTest::newRow("20 bytes") << good.left(20)
                              << "the file has only 20 bytes, shorter than the 44-byte WAV header";
    QTest::newRow("LIST chunk first")
        << listChunkFirst() << "a LIST chunk stands where the data chunk must start";
    QTest::newRow("fact chunk, 18-byte format chunk")
        << patched(patched(good, 16, le32(18)), 36, "fact")
        << "a fact chunk stands where the data chunk must start (the format chunk holds 18 "
           "bytes, not 16)";
    QTest::newRow("zeros where the tag belongs")
        << patched(good, 36, QByteArray(4, '\0'))
        << "bytes 36 to 39 hold 00 00 00 00, not the data chunk tag";
    QTest::newRow("not RIFF") << patched(QByteArray(44, '\xFF'), 0, "ID3\x03")
                              << "not a RIFF WAVE file (it starts with 49 44 33 03)";
    QTest::newRow("length 100") << waveHeader(100) << "data length 100 bytes, needs 512 to 3141631";
    QTest::newRow("length 511") << waveHeader(511) << "data length 511 bytes, needs 512 to 3141631";
    QTest::newRow("length 3141632")
        << waveHeader(3141632) << "data length 3141632 bytes, needs 512 to 3141631";
    QTest::newRow("length 2^31") << waveHeader(0x80000000u)
                                 << "data length 2147483648 bytes, needs 512 to 3141631";
    QTest::newRow("length cut off at byte 40")
        << good.left(40) << "data length 0 bytes, needs 512 to 3141631 (the file ends at byte 40)";
    QTest::newRow("48000 Hz") << patched(good, 24, le32(48000))
                              << "sample rate 48000 Hz, needs 44100 Hz";
    QTest::newRow("22050 Hz") << patched(good, 24, le32(22050))
                              << "sample rate 22050 Hz, needs 44100 Hz";
    QTest::newRow("stereo") << patched(good, 22, le16(2)) << "2 channels, needs 1 (mono)";
    QTest::newRow("IEEE float") << patched(good, 20, le16(3)) << "audio format 3, needs 1 (PCM)";
    QTest::newRow("24-bit") << patched(good, 34, le16(24)) << "24 bits per sample, needs 16";
    QTest::newRow("stereo 48000 Hz 8-bit")
        << patched(patched(patched(good, 22, le16(2)), 24, le32(48000)), 34, le16(8))
        << "2 channels, needs 1 (mono); sample rate 48000 Hz, needs 44100 Hz; 8 bits per "
           "sample, needs 16";
}

void TestWaveHeader::describe()
{
    QFETCH(QByteArray, header);
    QFETCH(QString, reason);
    QCOMPARE(WaveHeader::Describe(header), reason);
}

void TestWaveHeader::describeAgreesWithCheck_data()
{
    QTest::addColumn<int>("seed");
    for (int seed = 1; seed <= 8; ++seed)
        QTest::addRow("seed %d", seed) << seed;
}

// Headers with random bytes in the examined fields: a reason exactly when
// the check refuses, and one that names the failing field.
void TestWaveHeader::describeAgreesWithCheck()
{
    QFETCH(int, seed);
    std::srand(unsigned(seed));
    const int examined[] = {20, 22, 24, 25, 34, 36, 37, 38, 39, 40, 41, 42, 43};
    for (int round = 0; round < 2000; ++round) {
        QByteArray header = waveHeader(1000 + quint32(round));
        for (int offset : examined) {
            if (std::rand() % 8 == 0)
                header[offset] = char(std::rand() % 256);
        }
        header.truncate(std::rand() % 16 == 0 ? std::rand() % 45 : 44);
        const WaveHeader::Problem problem = WaveHeader::Check(header);
        const QString reason = WaveHeader::Describe(header);
        QCOMPARE(reason.isEmpty(), problem == WaveHeader::Problem::None);
        if (problem == WaveHeader::Problem::DataLengthOutOfRange)
            QVERIFY2(reason.startsWith(QLatin1String("data length ")), qPrintable(reason));
        if (problem == WaveHeader::Problem::UnsupportedFormat)
            QVERIFY2(reason.contains(QLatin1String(", needs ")), qPrintable(reason));
    }
}

QTEST_GUILESS_MAIN(TestWaveHeader)
#include "tst_waveheader.moc"
