#include "soundjobfixture.h"
#include "testsupport.h"

#include "soundfile/soundfileformat.h"
#include "soundfile/soundfilereader.h"
#include "soundfile/soundfilewriter.h"

#include <QTemporaryDir>
#include <QTest>

#include <vector>

#include <numeric>
#include <random>

using namespace TestSupport;

using Sizes = QList<qint64>;
Q_DECLARE_METATYPE(Sizes)

namespace {

constexpr qint64 Capacity = 3145728;

// A job of loaded layers with these slot sizes, named "layerN.wav" unless
// `names` says otherwise, thresholds spread evenly.
SoundJob makeJob(const Sizes &sizes, const QStringList &names = {},
                 const QString &fileName = QStringLiteral("out.qms"))
{
    return soundJob(fileName, sizes, names);
}

// The first bytes of the file `job` makes, as a reader gets them: the header
// and then sample bytes (starting with filler-like '~' bytes), at most the
// parser's read limit.
QByteArray filePrefix(const SoundJob &job, qint64 *fileLength)
{
    const QByteArray header = SoundFileFormat::BuildHeader(job, 123456);
    *fileLength = SoundFileFormat::FileLength(job, header.size());
    const qint64 length = qMin(*fileLength, SoundFileParser::MaxHeaderRead);
    QByteArray bytes = header + QByteArray(16, '~');
    bytes += samplePattern(qMax<qint64>(0, length - bytes.size()), 3);
    bytes.truncate(length);
    return bytes;
}

QString problemsOf(const SoundFileInfo &info)
{
    return info.Problems.join(QLatin1String(" | "));
}

} // namespace

class TestSoundFileParser : public QObject
{
    Q_OBJECT

private slots:
    void builtHeaders_data();
    void builtHeaders();
    void cutPageCount_data();
    void cutPageCount();
    void ambiguousCutPageCount();
    void cutPageCountSettledBySlotEnds_data();
    void cutPageCountSettledBySlotEnds();
    void damaged_data();
    void damaged();
    void mutatedBytesNeverCrash_data();
    void mutatedBytesNeverCrash();
    void readsWrittenFile();
    void readsBoundedPrefix();
    void unreadablePaths();
};

void TestSoundFileParser::builtHeaders_data()
{
    QTest::addColumn<Sizes>("sizes");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("n = 0") << Sizes{} << QStringList{};
    QTest::newRow("n = 1") << Sizes{100352} << QStringList{QStringLiteral("kick.wav")};
    QTest::newRow("n = 2") << Sizes{1024, 2048} << QStringList{};
    QTest::newRow("n = 3") << Sizes{1536, 88576, 1024} << QStringList{};
    QTest::newRow("n = 4") << Sizes{4096, 1024, 2048, 3072} << QStringList{};
    QTest::newRow("n = 5") << Sizes{1024, 2048, 3072, 4096, 5120} << QStringList{};
    QTest::newRow("n = 6") << Sizes{1024, 1024, 1024, 1024, 1024, 99840} << QStringList{};
    QTest::newRow("n = 7") << Sizes{1024, 1536, 2048, 2560, 3072, 3584, 4096} << QStringList{};
    QTest::newRow("n = 8") << Sizes{393216, 393216, 393216, 393216, 393216, 393216, 393216, 392704}
                           << QStringList{};
    QTest::newRow("n = 1, largest slot") << Sizes{3141632} << QStringList{};
    QTest::newRow("n = 2, first slot over 2 MiB") << Sizes{2098176, 1024} << QStringList{};
    // 80 characters of three UTF-8 bytes each: names of 240 bytes, H = 2560.
    const QString longName(80, QChar(0x20AC));
    QTest::newRow("n = 8, longest names") << Sizes(8, 1024) << QStringList(8, longName);
    QTest::newRow("n = 3, accented names")
        << Sizes{1024, 1024, 1024}
        << QStringList{QStringLiteral("caf\u00e9.wav"), QStringLiteral("\u00fcber.wav"),
                       QStringLiteral("na\u00efve.wav")};
}

