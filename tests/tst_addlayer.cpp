#include "testsupport.h"

#include "core/addlayer.h"
#include "core/layertable.h"
#include "core/thresholdrules.h"
#include "wav/wavefilereader.h"

#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;

using Thresholds = QList<int>;
Q_DECLARE_METATYPE(Thresholds)

namespace {

// The add step as the window runs it, as a number: the slot size or the
// status code.
int add(LayerTable &table, const QString &path)
{
    return AddLayer(table, path, CheckWaveFile).Result();
}

// A stand-in for the WAV check: the slot size is the path, and every call is
// counted.
int checks = 0;
LayerCheck slotNamedByPath(const QString &path)
{
    ++checks;
    return LayerCheck::Slot(path.toInt(), 0);
}

} // namespace

// Adding a layer to a table, and the order its thresholds must keep.
class TestAddLayer : public QObject
{
    Q_OBJECT

private slots:
    void addsInOrder();
    void readerRefusalLeavesTable_data();
    void readerRefusalLeavesTable();
    void capacityRefusal();
    void fullTable();
    void removeLastLayer();
    void replaceLayer_data();
    void replaceLayer();
    void thresholdsInOrder_data();
    void thresholdsInOrder();

private:
    QString wave(const QString &name, quint32 dataLength)
    {
        const QString path = dir.filePath(name);
        writeWave(path, dataLength);
        return path;
    }
    QTemporaryDir dir;
};

void TestAddLayer::addsInOrder()
{
    LayerTable table;
    const QString first = wave(QStringLiteral("one.wav"), 88200);
    const QString second = wave(QStringLiteral("two.wav"), 1000);

    QCOMPARE(add(table, first), 88576);
    QCOMPARE(table.LayerCount, 1);
    QCOMPARE(add(table, second), 1024);
    QCOMPARE(table.LayerCount, 2);
    QCOMPARE(table.UsedSpace, 88576 + 1024);
    QCOMPARE(table.LayerPath[1], second);
    QCOMPARE(table.LayerName[0], QStringLiteral("one.wav"));
    QCOMPARE(table.LayerSize[1], 1024);
    QCOMPARE(Thresholds(table.LayerThreshold + 1, table.LayerThreshold + 9),
             (Thresholds{64, 1, 1, 1, 1, 1, 1, 1}));
}

void TestAddLayer::readerRefusalLeavesTable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("status");

    QTest::newRow("empty path") << QString() << QByteArray() << -1;
    QTest::newRow("missing") << QStringLiteral("missing.wav") << QByteArray() << -2;
    QTest::newRow("no data tag") << QStringLiteral("short.wav") << QByteArray(10, 'x') << -3;
    QTest::newRow("too short") << QStringLiteral("tiny.wav") << waveHeader(100) << -5;
    QTest::newRow("long name") << QString(81, QLatin1Char('n')) << waveHeader(1000) << -6;
    // Names are stored one per line in the sound file.
    QTest::newRow("line break in the name")
        << QStringLiteral("two\nlines.wav") << waveFile(1000) << -2;
}

void TestAddLayer::readerRefusalLeavesTable()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, contents);
    QFETCH(int, status);
    const QString path = name.isEmpty() ? QString() : dir.filePath(name);
    if (!contents.isEmpty())
        QVERIFY(writeFile(path, contents));

    LayerTable table;
    QCOMPARE(add(table, wave(QStringLiteral("one.wav"), 5000)), 5120);
    QCOMPARE(add(table, path), status);
    QCOMPARE(table.LayerCount, 1);
    QCOMPARE(table.UsedSpace, 5120);
    QCOMPARE(table.LayerSize[1], status); // stored at once, as the window does
    QCOMPARE(table.LayerPath[1], QString());
}

void TestAddLayer::capacityRefusal()
{
    LayerTable table;
    QCOMPARE(add(table, wave(QStringLiteral("big.wav"), 3141631)), 3141632);
    const QString tooBig = wave(QStringLiteral("over.wav"), 4096); // slot 4608
    QCOMPARE(add(table, tooBig), -7);
    QCOMPARE(table.LayerCount, 1);
    QCOMPARE(table.UsedSpace, 3141632);
    QCOMPARE(table.LayerPath[1], tooBig); // left in the unused slot
    QCOMPARE(table.LayerName[1], QStringLiteral("over.wav"));

    // A sum of exactly the capacity is accepted.
    QCOMPARE(add(table, wave(QStringLiteral("fits.wav"), 4095)), 4096);
    QCOMPARE(table.UsedSpace, 3145728);
    QCOMPARE(table.LayerCount, 2);
}

void TestAddLayer::fullTable()
{
    LayerTable table;
    const QString path = wave(QStringLiteral("one.wav"), 600);
    for (int k = 0; k < 8; ++k)
        QCOMPARE(add(table, path), 1024);
    QCOMPARE(add(table, path), -7);
    QCOMPARE(table.LayerCount, 8);
    QCOMPARE(table.UsedSpace, 8 * 1024);
    QCOMPARE(table.LayerThreshold[1], 113);
    // Refused before the file is looked at.
    checks = 0;
    QCOMPARE(AddLayer(table, QStringLiteral("1024"), slotNamedByPath).Status,
             LayerStatus::NotEnoughSpace);
    QCOMPARE(checks, 0);
}

