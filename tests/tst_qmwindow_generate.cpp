// The Generate button: the save dialog and its remembered folder, the debug
// listing, the sound file written, and what the user is told when it could
// not be written.

#include "testsupport.h"
#include "windowdriver.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

using GuiSupport::DialogAnswerer;
using TestSupport::le16;
using TestSupport::le32;
using TestSupport::readFile;
using TestSupport::withoutTag;
using TestSupport::writeWave;

namespace {

// The file that one layer named kick.wav with 100000 sample bytes, saved as
// demo.qms with all thresholds 1, must give; the random tag left as zeros.
QByteArray kickDemoFile(const QByteArray &samples)
{
    QByteArray e("Quelmar(tm) inc, California, USA");
    e += QByteArray(4, '\0');
    e += QByteArray::fromHex("0401010A1234567891");
    e += QByteArray::fromHex("785A46");
    for (int i = 0; i < 4; ++i)
        e += le16(196); // 100352 / 512
    for (int i = 0; i < 4; ++i)
        e += le32(512);
    e += QByteArray(8, '\1');
    e += le16(392) + QByteArray(14, '\0'); // 100352 / 256
    e += QByteArray(8, '\0');
    e += "\ndemo.qms\nkick.wav\n" + QByteArray(7, '\n');
    e += QByteArray(512 - e.size(), '~');
    e += samples;
    e += QByteArray(352, '\0');
    return e;
}

QString quoted(const QString &s)
{
    return QLatin1Char('"') + s + QLatin1Char('"');
}

} // namespace

class TestWindowGenerate : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowDriver> driver;
    std::unique_ptr<QTemporaryDir> files;
    QString startFolder;

    QString path(const QString &name) const { return files->filePath(name); }
    QString canonical(const QString &name) const { return QDir(path(name)).canonicalPath(); }

    QString wave(const QString &name, quint32 dataLength)
    {
        writeWave(path(name), dataLength);
        return path(name);
    }

    // Clicks Generate with the answers for the dialogs it is expected to open.
    void generate(const QList<DialogAnswerer::Answer> &answers)
    {
        for (const DialogAnswerer::Answer &answer : answers)
            driver->dialogs.then(answer);
        driver->click(driver->generateButton());
        QCOMPARE(driver->dialogs.pending(), 0);
    }

    void restart()
    {
        driver.reset();
        driver = std::make_unique<WindowDriver>();
        QVERIFY(driver->exposed);
    }

    QString lastSaveFolder() const
    {
        return QSettings().value(QStringLiteral("LastSaveFolder")).toString();
    }