// Headers the writer's own format code builds parse back to the job.
void TestSoundFileParser::builtHeaders()
{
    QFETCH(Sizes, sizes);
    QFETCH(QStringList, names);
    const SoundJob job = makeJob(sizes, names);
    qint64 fileLength = 0;
    const QByteArray bytes = filePrefix(job, &fileLength);

    const SoundFileInfo info = ParseSoundFile(bytes, fileLength);
    QVERIFY2(info.IsValid(), qPrintable(problemsOf(info)));
    QVERIFY(info.Notes.isEmpty());

    int nameBytes = job.FileName.toUtf8().size();
    for (const QString &name : names)
        nameBytes += name.toUtf8().size();
    if (names.isEmpty()) {
        for (int k = 0; k < sizes.size(); ++k)
            nameBytes += QStringLiteral("layer%1.wav").arg(k + 1).size();
    }
    const qint64 headerLength = ((114 + nameBytes) / 512 + 1) * 512;
    QCOMPARE(info.HeaderLength, headerLength);
    QCOMPARE(info.FileLength, headerLength + std::accumulate(sizes.begin(), sizes.end(), 0LL));
    QCOMPARE(info.FileName, QStringLiteral("out.qms"));
    QCOMPARE(info.LayerCount, sizes.size());
    QCOMPARE(info.RandomTag, 123456u);
    QCOMPARE(info.Layers.size(), sizes.size());
    qint64 offset = headerLength;
    for (int k = 0; k < sizes.size(); ++k) {
        const SoundFileLayer &layer = info.Layers.at(k);
        QCOMPARE(layer.Name, job.Names[k]);
        QCOMPARE(layer.Size, sizes.at(k));
        QCOMPARE(layer.Offset, offset);
        QCOMPARE(layer.Threshold, job.Thresholds[k]);
        offset += sizes.at(k);
    }
    for (int k = 0; k < 8; ++k)
        QCOMPARE(int(info.Thresholds[k]), job.Thresholds[k]);
}

void TestSoundFileParser::cutPageCount_data()
{
    QTest::addColumn<Sizes>("sizes");
    QTest::addColumn<int>("cutLayer"); // 1-based

    // Only with five layers is a single layer from 5 on there to take it...
    QTest::newRow("2098176 bytes") << Sizes{1024, 1024, 1024, 1024, 2098176} << 5;
    QTest::newRow("exactly 2097152 (page count 0)") << Sizes{1024, 1024, 1024, 1024, 2097152} << 5;
    QTest::newRow("largest that fits") << Sizes{1024, 1024, 1024, 1024, 3141120} << 5;
    // ... or when the page counts leave only one without a slot.
    QTest::newRow("2097152 after a small layer")
        << Sizes{1024, 1024, 1024, 1024, 1024, 2097152} << 6;
}

// A page count cut to 13 bits: the file's length gives the slot back.
void TestSoundFileParser::cutPageCount()
{
    QFETCH(Sizes, sizes);
    QFETCH(int, cutLayer);
    const SoundJob job = makeJob(sizes);
    qint64 fileLength = 0;
    const QByteArray bytes = filePrefix(job, &fileLength);
    QVERIFY(fileLength <= Capacity);
    // The stored page count really lost 2097152 bytes.
    const quint16 stored = qFromLittleEndian<quint16>(bytes.constData() + 80 + 2 * (cutLayer - 1));
    QCOMPARE(qint64(stored) * 256, sizes.at(cutLayer - 1) - 2097152);

    const SoundFileInfo info = ParseSoundFile(bytes, fileLength);
    QVERIFY2(info.IsValid(), qPrintable(problemsOf(info)));
    QCOMPARE(info.Layers.size(), sizes.size());
    for (int k = 0; k < sizes.size(); ++k)
        QCOMPARE(info.Layers.at(k).Size, sizes.at(k));

    // The same header in a file 2097152 bytes shorter describes a small slot.
    const qint64 shorterLength = fileLength - 2097152;
    const SoundFileInfo shorter = ParseSoundFile(bytes.left(shorterLength), shorterLength);
    QCOMPARE(shorter.Layers.at(cutLayer - 1).Size, sizes.at(cutLayer - 1) - 2097152);
    QCOMPARE(shorter.IsValid(), shorter.Layers.at(cutLayer - 1).Size >= 1024);
}