void TestAddLayer::removeLastLayer()
{
    LayerTable table;
    for (const char *slot : {"88576", "1024", "5120"})
        QVERIFY(AddLayer(table, QLatin1String(slot), slotNamedByPath).Accepted());
    RemoveLastLayer(table);
    QCOMPARE(table.LayerCount, 2);
    QCOMPARE(table.UsedSpace, 88576 + 1024);
    QCOMPARE(table.LayerPath[2], QString());
    QCOMPARE(table.LayerName[2], QString());
    QCOMPARE(table.LayerSize[2], 5120); // kept until the slot is used again
    QCOMPARE(table.LayerPath[1], QStringLiteral("1024"));
    QCOMPARE(Thresholds(table.LayerThreshold + 1, table.LayerThreshold + 9),
             (Thresholds{64, 1, 1, 1, 1, 1, 1, 1}));

    RemoveLastLayer(table);
    RemoveLastLayer(table);
    RemoveLastLayer(table); // an empty table stays as it is
    QCOMPARE(table.LayerCount, 0);
    QCOMPARE(table.UsedSpace, 0);
}

// A layer replaced in place: the check and the capacity as for an addition,
// with the replaced slot given back first; the thresholds kept as they were
// set; a refusal changes nothing.
void TestAddLayer::replaceLayer_data()
{
    QTest::addColumn<int>("layer");
    QTest::addColumn<QString>("replacement"); // a slot size, or a WAV file's name
    QTest::addColumn<int>("result");

    QTest::newRow("smaller") << 2 << "1024" << 1024;
    // 3141632 + 2048 + 1024 in use of 3145728: the second layer's 2048 bytes
    // given back leave exactly 3072.
    QTest::newRow("larger, filling the capacity exactly") << 2 << "3072" << 3072;
    QTest::newRow("larger than the space given back") << 2 << "3584" << -7;
    QTest::newRow("refused by the check") << 3 << "missing.wav" << -2;
    QTest::newRow("a layer not loaded") << 4 << "1024" << -7;
}

void TestAddLayer::replaceLayer()
{
    QFETCH(int, layer);
    QFETCH(QString, replacement);
    QFETCH(int, result);
    LayerTable table;
    for (const char *slot : {"3141632", "2048", "1024"})
        QVERIFY(AddLayer(table, QLatin1String(slot), slotNamedByPath).Accepted());
    DragThreshold(table.LayerThreshold, 2, 3, 100);
    LayerTable before = table;

    const LayerFileCheck check =
        replacement.endsWith(QLatin1String(".wav")) ? CheckWaveFile : slotNamedByPath;
    const QString path = check == CheckWaveFile ? dir.filePath(replacement) : replacement;
    QCOMPARE(ReplaceLayer(table, layer, path, check).Result(), result);

    if (result > 0) {
        before.LayerPath[layer - 1] = path;
        before.LayerName[layer - 1] = LayerNameOf(path);
        before.UsedSpace += result - before.LayerSize[layer - 1];
        before.LayerSize[layer - 1] = result;
    }
    QCOMPARE(table.LayerCount, 3);
    QCOMPARE(table.UsedSpace, before.UsedSpace);
    for (int slot = 0; slot < 8; ++slot) {
        QCOMPARE(table.LayerPath[slot], before.LayerPath[slot]);
        QCOMPARE(table.LayerName[slot], before.LayerName[slot]);
        QCOMPARE(table.LayerSize[slot], before.LayerSize[slot]);
    }
    QCOMPARE(Thresholds(table.LayerThreshold + 1, table.LayerThreshold + 4),
             (Thresholds{101, 100, 1}));
}

void TestAddLayer::thresholdsInOrder_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<Thresholds>("thresholds");
    QTest::addColumn<bool>("inOrder");

    QTest::newRow("no layers") << 0 << Thresholds{} << true;
    QTest::newRow("one layer at 1") << 1 << Thresholds{1} << true;
    QTest::newRow("one layer at 2") << 1 << Thresholds{2} << false;
    QTest::newRow("spread of 4") << 4 << Thresholds{94, 63, 32, 1} << true;
    QTest::newRow("tightest 8") << 8 << Thresholds{8, 7, 6, 5, 4, 3, 2, 1} << true;
    QTest::newRow("highest") << 3 << Thresholds{126, 125, 1} << true;
    QTest::newRow("first 127") << 3 << Thresholds{127, 2, 1} << false;
    QTest::newRow("equal neighbours") << 3 << Thresholds{50, 50, 1} << false;
    QTest::newRow("rising") << 3 << Thresholds{40, 50, 1} << false;
    QTest::newRow("last 0") << 3 << Thresholds{50, 20, 0} << false;
    QTest::newRow("last 2") << 3 << Thresholds{50, 20, 2} << false;
    QTest::newRow("nine layers") << 9 << Thresholds{9, 8, 7, 6, 5, 4, 3, 2} << false;
}

void TestAddLayer::thresholdsInOrder()
{
    QFETCH(int, count);
    QFETCH(Thresholds, thresholds);
    QFETCH(bool, inOrder);
    LayerThresholds table;
    for (int layer = 1; layer <= 8; ++layer)
        table[layer] = -5 * layer; // the empty layers are not looked at
    for (int k = 0; k < thresholds.size() && k < 8; ++k)
        table[k + 1] = thresholds.at(k);
    QCOMPARE(ThresholdsInOrder(table, count), inOrder);
}

QTEST_GUILESS_MAIN(TestAddLayer)
#include "tst_addlayer.moc"
