#include "core/layertable.h"
#include "core/statusmessage.h"
#include "core/thresholdrules.h"
#include "soundfile/soundjob.h"

#include <QTest>

using Thresholds = QList<int>;

Q_DECLARE_METATYPE(Thresholds)

namespace {

Thresholds toList(const LayerThresholds &t)
{
    return Thresholds(t + 1, t + 9);
}

// The table's invariant over the loaded layers.
bool fallsStrictly(const LayerThresholds &t, int layerCount)
{
    if (layerCount < 1)
        return true;
    for (int layer = 2; layer <= layerCount; ++layer) {
        if (t[layer] >= t[layer - 1])
            return false;
    }
    return t[layerCount] == 1 && t[1] <= 126;
}

} // namespace

class TestLayerTable : public QObject
{
    Q_OBJECT

private slots:
    void spread_data();
    void spread();
    void drag_data();
    void drag();
    void dragKeepsInvariant();
    void capacity_data();
    void capacity();
    void availablePercent_data();
    void availablePercent();
    void layerName_data();
    void layerName();
    void reset();
    void soundJobBlanksEmptyLayers();
    void statusMessages_data();
    void statusMessages();
};

void TestLayerTable::spread_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<Thresholds>("expected");

    QTest::newRow("0") << 0 << Thresholds{1, 1, 1, 1, 1, 1, 1, 1};
    QTest::newRow("1") << 1 << Thresholds{1, 1, 1, 1, 1, 1, 1, 1};
    QTest::newRow("2") << 2 << Thresholds{64, 1, 1, 1, 1, 1, 1, 1};
    QTest::newRow("3") << 3 << Thresholds{85, 43, 1, 1, 1, 1, 1, 1};
    QTest::newRow("4") << 4 << Thresholds{94, 63, 32, 1, 1, 1, 1, 1};
    QTest::newRow("5") << 5 << Thresholds{101, 76, 51, 26, 1, 1, 1, 1};
    QTest::newRow("6") << 6 << Thresholds{106, 85, 64, 43, 22, 1, 1, 1};
    QTest::newRow("7") << 7 << Thresholds{109, 91, 73, 55, 37, 19, 1, 1};
    QTest::newRow("8, step 16") << 8 << Thresholds{113, 97, 81, 65, 49, 33, 17, 1};
}

void TestLayerTable::spread()
{
    QFETCH(int, count);
    QFETCH(Thresholds, expected);

    // Whatever stood there before (a drag left values below 1) is replaced.
    LayerThresholds t = {0, 120, 7, -3, 50, 0, -1, -2, -3};
    DistributeThresholds(t, count);
    QCOMPARE(toList(t), expected);
    QVERIFY(fallsStrictly(t, count));
}

void TestLayerTable::drag_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("position");
    QTest::addColumn<Thresholds>("expected");

    QTest::newRow("4 layers, layer 2 to 100")
        << 4 << 2 << 100 << Thresholds{101, 100, 32, 1, 0, -1, -2, -3};
    QTest::newRow("4 layers, layer 1 to 2, clamped to 4")
        << 4 << 1 << 2 << Thresholds{4, 3, 2, 1, 0, -1, -2, -3};
    QTest::newRow("8 layers, layer 7 to 126, clamped to 120")
        << 8 << 7 << 126 << Thresholds{126, 125, 124, 123, 122, 121, 120, 1};
    QTest::newRow("8 layers, layer 4 to 1, clamped to 5")
        << 8 << 4 << 1 << Thresholds{113, 97, 81, 5, 4, 3, 2, 1};
    QTest::newRow("2 layers, layer 1 to 126")
        << 2 << 1 << 126 << Thresholds{126, 1, 0, -1, -2, -3, -4, -5};
    QTest::newRow("3 layers, layer 1 to 0, clamped to 3")
        << 3 << 1 << 0 << Thresholds{3, 2, 1, 0, -1, -2, -3, -4};
    QTest::newRow("8 layers, layer 3 to 126, clamped to 124")
        << 8 << 3 << 126 << Thresholds{126, 125, 124, 65, 49, 33, 17, 1};
    QTest::newRow("8 layers, layer 1 to 126")
        << 8 << 1 << 126 << Thresholds{126, 97, 81, 65, 49, 33, 17, 1};
    QTest::newRow("3 layers, layer 2 to its spread value")
        << 3 << 2 << 43 << Thresholds{85, 43, 1, 0, -1, -2, -3, -4};
    QTest::newRow("position below the slider's range")
        << 2 << 1 << -50 << Thresholds{2, 1, 0, -1, -2, -3, -4, -5};
}