// With six layers or more, every layer from 5 on could hold the lost 2097152
// bytes and the header cannot say which: the file stays valid, the first
// candidate takes them, and a note says so.
void TestSoundFileParser::ambiguousCutPageCount()
{
    const SoundJob job = makeJob(Sizes{1024, 1024, 1024, 1024, 2098176, 1024});
    qint64 fileLength = 0;
    QByteArray bytes = filePrefix(job, &fileLength);
    const SoundFileInfo info = ParseSoundFile(bytes, fileLength);
    QVERIFY2(info.IsValid(), qPrintable(problemsOf(info)));
    QCOMPARE(info.Notes.size(), 1);
    QVERIFY2(info.Notes.first().contains(QLatin1String("one of the layers 5, 6 has")),
             qPrintable(info.Notes.first()));
    QCOMPARE(info.Layers.at(4).Size, 2098176);
    QCOMPARE(info.Layers.at(5).Size, 1024);

    // The large layer last: the sizes add up, but layer 5 is credited.
    const SoundJob last = makeJob(Sizes{1024, 1024, 1024, 1024, 1024, 1024, 1024, 3000320});
    bytes = filePrefix(last, &fileLength);
    const SoundFileInfo guessed = ParseSoundFile(bytes, fileLength);
    QVERIFY2(guessed.IsValid(), qPrintable(problemsOf(guessed)));
    QVERIFY(guessed.Notes.first().contains(QLatin1String("one of the layers 5, 6, 7, 8 has")));
    QCOMPARE(guessed.Layers.at(4).Size, 1024 + 2097152);
    QCOMPARE(guessed.Layers.at(7).Size, 3000320 - 2097152);
}

void TestSoundFileParser::cutPageCountSettledBySlotEnds_data()
{
    QTest::addColumn<QString>("zeroEnds"); // where two zero bytes stand before an offset
    QTest::addColumn<int>("credited");     // 1-based
    QTest::addColumn<QString>("note");

    QTest::newRow("at the slots' real ends") << QStringLiteral("real") << 6 << QString();
    QTest::newRow("everywhere") << QStringLiteral("everywhere") << 5
                                << QStringLiteral("; every slot ends in two zero bytes with any "
                                                  "of the layers 5, 6; taken to be layer 5");
    QTest::newRow("nowhere") << QStringLiteral("nowhere") << 5
                             << QStringLiteral("; under none of them does every slot end in two "
                                               "zero bytes; taken to be layer 5");
}

// Where the header cannot say which layer holds the lost 2097152 bytes, the
// slots' last bytes can: the writer leaves them zero.
void TestSoundFileParser::cutPageCountSettledBySlotEnds()
{
    QFETCH(QString, zeroEnds);
    QFETCH(int, credited);
    QFETCH(QString, note);
    const Sizes sizes{1024, 1024, 1024, 1024, 1024, 2098176};
    const SoundJob job = makeJob(sizes);
    qint64 fileLength = 0;
    const QByteArray bytes = filePrefix(job, &fileLength);
    QList<qint64> realEnds;
    qint64 end = 512;
    for (qint64 size : sizes)
        realEnds << (end += size);
    const SlotEndCheck check = [&](qint64 slotEnd) {
        return zeroEnds == QLatin1String("everywhere") ||
               (zeroEnds == QLatin1String("real") && realEnds.contains(slotEnd));
    };

    const SoundFileInfo info = ParseSoundFile(bytes, fileLength, check);
    QVERIFY2(info.IsValid(), qPrintable(problemsOf(info)));
    QCOMPARE(info.Layers.at(credited - 1).Size, 2098176);
    QCOMPARE(info.Layers.at(credited == 5 ? 5 : 4).Size, 1024);
    QCOMPARE(info.Layers.at(5).Offset, 512 + 4 * 1024 + info.Layers.at(4).Size);
    QCOMPARE(info.Notes.join(QString()).section(QLatin1String("or more"), 1), note);
}

