// Adding, removing, selecting and playing layers through the main window's
// widgets, with the real open-file dialog and message boxes.

#include "testsupport.h"
#include "windowdriver.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

using GuiSupport::DialogAnswerer;
using TestSupport::writeWave;

namespace {

// Data lengths and the slot sizes they give.
constexpr quint32 OneSecond = 88200;      // slot 88576
constexpr quint32 LargestData = 3141631;  // slot 3141632
constexpr quint32 FillsTheRest = 3584;    // slot 4096: 3141632 + 4096 = 3145728
constexpr quint32 OneBlockTooMany = 4096; // slot 4608

} // namespace

class TestWindowLayers : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowDriver> driver;
    std::unique_ptr<QTemporaryDir> files;
    QString startFolder;

    // A valid WAV file in the test folder.
    QString wave(const QString &name, quint32 dataLength = 1000)
    {
        const QString path = files->filePath(name);
        writeWave(path, dataLength);
        return path;
    }

    // Adds `count` one-second layers named layer1.wav, layer2.wav, ...
    QStringList addLayers(int count)
    {
        QStringList names;
        for (int i = 0; i < count; ++i) {
            const QString name = QStringLiteral("layer%1.wav").arg(Layers.LayerCount + 1);
            driver->addLayer(wave(name, OneSecond));
            names << name;
        }
        return names;
    }

    void restart()
    {
        driver.reset();
        driver = std::make_unique<WindowDriver>();
        QVERIFY(driver->exposed);
    }