void TestLayerTable::drag()
{
    QFETCH(int, count);
    QFETCH(int, selected);
    QFETCH(int, position);
    QFETCH(Thresholds, expected);

    LayerThresholds t;
    DistributeThresholds(t, count);
    DragThreshold(t, selected, count, position);
    QCOMPARE(toList(t), expected);
    QVERIFY(fallsStrictly(t, count));
}

void TestLayerTable::dragKeepsInvariant()
{
    // Every sequence of drags over every layer count keeps the loaded layers
    // falling strictly from at most 126 to exactly 1.
    for (int count = 2; count <= 8; ++count) {
        LayerThresholds t;
        DistributeThresholds(t, count);
        for (int round = 0; round < 200; ++round) {
            const int selected = 1 + (round * 5) % (count - 1);
            const int position = (round * 37) % 127;
            DragThreshold(t, selected, count, position);
            QVERIFY2(fallsStrictly(t, count),
                     qPrintable(QStringLiteral("count %1 round %2").arg(count).arg(round)));
        }
    }
}

void TestLayerTable::capacity_data()
{
    QTest::addColumn<qint64>("used");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("fits");

    QTest::newRow("empty table, largest layer") << qint64(0) << qint64(3141632) << true;
    QTest::newRow("exactly full") << qint64(3141632) << qint64(4096) << true;
    QTest::newRow("one block over") << qint64(3141632) << qint64(4608) << false;
    QTest::newRow("two large layers") << qint64(3141632) << qint64(3141632) << false;
}

void TestLayerTable::capacity()
{
    QFETCH(qint64, used);
    QFETCH(qint64, size);
    QFETCH(bool, fits);
    QCOMPARE(FitsCapacity(used, size), fits);
}

void TestLayerTable::availablePercent_data()
{
    QTest::addColumn<int>("used");
    QTest::addColumn<int>("percent");

    QTest::newRow("empty") << 0 << 100;
    QTest::newRow("one second") << 88576 << 98;
    QTest::newRow("largest layer") << 3141632 << 0;
    QTest::newRow("full capacity") << 3145728 << 0;
    QTest::newRow("just under 1%") << 31416 << 100;
    QTest::newRow("1%") << 31417 << 99;
}

void TestLayerTable::availablePercent()
{
    QFETCH(int, used);
    QFETCH(int, percent);
    QCOMPARE(AvailableSpacePercent(used), percent);
}

void TestLayerTable::layerName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");

    QTest::newRow("drive path") << "C:/Sounds/kick.wav"
                                << "kick.wav";
    QTest::newRow("no slash") << "kick.wav"
                              << "kick.wav";
    QTest::newRow("trailing slash") << "/sounds/"
                                    << "";
    QTest::newRow("backslash is no separator") << "C:\\Sounds\\kick.wav"
                                               << "C:\\Sounds\\kick.wav";
    QTest::newRow("mixed") << "/a\\b/c\\d.wav"
                           << "c\\d.wav";
    QTest::newRow("empty") << ""
                           << "";
}

void TestLayerTable::layerName()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(LayerNameOf(path), name);
}