private slots:
    void initTestCase() { startFolder = QDir::currentPath(); }

    void init()
    {
        QSettings().clear();
        files = std::make_unique<QTemporaryDir>();
        QVERIFY(files->isValid());
        QDir::setCurrent(files->path());
        QVERIFY(QDir(files->path()).mkpath(QStringLiteral("qms")));
        QVERIFY(QDir(files->path()).mkpath(QStringLiteral("out/real")));
        QVERIFY(QFile::link(path(QStringLiteral("out/real")), path(QStringLiteral("link"))));
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

    void writesTheSoundFile()
    {
        const QByteArray samples = writeWave(path(QStringLiteral("kick.wav")), 100000);
        driver->addLayer(path(QStringLiteral("kick.wav")));
        const QString output = path(QStringLiteral("demo.qms"));
        TestSupport::DebugCapture debug;
        generate({DialogAnswerer::chooseFile(output)});

        const QByteArray written = readFile(output);
        QCOMPARE(written.size(), 100864);
        QCOMPARE(withoutTag(written), kickDemoFile(samples));

        // Only the save dialog; a written file is not announced.
        QCOMPARE(driver->dialogs.seen.size(), 2);
        const GuiSupport::SeenDialog &dialog = driver->dialogs.seen.last();
        QCOMPARE(dialog.title, QStringLiteral("Save File"));
        QCOMPARE(dialog.acceptMode, QFileDialog::AcceptSave);
        QCOMPARE(dialog.nameFilters, QStringList{"QuelmarSound (*.qms)"});

        QStringList expected;
        expected << quoted(QStringLiteral("kick.wav")) + " --- " +
                        quoted(path(QStringLiteral("kick.wav")));
        for (int k = 2; k <= 8; ++k)
            expected << QStringLiteral("\"\" --- \"\"");
        expected << quoted(output) << quoted(QStringLiteral("demo.qms"));
        QVERIFY(debug.lines.size() >= expected.size());
        QCOMPARE(debug.lines.mid(0, expected.size()), expected);
        QCOMPARE(Layers.SoundFilePath, output);
        QCOMPARE(Layers.SoundFileName, QStringLiteral("demo.qms"));
    }

    void draggedThresholdsReachTheFile()
    {
        for (int i = 1; i <= 4; ++i)
            driver->addLayer(wave(QStringLiteral("l%1.wav").arg(i), 1000));
        driver->click(driver->thresholdButton(2));
        driver->drag(100);
        generate({DialogAnswerer::chooseFile(path(QStringLiteral("t.qms")))});
        const QByteArray written = readFile(path(QStringLiteral("t.qms")));
        QVERIFY(written.size() > 80);
        QCOMPARE(written.mid(45, 3), QByteArray::fromHex("656420"));           // 101 100 32
        QCOMPARE(written.mid(72, 8), QByteArray::fromHex("65642001007F7E7D")); // ..0 -1 -2 -3
    }

    // The listing shows the table as it stands, a refused layer's leftovers
    // included; the file holds only the loaded layers.
    void refusedLayerIsListedButNotWritten()
    {
        driver->addLayer(wave(QStringLiteral("big.wav"), 3141631));
        driver->dialogs.then(DialogAnswerer::chooseFile(wave(QStringLiteral("more.wav"), 4096)));
        driver->dialogs.then(DialogAnswerer::press(QMessageBox::Ok));
        driver->click(driver->addRemoveButton(2));
        QCOMPARE(Layers.LayerCount, 1);

        TestSupport::DebugCapture debug;
        generate({DialogAnswerer::chooseFile(path(QStringLiteral("x.qms")))});
        QVERIFY(debug.lines.size() >= 2);
        QCOMPARE(debug.lines[1], quoted(QStringLiteral("more.wav")) + " --- " +
                                     quoted(path(QStringLiteral("more.wav"))));
        const QByteArray written = readFile(path(QStringLiteral("x.qms")));
        QCOMPARE(written.size(), 512 + 3141632);
        QCOMPARE(written.mid(104, 20), QByteArray("\nx.qms\nbig.wav\n\n\n\n\n\n"));
    }

    void saveDialogStartsInQmsAtFirst()
    {
        driver->addLayer(wave(QStringLiteral("a.wav"), 1000));
        generate({DialogAnswerer::cancel()});
        QCOMPARE(QDir(driver->dialogs.seen.last().directory).canonicalPath(),
                 canonical(QStringLiteral("qms")));
    }

    // The folder of the chosen file is remembered, canonical, whether the
    // file is new or replaces an older one; also across a restart.
    void saveFolderIsRemembered_data()
    {
        QTest::addColumn<bool>("fileExists");
        QTest::newRow("new file") << false;
        QTest::newRow("existing file") << true;
    }
    void saveFolderIsRemembered()
    {
        QFETCH(bool, fileExists);
        driver->addLayer(wave(QStringLiteral("a.wav"), 1000));
        const QString output = path(QStringLiteral("link/song.qms"));
        QList<DialogAnswerer::Answer> answers{DialogAnswerer::chooseFile(output)};
        if (fileExists) {
            QVERIFY(TestSupport::writeFile(output, "old"));
            answers << DialogAnswerer::press(QMessageBox::Yes); // replace it?
        }
        generate(answers);
        QVERIFY(readFile(output).startsWith("Quelmar"));
        QCOMPARE(lastSaveFolder(), canonical(QStringLiteral("out/real")));

        generate({DialogAnswerer::cancel()});
        QCOMPARE(QDir(driver->dialogs.seen.last().directory).canonicalPath(),
                 canonical(QStringLiteral("out/real")));

        restart();
        driver->addLayer(wave(QStringLiteral("b.wav"), 1000));
        generate({DialogAnswerer::cancel()});
        QCOMPARE(QDir(driver->dialogs.seen.last().directory).canonicalPath(),
                 canonical(QStringLiteral("out/real")));
        QCOMPARE(lastSaveFolder(), canonical(QStringLiteral("out/real")));
    }

    void deletedSaveFolderFallsBackToQms()
    {
        QSettings().setValue(QStringLiteral("LastSaveFolder"), path(QStringLiteral("gone")));
        restart();
        driver->addLayer(wave(QStringLiteral("a.wav"), 1000));
        generate({DialogAnswerer::cancel()});
        QCOMPARE(QDir(driver->dialogs.seen.last().directory).canonicalPath(),
                 canonical(QStringLiteral("qms")));
    }

    void cancelledSaveShowsNothing()
    {
        QSettings().setValue(QStringLiteral("LastSaveFolder"), canonical(QStringLiteral("out")));
        restart();
        driver->addLayer(wave(QStringLiteral("a.wav"), 1000));
        TestSupport::DebugCapture debug;
        generate({DialogAnswerer::cancel()});
        QCOMPARE(driver->dialogs.seen.size(), 2); // the open and the save dialog
        QCOMPARE(Layers.SoundFilePath, QString());
        QCOMPARE(Layers.SoundFileName, QString());
        QCOMPARE(lastSaveFolder(), canonical(QStringLiteral("out")));
        QVERIFY(debug.lines.size() >= 10);
        QCOMPARE(debug.lines.mid(8, 2), QStringList({"\"\"", "\"\""}));
        QCOMPARE(QDir(files->path()).entryList({"*.qms"}, QDir::Files), QStringList());
    }

    // A sound file that could not be written is reported, and nothing is
    // left at its path (an older file there is kept as it was).
    void failedWriteIsShown_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("text");
        QTest::newRow("over capacity") << "space"
                                       << "Not enough space!";
        QTest::newRow("over capacity, older file kept") << "space-existing"
                                                        << "Not enough space!";
        QTest::newRow("layer file deleted") << "deleted"
                                            << "File Error";
        QTest::newRow("folder missing") << "folder"
                                        << "File Error";
    }
    void failedWriteIsShown()
    {
        QFETCH(QString, failure);
        QFETCH(QString, text);

        QString output = path(QStringLiteral("out/result.qms"));
        QStringList mentioned{QDir::toNativeSeparators(output)};
        QList<DialogAnswerer::Answer> answers;
        if (failure.startsWith(QLatin1String("space"))) {
            // The layers fill the capacity exactly; the header no longer fits.
            driver->addLayer(wave(QStringLiteral("big.wav"), 3141631));
            driver->addLayer(wave(QStringLiteral("rest.wav"), 3584));
            QCOMPARE(Layers.UsedSpace, 3145728);
            QCOMPARE(driver->bar()->value(), 0);
            mentioned << QStringLiteral("3145728") << QStringLiteral("3146240");
        } else if (failure == QLatin1String("deleted")) {
            const QString kick = wave(QStringLiteral("kick.wav"), 100000);
            driver->addLayer(kick);
            QVERIFY(QFile::remove(kick));
            mentioned << QDir::toNativeSeparators(kick);
        } else {
            driver->addLayer(wave(QStringLiteral("kick.wav"), 100000));
            output = path(QStringLiteral("missing/result.qms"));
            mentioned = QStringList{QDir::toNativeSeparators(output)};
        }
        answers << DialogAnswerer::chooseFile(output);
        if (failure == QLatin1String("space-existing")) {
            QVERIFY(TestSupport::writeFile(output, "older file"));
            answers << DialogAnswerer::press(QMessageBox::Yes); // replace it?
        }
        answers << DialogAnswerer::press(QMessageBox::Ok);
        const QString folderBefore = lastSaveFolder();
        generate(answers);

        const GuiSupport::SeenDialog &box = driver->dialogs.seen.last();
        QCOMPARE(box.className, QStringLiteral("QMessageBox"));
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.title, QStringLiteral("ERROR"));
        QCOMPARE(box.text, text);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        for (const QString &words : mentioned)
            QVERIFY2(box.informativeText.contains(words),
                     qPrintable(box.informativeText + " lacks " + words));

        if (failure == QLatin1String("space-existing"))
            QCOMPARE(readFile(output), QByteArray("older file"));
        else
            QVERIFY(!QFile::exists(output));
        // A folder that does not exist is not remembered.
        if (failure == QLatin1String("folder"))
            QCOMPARE(lastSaveFolder(), folderBefore);
    }
};

QMS_GUI_TEST_MAIN(TestWindowGenerate)
#include "tst_qmwindow_generate.moc"