private slots:
    void initTestCase() { startFolder = QDir::currentPath(); }

    void init()
    {
        QSettings().clear();
        files = std::make_unique<QTemporaryDir>();
        QVERIFY(files->isValid());
        QDir::setCurrent(files->path());
        driver = std::make_unique<WindowDriver>();
        QVERIFY(driver->exposed);
    }

    void cleanup()
    {
        if (driver)
            driver->checkDialogsSettled();
        driver.reset();
        QDir::setCurrent(startFolder);
        files.reset();
    }

    // "+" adds the next layer, "-" removes the last; the rows are checked
    // after every step.
    void addAndRemove_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::newRow("up to eight and back") << "++++++++--------";
        QTest::newRow("one in, one out") << "+-+-";
        QTest::newRow("mixed") << "+++--++++-++";
    }
    void addAndRemove()
    {
        QFETCH(QString, steps);
        QStringList names;
        qint32 used = 0;
        for (const QChar step : steps) {
            if (step == QLatin1Char('+')) {
                names << addLayers(1);
                used += 88576;
            } else {
                driver->removeLastLayer();
                names.removeLast();
                used -= 88576;
            }
            if (QTest::currentTestFailed())
                return;
            driver->checkRows(names);
            if (QTest::currentTestFailed())
                return;
            QCOMPARE(Layers.UsedSpace, used);
            QCOMPARE(driver->bar()->value(), 100 - used * 100 / 3141632);
            for (int slot = 0; slot < names.size(); ++slot) {
                QCOMPARE(Layers.LayerName[slot], names[slot]);
                QCOMPARE(Layers.LayerPath[slot], files->filePath(names[slot]));
            }
            // A removed layer's path and name are cleared.
            if (names.size() < 8) {
                QCOMPARE(Layers.LayerPath[names.size()], QString());
                QCOMPARE(Layers.LayerName[names.size()], QString());
            }
        }
    }

    void refusedAddition_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("-1 cancelled") << -1 << "WARNING"
                                      << "No File Choosen";
        QTest::newRow("-2 cannot open") << -2 << "ERROR"
                                        << "File Error";
        QTest::newRow("-3 no data tag") << -3 << "ERROR"
                                        << "Incomatible file format";
        QTest::newRow("-4 stereo") << -4 << "ERROR"
                                   << "File Error";
        QTest::newRow("-5 too short") << -5 << "ERROR"
                                      << "File too big!";
        QTest::newRow("-6 long name") << -6 << "ERROR"
                                      << "Filename is toooo long!";
        QTest::newRow("-7 no space") << -7 << "ERROR"
                                     << "Not enough space!";
    }
    void refusedAddition()
    {
        QFETCH(int, status);
        QFETCH(QString, title);
        QFETCH(QString, text);

        QStringList names;
        if (status == -7) {
            driver->addLayer(wave(QStringLiteral("big.wav"), LargestData));
            names << QStringLiteral("big.wav");
        }
        const int barBefore = driver->bar()->value();
        const int seenBefore = int(driver->dialogs.seen.size());
        const qint32 usedBefore = Layers.UsedSpace;

        DialogAnswerer::Answer answer;
        switch (status) {
        case -1:
            answer = DialogAnswerer::cancel();
            break;
        case -2: {
            // Deleted between the dialog's check and the reader.
            const QString path = wave(QStringLiteral("gone.wav"));
            answer = DialogAnswerer::chooseFile(path, [path] { QFile::remove(path); });
            break;
        }
        case -3: {
            QByteArray header = TestSupport::waveHeader(1000);
            header.replace(36, 4, "LIST");
            const QString path = files->filePath(QStringLiteral("list.wav"));
            TestSupport::writeFile(path, header + QByteArray(1000, '\0'));
            answer = DialogAnswerer::chooseFile(path);
            break;
        }
        case -4: {
            QByteArray header = TestSupport::waveHeader(1000);
            header[22] = 2;
            const QString path = files->filePath(QStringLiteral("stereo.wav"));
            TestSupport::writeFile(path, header + QByteArray(1000, '\0'));
            answer = DialogAnswerer::chooseFile(path);
            break;
        }
        case -5:
            answer = DialogAnswerer::chooseFile(wave(QStringLiteral("short.wav"), 511));
            break;
        case -6:
            answer = DialogAnswerer::chooseFile(wave(QString(77, QLatin1Char('n')) + ".wav"));
            break;
        case -7:
            answer = DialogAnswerer::chooseFile(wave(QStringLiteral("more.wav"), OneBlockTooMany));
            break;
        }
        driver->dialogs.then(answer);
        driver->dialogs.then(DialogAnswerer::press(QMessageBox::Ok));
        driver->click(driver->addRemoveButton(names.size() + 1));

        QCOMPARE(driver->dialogs.pending(), 0);
        QCOMPARE(driver->dialogs.seen.size(), seenBefore + 2);
        const GuiSupport::SeenDialog &box = driver->dialogs.seen.last();
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.title, title);
        QCOMPARE(box.text, text);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

        driver->checkRows(names);
        QCOMPARE(Layers.UsedSpace, usedBefore);
        QCOMPARE(driver->bar()->value(), barBefore);
        // The refused slot keeps the reader's status as its size.
        if (status != -7)
            QCOMPARE(Layers.LayerSize[names.size()], status);
    }

    void availableSpaceBar_data()
    {
        QTest::addColumn<QList<quint32>>("dataLengths");
        QTest::addColumn<int>("percent");
        QTest::newRow("one second") << QList<quint32>{OneSecond} << 98;
        QTest::newRow("largest layer") << QList<quint32>{LargestData} << 0;
        QTest::newRow("exactly full") << QList<quint32>{LargestData, FillsTheRest} << 0;
        QTest::newRow("small") << QList<quint32>{512, 1000} << 100;
    }
    void availableSpaceBar()
    {
        QFETCH(QList<quint32>, dataLengths);
        QFETCH(int, percent);
        for (const quint32 length : dataLengths)
            driver->addLayer(wave(QStringLiteral("l%1.wav").arg(Layers.LayerCount), length));
        QCOMPARE(Layers.LayerCount, int(dataLengths.size()));
        QCOMPARE(driver->bar()->value(), percent);

        // Removing every layer gives the whole space back.
        while (Layers.LayerCount > 0)
            driver->removeLastLayer();
        QCOMPARE(Layers.UsedSpace, 0);
        QCOMPARE(driver->bar()->value(), 100);
    }

    void oneLayerShowsNoThresholdButton()
    {
        addLayers(1);
        for (int layer = 1; layer <= 8; ++layer)
            QVERIFY(!driver->thresholdButton(layer)->isVisible());
        QCOMPARE(Layers.LayerThreshold[1], 1);
        QCOMPARE(driver->thresholdButton(1)->text(), QStringLiteral("1"));
    }

    void selectingALayerShowsTheSlider()
    {
        addLayers(4);
        QCOMPARE(driver->thresholdTexts(),
                 QStringList({"94", "63", "32", "1", "1", "1", "1", "1"}));
        driver->click(driver->thresholdButton(2));
        QVERIFY(driver->thresholdButton(2)->isChecked());
        QVERIFY(driver->slider()->isVisible());
        QCOMPARE(driver->slider()->value(), 63);
        QCOMPARE(Layers.SelectedLayer, 2);
        // A value set from code or by the keyboard moves no threshold.
        driver->slider()->setValue(10);
        QTest::keyClick(driver->slider(), Qt::Key_Up);
        QCOMPARE(Layers.LayerThreshold[2], 63);
    }

    void lastLayerButtonHidesTheSlider()
    {
        addLayers(3);
        driver->click(driver->thresholdButton(1));
        QVERIFY(driver->slider()->isVisible());
        QCOMPARE(Layers.SelectedLayer, 1);
        driver->click(driver->thresholdButton(3));
        QVERIFY(!driver->slider()->isVisible());
        QCOMPARE(Layers.SelectedLayer, 1);
        QVERIFY(driver->thresholdButton(3)->isChecked());
        QVERIFY(!driver->thresholdButton(1)->isChecked());
    }

    // Thresholds after selecting a layer and dragging the handle.
    void drag_data()
    {
        QTest::addColumn<int>("layers");
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("thresholds");
        QTest::newRow("layer 1 of 3 to 0") << 3 << 1 << 0 << "3 2 1 0 -1 -2 -3 -4";
        QTest::newRow("layer 3 of 8 to 126") << 8 << 3 << 126 << "126 125 124 65 49 33 17 1";
        QTest::newRow("layer 2 of 4 to 100") << 4 << 2 << 100 << "101 100 32 1 0 -1 -2 -3";
        QTest::newRow("layer 1 of 4 to 2") << 4 << 1 << 2 << "4 3 2 1 0 -1 -2 -3";
        QTest::newRow("layer 7 of 8 to 126") << 8 << 7 << 126 << "126 125 124 123 122 121 120 1";
        QTest::newRow("layer 4 of 8 to 1") << 8 << 4 << 1 << "113 97 81 5 4 3 2 1";
        QTest::newRow("layer 1 of 2 to 126") << 2 << 1 << 126 << "126 1 0 -1 -2 -3 -4 -5";
    }
    void drag()
    {
        QFETCH(int, layers);
        QFETCH(int, selected);
        QFETCH(int, position);
        QFETCH(QString, thresholds);
        addLayers(layers);
        driver->click(driver->thresholdButton(selected));
        driver->drag(position);
        QCOMPARE(driver->thresholdTexts(), thresholds.split(' '));
        for (int layer = 1; layer <= 8; ++layer)
            QCOMPARE(QString::number(Layers.LayerThreshold[layer]),
                     thresholds.split(' ')[layer - 1]);
        // The handle stays where it was dragged, even beyond a bound.
        QCOMPARE(driver->slider()->value(), position);
    }

    void addingOrRemovingAfterADragRestoresTheSpread()
    {
        addLayers(3);
        driver->click(driver->thresholdButton(2));
        driver->drag(120);
        QCOMPARE(driver->thresholdTexts().mid(0, 3), QStringList({"121", "120", "1"}));
        addLayers(1);
        QCOMPARE(driver->thresholdTexts(),
                 QStringList({"94", "63", "32", "1", "1", "1", "1", "1"}));
        driver->click(driver->thresholdButton(1));
        driver->drag(10);
        driver->removeLastLayer();
        QCOMPARE(driver->thresholdTexts(), QStringList({"85", "43", "1", "1", "1", "1", "1", "1"}));
        QVERIFY(!driver->slider()->isVisible());
    }

    void addOrRemoveClickClearsTheSelection()
    {
        addLayers(3);
        driver->click(driver->thresholdButton(1));
        QVERIFY(driver->slider()->isVisible());
        driver->dialogs.then(DialogAnswerer::cancel());
        driver->dialogs.then(DialogAnswerer::press(QMessageBox::Ok));
        driver->click(driver->addRemoveButton(4));
        QVERIFY(!driver->slider()->isVisible());
        for (int layer = 1; layer <= 3; ++layer)
            QVERIFY(!driver->thresholdButton(layer)->isChecked());
        QVERIFY(driver->thresholdButton(8)->isChecked());
        driver->checkRows({"layer1.wav", "layer2.wav", "layer3.wav"});
    }

    void resetSelectionWithEightLayers()
    {
        addLayers(8);
        driver->click(driver->thresholdButton(3));
        QVERIFY(driver->slider()->isVisible());
        driver->window->ResetThresholdSelection();
        QVERIFY(!driver->slider()->isVisible());
        QVERIFY(driver->thresholdButton(8)->isVisible());
        QVERIFY(driver->thresholdButton(8)->isChecked());
        QVERIFY(!driver->thresholdButton(3)->isChecked());
        QCOMPARE(Layers.SelectedLayer, 3);
    }

    void eightLayersLeaveNoAddButton()
    {
        addLayers(8);
        QCOMPARE(driver->thresholdTexts(),
                 QStringList({"113", "97", "81", "65", "49", "33", "17", "1"}));
        for (int layer = 1; layer <= 7; ++layer)
            QVERIFY(!driver->addRemoveButton(layer)->isEnabled());
        QCOMPARE(driver->addRemoveButton(8)->text(), QStringLiteral("X"));
        // A disabled "X" does nothing.
        QTest::mouseClick(driver->addRemoveButton(7), Qt::LeftButton);
        QCOMPARE(Layers.LayerCount, 8);
    }

    // The first Play loads the playback plugin, and with it Qt Multimedia (no
    // test before this one plays).
    void playIsMadeOnFirstUseAndFailsQuietly()
    {
        const auto multimediaLoaded = [] {
            QFile maps(QStringLiteral("/proc/self/maps"));
            return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Multimedia");
        };
        addLayers(2);
        QVERIFY(!driver->window->findChild<QObject *>(QStringLiteral("layerSound")));
        QVERIFY(!multimediaLoaded());
        driver->click(driver->playButton(1));
        QVERIFY(multimediaLoaded());
        QObject *sound = driver->window->findChild<QObject *>(QStringLiteral("layerSound"));
        QVERIFY(sound);
        QVERIFY(sound->inherits("QSoundEffect"));
        QCOMPARE(sound->property("source").toUrl(), QUrl::fromLocalFile(Layers.LayerPath[0]));
        QTest::qWait(50);
        driver->click(driver->playButton(2));
        driver->click(driver->playButton(2));
        QTest::qWait(50);
        QCOMPARE(driver->window->findChildren<QObject *>(QStringLiteral("layerSound")).size(), 1);
        QCOMPARE(sound->property("source").toUrl(), QUrl::fromLocalFile(Layers.LayerPath[1]));
        driver->checkRows({"layer1.wav", "layer2.wav"});
    }

    // Without its plugin Play says so, plays nothing and changes nothing; a
    // later Play finds the plugin once it is there.
    void playWithoutThePlugin()
    {
        addLayers(1);
        const QStringList libraryPaths = QCoreApplication::libraryPaths();
        QCoreApplication::setLibraryPaths({files->filePath(QStringLiteral("no-plugins"))});
        driver->dialogs.then(DialogAnswerer::press(QMessageBox::Ok));
        driver->click(driver->playButton(1));
        QCoreApplication::setLibraryPaths(libraryPaths);

        QCOMPARE(driver->dialogs.pending(), 0);
        QCOMPARE(driver->dialogs.seen.size(), 2);
        const GuiSupport::SeenDialog &box = driver->dialogs.seen.last();
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.title, QStringLiteral("ERROR"));
        QCOMPARE(box.text, QStringLiteral("Playback is unavailable"));
        QVERIFY2(box.informativeText.contains(QStringLiteral("not found")),
                 qPrintable(box.informativeText));
        QVERIFY(!driver->window->findChild<QObject *>(QStringLiteral("layerSound")));
        driver->checkRows({"layer1.wav"});

        driver->click(driver->playButton(1));
        QVERIFY(driver->window->findChild<QObject *>(QStringLiteral("layerSound")));
        QCOMPARE(driver->dialogs.seen.size(), 2);
    }

    void openDialog()
    {
        driver->dialogs.then(DialogAnswerer::cancel());
        driver->dialogs.then(DialogAnswerer::press(QMessageBox::Ok));
        driver->click(driver->addRemoveButton(1));
        QCOMPARE(driver->dialogs.seen.size(), 2);
        const GuiSupport::SeenDialog &dialog = driver->dialogs.seen[0];
        QCOMPARE(dialog.title, QStringLiteral("Open File"));
        QCOMPARE(dialog.acceptMode, QFileDialog::AcceptOpen);
        QCOMPARE(dialog.nameFilters, QStringList{"Wave File 44100 16 MONO (*.wav )"});
        driver->checkRows({});
    }

    // Where the open-file dialog starts: "./wav" at first and when the
    // remembered folder has gone, else the folder of the last chosen file,
    // also after a restart.
    void lastFolder()
    {
        QVERIFY(QDir(files->path()).mkpath(QStringLiteral("wav")));
        QVERIFY(QDir(files->path()).mkpath(QStringLiteral("sounds/real")));
        QVERIFY(QFile::link(files->filePath(QStringLiteral("sounds/real")),
                            files->filePath(QStringLiteral("link"))));
        const QString wavFolder = QDir(files->filePath(QStringLiteral("wav"))).canonicalPath();
        const QString realFolder =
            QDir(files->filePath(QStringLiteral("sounds/real"))).canonicalPath();
        writeWave(realFolder + QStringLiteral("/a.wav"), 1000);

        driver->addLayer(files->filePath(QStringLiteral("link/a.wav")));
        QCOMPARE(QDir(driver->dialogs.seen[0].directory).canonicalPath(), wavFolder);
        QCOMPARE(QSettings().value(QStringLiteral("LastFolder")).toString(), realFolder);

        addLayers(1);
        QCOMPARE(QDir(driver->dialogs.seen[1].directory).canonicalPath(), realFolder);

        restart();
        addLayers(1);
        QCOMPARE(QDir(driver->dialogs.seen[0].directory).canonicalPath(),
                 QDir(files->path()).canonicalPath());

        QSettings().setValue(QStringLiteral("LastFolder"), files->filePath(QStringLiteral("gone")));
        restart();
        addLayers(1);
        QCOMPARE(QDir(driver->dialogs.seen[0].directory).canonicalPath(), wavFolder);
    }

    // Not a test of behaviour: saves pictures of the window to the folder in
    // QMS_SCREENSHOT_DIR, for looking at the layout (scripts/screenshots.sh).
    void screenshots()
    {
        const QString folder = qEnvironmentVariable("QMS_SCREENSHOT_DIR");
        if (folder.isEmpty())
            QSKIP("QMS_SCREENSHOT_DIR is not set");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(driver->window->grab().save(folder + QStringLiteral("/start.png")));
        driver->addLayer(wave(QStringLiteral("kick.wav"), 100000));
        driver->addLayer(wave(QStringLiteral("snare_soft_velocity.wav"), 400000));
        driver->addLayer(wave(QStringLiteral("hat.wav"), 20000));
        driver->click(driver->thresholdButton(2));
        QVERIFY(driver->window->grab().save(folder + QStringLiteral("/three-layers.png")));
        addLayers(5);
        driver->click(driver->thresholdButton(6));
        driver->drag(90);
        QVERIFY(driver->window->grab().save(folder + QStringLiteral("/eight-layers.png")));
    }
};

QMS_GUI_TEST_MAIN(TestWindowLayers)
#include "tst_qmwindow_layers.moc"