void TestLayerTable::reset()
{
    LayerTable table;
    table.LayerCount = 3;
    table.LayerPath[2] = QStringLiteral("/a/c.wav");
    table.LayerName[2] = QStringLiteral("c.wav");
    table.LayerSize[7] = -5;
    table.LayerThreshold[1] = 85;
    table.LayerThreshold[2] = 43;
    table.SelectedLayer = 2;
    table.UsedSpace = 4096;
    table.SoundFilePath = QStringLiteral("/out/demo.qms");
    table.Reset();

    QCOMPARE(table.LayerCount, 0);
    QCOMPARE(table.UsedSpace, 0);
    QCOMPARE(table.LayerThreshold[1], 1);
    QCOMPARE(table.LayerThreshold[2], 43); // kept until the next spread
    QCOMPARE(table.SelectedLayer, 2);
    QCOMPARE(table.SoundFilePath, QStringLiteral("/out/demo.qms"));
    for (int slot = 0; slot < Limits::LayerCount; ++slot) {
        QCOMPARE(table.LayerSize[slot], 0);
        QVERIFY(table.LayerPath[slot].isEmpty());
        QVERIFY(table.LayerName[slot].isEmpty());
    }
}

void TestLayerTable::soundJobBlanksEmptyLayers()
{
    LayerTable table;
    for (int slot = 0; slot < 4; ++slot) {
        table.LayerPath[slot] = QStringLiteral("/w/%1.wav").arg(slot);
        table.LayerName[slot] = QStringLiteral("%1.wav").arg(slot);
        table.LayerSize[slot] = 1024 * (slot + 1);
    }
    table.LayerSize[3] = -5; // a refused addition left its status here
    table.LayerCount = 3;
    DistributeThresholds(table.LayerThreshold, 3);
    DragThreshold(table.LayerThreshold, 1, 3, 126);
    table.SoundFilePath = QStringLiteral("/out/demo.qms");
    table.SoundFileName = QStringLiteral("demo.qms");

    const SoundJob job = MakeSoundJob(table);
    QCOMPARE(job.Count, 3);
    QCOMPARE(job.FilePath, table.SoundFilePath);
    QCOMPARE(job.FileName, table.SoundFileName);
    for (int slot = 0; slot < 8; ++slot) {
        const bool loaded = slot < 3;
        QCOMPARE(job.Paths[slot], loaded ? table.LayerPath[slot] : QString());
        QCOMPARE(job.Names[slot], loaded ? table.LayerName[slot] : QString());
        QCOMPARE(job.Sizes[slot], loaded ? table.LayerSize[slot] : 0);
        QCOMPARE(job.Thresholds[slot], table.LayerThreshold[slot + 1]);
    }
    QCOMPARE(job.Thresholds[4], -1); // empty layers' thresholds as they stand
}

void TestLayerTable::statusMessages_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("warning");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");

    QTest::newRow("-1") << -1 << false << "WARNING"
                        << "No File Choosen";
    QTest::newRow("-2") << -2 << false << "ERROR"
                        << "File Error";
    QTest::newRow("-3") << -3 << false << "ERROR"
                        << "Incomatible file format";
    QTest::newRow("-4") << -4 << false << "ERROR"
                        << "File Error";
    QTest::newRow("-5") << -5 << false << "ERROR"
                        << "File too big!";
    QTest::newRow("-6") << -6 << false << "ERROR"
                        << "Filename is toooo long!";
    QTest::newRow("-7") << -7 << false << "ERROR"
                        << "Not enough space!";
    QTest::newRow("-8") << -8 << true << "MESSAGE"
                        << "Clear Complete!";
    QTest::newRow("-9") << -9 << false << "ERROR"
                        << "Upload has been broken!";
    QTest::newRow("-10") << -10 << true << "MESSAGE"
                         << "Upload Complete!";
    QTest::newRow("0") << 0 << false << "ERROR"
                       << "Unknown Error";
    QTest::newRow("1") << 1 << false << "ERROR"
                       << "Unknown Error";
    QTest::newRow("-11") << -11 << false << "ERROR"
                         << "Unknown Error";
}

void TestLayerTable::statusMessages()
{
    QFETCH(int, code);
    QFETCH(bool, warning);
    QFETCH(QString, title);
    QFETCH(QString, text);
    const StatusMessage message = StatusMessageFor(code);
    QCOMPARE(message.kind == StatusMessage::Warning, warning);
    QCOMPARE(QString::fromLatin1(message.title), title);
    QCOMPARE(QString::fromLatin1(message.text), text);
}

QTEST_GUILESS_MAIN(TestLayerTable)
#include "tst_layertable.moc"