void TestSoundFileParser::damaged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("fileLength");
    QTest::addColumn<QString>("problem");

    // Five layers (H = 512), so layer 5's size comes from its page count.
    qint64 length = 0;
    const QByteArray good = filePrefix(makeJob(Sizes{1024, 2048, 88576, 4096, 10240}), &length);
    const int h = 512;

    QTest::newRow("empty") << QByteArray() << qint64(0) << "the file is empty";
    QTest::newRow("103 bytes") << good.left(103) << qint64(103)
                               << "the file has only 103 bytes, too few for the header";
    QTest::newRow("104 bytes: no name list")
        << good.left(104) << qint64(104) << "the file has only 104 bytes, too few for the header";
    QTest::newRow("garbage") << samplePattern(3000, 9) << qint64(3000) << "signature";
    QTest::newRow("signature") << patched(good, 0, "q") << length
                               << "the signature differs from \"Quelmar(tm) inc, California, "
                                  "USA\" at byte 0";
    QTest::newRow("random tag too big") << patched(good, 32, le32(0xFFFFFFFF)) << length
                                        << "random tag 4294967295 is above 1073676289";
    QTest::newRow("fixed bytes") << patched(good, 44, "\x92") << length
                                 << "the fixed bytes at 36 to 44 read 04 01 01 0A 12 34 56 78 92";
    QTest::newRow("upper thresholds") << patched(good, 45, "\x78\x5A\x46") << length
                                      << "the upper thresholds read 120 90 70, expected 101 76 51";
    QTest::newRow("block count of layer 2") << patched(good, 50, le16(5)) << length
                                            << "the page count of layer 2 is 8, its block count "
                                               "gives 10";
    QTest::newRow("data offset of layer 3")
        << patched(good, 64, le32(h + 1024 + 2048 + 512)) << length
        << "the data offset of layer 3 is 4096, expected 3584";
    QTest::newRow("header length not a multiple of 512")
        << patched(good, 56, le32(h + 100)) << length
        << "the header length 612 (data offset of layer 1) is not a multiple of 512";
    QTest::newRow("header length one unit more")
        << patched(good, 56, le32(1024)) << length
        << "the data offset of layer 1 is 1024, but the header ends at 512";
    QTest::newRow("thresholds out of order") << patched(good, 73, "\x70") << length
                                             << "the thresholds of layers 1 to 5 (101 112 51 26 "
                                                "1) do not fall strictly";
    QTest::newRow("page count of an empty layer")
        << patched(good, 90, le16(4)) << length << "the page count of empty layer 6 is 4, not 0";
    QTest::newRow("page count of layer 5")
        << patched(good, 88, le16(42)) << length << "but its header and slots make";
    QTest::newRow("slot below 1024")
        << patched(good, 88, le16(2)) << length << "layer 5 has a slot of 512 bytes";
    QTest::newRow("odd page count")
        << patched(good, 88, le16(41)) << length << "layer 5 has a slot of 10496 bytes";
    QTest::newRow("reserved") << patched(good, 100, "\x01") << length
                              << "the reserved bytes 96 to 103 read 00 00 00 00 01 00 00 00";
    QTest::newRow("no line feed at 104")
        << patched(good, 104, "X") << length << "the name list does not start with a line feed";
    QTest::newRow("filler") << patched(good, 400, "#") << length
                            << "the filler byte at offset 400 is 23";
    QTest::newRow("truncated in the data")
        << good << length - 1000 << "bytes long, but its header and slots make";
    QTest::newRow("longer than its slots")
        << good << length + 512 << "bytes long, but its header and slots make";
    QTest::newRow("truncated in the filler") << good.left(300) << qint64(300)
                                             << "the file ends at byte 300, inside the header of "
                                                "512 bytes";
    QTest::newRow("truncated in the name list")
        << good.left(120) << qint64(120) << "the file ends inside the name list";
    QTest::newRow("name list past the read limit")
        << good.left(105) + QByteArray(SoundFileParser::MaxHeaderRead, 'n') << qint64(1000000)
        << "the name list does not end within the first 65536 bytes";
    QTest::newRow("more than the capacity") << good << Capacity + 512 << "more than the capacity";

    qint64 gapLength = 0;
    SoundJob gap = makeJob(Sizes{1024, 1024, 1024});
    gap.Names[1].clear();
    QTest::newRow("a gap in the names") << filePrefix(gap, &gapLength) << gapLength
                                        << "layer 3 has a name although layer 2 before it is empty";

    qint64 longLength = 0;
    const QByteArray longName =
        filePrefix(makeJob(Sizes{1024}, {QString(81, QLatin1Char('x'))}), &longLength);
    QTest::newRow("layer name of 81 characters")
        << longName << longLength << "the name of layer 1 has 81 characters, more than 80";

    QByteArray badUtf8 = good;
    badUtf8.replace("layer2.wav", "layer\xFF.wav"); // same length
    QTest::newRow("invalid UTF-8") << badUtf8 << length << "the name of layer 2 is not valid UTF-8";

    qint64 unnamedLength = 0;
    QTest::newRow("empty file name")
        << filePrefix(makeJob(Sizes{1024}, {}, QString()), &unnamedLength) << unnamedLength
        << "the file name in the name list is empty";

    qint64 nLength = 0;
    const QByteArray two = filePrefix(makeJob(Sizes{1024, 2048}), &nLength);
    QTest::newRow("block count of an empty layer")
        << patched(two, 52, le16(2)) << nLength
        << "the block count of empty layer 3 is 2, not 4 as layer 2's";
    QTest::newRow("first threshold above the ceiling")
        << patched(two, 72, "\x7f") << nLength
        << "the thresholds of layers 1 to 2 (127 1) do not fall strictly from at most 126 to 1";
    QTest::newRow("data offset of an empty layer")
        << patched(two, 68, le32(9999)) << nLength
        << "the data offset of layer 4 is 9999, expected 1536";
    qint64 noneLength = 0;
    QTest::newRow("block count without layers")
        << patched(filePrefix(makeJob(Sizes{}), &noneLength), 48, le16(2)) << noneLength
        << "the block count of layer 1 is 2 without any layer";
}

void TestSoundFileParser::damaged()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, fileLength);
    QFETCH(QString, problem);

    // An exact-size copy without QByteArray's terminator, so that the
    // sanitizer build catches a read one byte past the end.
    const std::vector<char> exact(bytes.cbegin(), bytes.cend());
    const SoundFileInfo info =
        ParseSoundFile(QByteArray::fromRawData(exact.data(), qsizetype(exact.size())), fileLength);
    QVERIFY(!info.IsValid());
    QVERIFY2(problemsOf(info).contains(problem), qPrintable(problemsOf(info)));
}

void TestSoundFileParser::mutatedBytesNeverCrash_data()
{
    QTest::addColumn<int>("seed");
    for (int seed = 1; seed <= 6; ++seed)
        QTest::addRow("seed %d", seed) << seed;
}

// Random damage to a valid file's first bytes and length: the parser stays
// within its input (the sanitizer build watches that) and what it calls
// valid really adds up.
void TestSoundFileParser::mutatedBytesNeverCrash()
{
    QFETCH(int, seed);
    std::mt19937 random(seed);
    qint64 length = 0;
    const QByteArray good =
        filePrefix(makeJob(Sizes{1024, 1024, 2048, 1024, 1536 * 2, 1024, 4096, 1024}), &length);

    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = good;
        const int changes = 1 + int(random() % 4);
        bool fixedPartChanged = false;
        for (int i = 0; i < changes; ++i) {
            const int at = int(random() % 700);
            const char value = char(random() % 256);
            if (at < 32 || (at >= 36 && at < 45) || (at >= 96 && at < 104))
                fixedPartChanged = fixedPartChanged || bytes.at(at) != value;
            bytes[at] = value;
        }
        qint64 fileLength = length;
        switch (random() % 4) {
        case 0:
            bytes.truncate(int(random() % bytes.size()));
            fileLength = bytes.size();
            break;
        case 1:
            fileLength = qint64(random() % (2 * Capacity)) - 100;
            break;
        default:
            break;
        }

        const SoundFileInfo info = ParseSoundFile(bytes, fileLength);
        QVERIFY(info.Layers.size() <= 8);
        QVERIFY(info.LayerCount >= 0 && info.LayerCount <= 8);
        if (fixedPartChanged)
            QVERIFY(!info.IsValid());
        if (!info.IsValid())
            continue;
        QCOMPARE(info.HeaderLength % 512, 0);
        QCOMPARE(info.Layers.size(), info.LayerCount);
        qint64 end = info.HeaderLength;
        for (const SoundFileLayer &layer : info.Layers) {
            QCOMPARE(layer.Offset, end);
            end += layer.Size;
        }
        QCOMPARE(end, info.FileLength);
    }
}

void TestSoundFileParser::readsWrittenFile()
{
    QTemporaryDir dir;
    SoundJob job = makeJob(Sizes{1024, 88576});
    job.FilePath = dir.filePath(job.FileName);
    for (int k = 0; k < job.Count; ++k) {
        job.Paths[k] = dir.filePath(job.Names[k]);
        writeWave(job.Paths[k], quint32(job.Sizes[k] - 100), -1, k);
    }
    {
        DebugCapture quiet; // the writer's own debug lines
        QCOMPARE(WriteSoundFile(job).Status, WriteStatus::Written);
    }

    const SoundFileInfo info = ReadSoundFileInfo(job.FilePath);
    QVERIFY2(info.IsValid(), qPrintable(problemsOf(info)));
    QCOMPARE(info.FileLength, 512 + 1024 + 88576);
    QCOMPARE(info.Layers.size(), 2);
    QCOMPARE(info.Layers.at(1).Offset, 512 + 1024);
}

// A long file is read no further than the limit; a header found there is
// judged against the file's real length.
void TestSoundFileParser::readsBoundedPrefix()
{
    QTemporaryDir dir;
    const SoundJob job = makeJob(Sizes{1024, 393216});
    const QByteArray header = SoundFileFormat::BuildHeader(job, 1);
    const QString path = dir.filePath(QStringLiteral("long.qms"));
    QVERIFY(writeFile(path, header + QByteArray(1024 + 393216, '\0')));

    const SoundFileInfo info = ReadSoundFileInfo(path);
    QVERIFY2(info.IsValid(), qPrintable(problemsOf(info)));
    QCOMPARE(info.FileLength, 512 + 1024 + 393216);

    // Without a name list's end in the first 64 KiB the file is refused.
    QVERIFY(writeFile(path, header.left(105) + QByteArray(200000, 'n')));
    const SoundFileInfo endless = ReadSoundFileInfo(path);
    QVERIFY(!endless.IsValid());
    QVERIFY2(problemsOf(endless).contains(QLatin1String("does not end within the first 65536")),
             qPrintable(problemsOf(endless)));
}

void TestSoundFileParser::unreadablePaths()
{
    QTemporaryDir dir;
    const SoundFileInfo missing = ReadSoundFileInfo(dir.filePath(QStringLiteral("none.qms")));
    QVERIFY2(problemsOf(missing).contains(QLatin1String("No such file or directory")),
             qPrintable(problemsOf(missing)));
    const SoundFileInfo folder = ReadSoundFileInfo(dir.path());
    QVERIFY2(problemsOf(folder).contains(QLatin1String("it is a folder")),
             qPrintable(problemsOf(folder)));
    // A pipe is refused at once, not waited on.
    QVERIFY(makeFifo(dir.filePath(QStringLiteral("pipe.qms"))));
    const SoundFileInfo pipe = ReadSoundFileInfo(dir.filePath(QStringLiteral("pipe.qms")));
    QVERIFY2(problemsOf(pipe).contains(QLatin1String("named pipe")), qPrintable(problemsOf(pipe)));
}

QTEST_GUILESS_MAIN(TestSoundFileParser)
#include "tst_soundfileparser.moc"
