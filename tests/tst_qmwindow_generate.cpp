// The Generate button: the save dialog and its remembered folder, the debug
// listing, the sound file written, and what the user is told when it could
// not be written.

#include "windowtest.h"

#include <QFile>

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

class TestWindowGenerate : public WindowTest
{
    Q_OBJECT

private:
    // "qms" is where the save dialog starts at first; "link" leads to "out/real".
    void prepareFolder() override
    {
        QVERIFY(QDir().mkpath(QStringLiteral("qms")));
        QVERIFY(QDir().mkpath(QStringLiteral("out/real")));
        QVERIFY(QFile::link(path(QStringLiteral("out/real")), path(QStringLiteral("link"))));
    }

    QString canonical(const QString &name) const { return QDir(path(name)).canonicalPath(); }

    QString lastSaveFolder() const
    {
        return QSettings().value(QStringLiteral("LastSaveFolder")).toString();
    }

private slots:
    void writesTheSoundFile()
    {
        const QByteArray samples = writeWave(path(QStringLiteral("kick.wav")), 100000);
        driver->addLayer(path(QStringLiteral("kick.wav")));
        const QString output = path(QStringLiteral("demo.qms"));
        TestSupport::DebugCapture debug;
        driver->generate({DialogAnswerer::chooseFile(output)});

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
        addLayers(4, 1000);
        driver->click(driver->thresholdButton(2));
        driver->drag(100);
        driver->generate({DialogAnswerer::chooseFile(path(QStringLiteral("t.qms")))});
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
        driver->click(driver->addRemoveButton(2),
                      {DialogAnswerer::chooseFile(wave(QStringLiteral("more.wav"), 4096)),
                       DialogAnswerer::press(QMessageBox::Ok)});
        QCOMPARE(Layers.LayerCount, 1);

        TestSupport::DebugCapture debug;
        driver->generate({DialogAnswerer::chooseFile(path(QStringLiteral("x.qms")))});
        QVERIFY(debug.lines.size() >= 2);
        QCOMPARE(debug.lines[1], quoted(QStringLiteral("more.wav")) + " --- " +
                                     quoted(path(QStringLiteral("more.wav"))));
        const QByteArray written = readFile(path(QStringLiteral("x.qms")));
        QCOMPARE(written.size(), 512 + 3141632);
        QCOMPARE(written.mid(104, 20), QByteArray("\nx.qms\nbig.wav\n\n\n\n\n\n"));
    }

    // At first the save dialog starts in "qms", or, without it, in the
    // working folder, and proposes no name.
    void saveDialogStartsInQmsAtFirst_data()
    {
        QTest::addColumn<bool>("qmsExists");
        QTest::newRow("qms") << true;
        QTest::newRow("no qms") << false;
    }
    void saveDialogStartsInQmsAtFirst()
    {
        QFETCH(bool, qmsExists);
        if (!qmsExists)
            QVERIFY(QDir().rmdir(QStringLiteral("qms")));
        addLayers(1);
        driver->generate({DialogAnswerer::cancel()});
        QCOMPARE(QDir(driver->dialogs.seen.last().directory).canonicalPath(),
                 qmsExists ? canonical(QStringLiteral("qms")) : QDir().canonicalPath());
        QCOMPARE(driver->dialogs.seen.last().fileName, QString());
    }

    // A name typed without the suffix gets ".qms", in the file's name and in
    // the name it holds; the title names the file, marked while the layers
    // differ from it.
    void suffixAndTitle()
    {
        addLayers(2);
        QCOMPARE(driver->window->windowTitle(), QStringLiteral("QuelmarR4FileGen"));
        driver->generate({DialogAnswerer::chooseFile(path(QStringLiteral("truck")))});
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("truck"))));
        QCOMPARE(readFile(path(QStringLiteral("truck.qms"))).mid(104, 11),
                 QByteArray("\ntruck.qms\n"));
        QCOMPARE(driver->window->windowTitle(), QStringLiteral("truck.qms[*] – QuelmarR4FileGen"));
        QVERIFY(!driver->window->isWindowModified());
        driver->click(driver->thresholdButton(1));
        driver->drag(100);
        QVERIFY(driver->window->isWindowModified());
        driver->drag(64); // as written
        QVERIFY(!driver->window->isWindowModified());

        // Ctrl+O looks for sound files where the last one went.
        QVERIFY(QDir().mkpath(QStringLiteral("wav")));
        driver->window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(driver->window.get()));
        driver->dialogs.then(DialogAnswerer::cancel());
        QTest::keyClick(driver->window.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(driver->dialogs.pending(), 0);
        QCOMPARE(QDir(driver->dialogs.seen.last().directory).canonicalPath(),
                 QDir().canonicalPath());
        QVERIFY(driver->dialogs.seen.last().selectedNameFilter.startsWith("Sound files"));
    }

    // Closing with layers not yet generated asks first; Save runs Generate.
    void closeQuestion_data()
    {
        QTest::addColumn<bool>("generatedFirst");
        QTest::addColumn<int>("answer"); // to the question, if asked
        QTest::addColumn<bool>("closed");
        QTest::newRow("cancel") << false << int(QMessageBox::Cancel) << false;
        QTest::newRow("discard") << false << int(QMessageBox::Discard) << true;
        QTest::newRow("save") << false << int(QMessageBox::Save) << true;
        QTest::newRow("save cancelled") << false << int(QMessageBox::Save) << false;
        QTest::newRow("nothing changed") << true << int(QMessageBox::NoButton) << true;
    }
    void closeQuestion()
    {
        QFETCH(bool, generatedFirst);
        QFETCH(int, answer);
        QFETCH(bool, closed);
        addLayers(1);
        const QString output = path(QStringLiteral("set.qms"));
        if (generatedFirst)
            driver->generate({DialogAnswerer::chooseFile(output)});
        if (answer != QMessageBox::NoButton)
            driver->dialogs.then(DialogAnswerer::press(QMessageBox::StandardButton(answer)));
        if (answer == QMessageBox::Save) {
            driver->dialogs.then(closed ? DialogAnswerer::chooseFile(output)
                                        : DialogAnswerer::cancel());
        }
        driver->window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(driver->window.get()));
        QTest::keyClick(driver->window.get(), Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(driver->dialogs.pending(), 0);
        QCOMPARE(driver->window->isVisible(), !closed);
        QCOMPARE(QFileInfo::exists(output),
                 generatedFirst || (answer == QMessageBox::Save && closed));
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
        addLayers(1);
        const QString output = path(QStringLiteral("link/song.qms"));
        QList<DialogAnswerer::Answer> answers{DialogAnswerer::chooseFile(output)};
        if (fileExists) {
            QVERIFY(TestSupport::writeFile(output, "old"));
            answers << DialogAnswerer::press(QMessageBox::Yes); // replace it?
        }
        driver->generate(answers);
        QVERIFY(readFile(output).startsWith("Quelmar"));
        QCOMPARE(lastSaveFolder(), canonical(QStringLiteral("out/real")));

        driver->generate({DialogAnswerer::cancel()});
        QCOMPARE(QDir(driver->dialogs.seen.last().directory).canonicalPath(),
                 canonical(QStringLiteral("out/real")));

        restart();
        addLayers(1);
        driver->generate({DialogAnswerer::cancel()});
        QCOMPARE(QDir(driver->dialogs.seen.last().directory).canonicalPath(),
                 canonical(QStringLiteral("out/real")));
        QCOMPARE(lastSaveFolder(), canonical(QStringLiteral("out/real")));
    }

    void deletedSaveFolderFallsBackToQms()
    {
        QSettings().setValue(QStringLiteral("LastSaveFolder"), path(QStringLiteral("gone")));
        restart();
        addLayers(1);
        driver->generate({DialogAnswerer::cancel()});
        QCOMPARE(QDir(driver->dialogs.seen.last().directory).canonicalPath(),
                 canonical(QStringLiteral("qms")));
    }

    void cancelledSaveShowsNothing()
    {
        QSettings().setValue(QStringLiteral("LastSaveFolder"), canonical(QStringLiteral("out")));
        restart();
        addLayers(1);
        TestSupport::DebugCapture debug;
        driver->generate({DialogAnswerer::cancel()});
        QCOMPARE(driver->dialogs.seen.size(), 2); // the open and the save dialog
        QCOMPARE(Layers.SoundFilePath, QString());
        QCOMPARE(Layers.SoundFileName, QString());
        QCOMPARE(lastSaveFolder(), canonical(QStringLiteral("out")));
        QVERIFY(debug.lines.size() >= 10);
        QCOMPARE(debug.lines.mid(8, 2), QStringList({"\"\"", "\"\""}));
        QCOMPARE(QDir().entryList({"*.qms"}, QDir::Files), QStringList());
    }

    // A sound file that could not be written is reported, and nothing is
    // left at its path (an older file there is kept as it was). The folder is
    // remembered all the same, unless it does not exist.
    void failedWriteIsShown_data()
    {
        QTest::addColumn<QList<quint32>>("layers"); // data lengths
        QTest::addColumn<qint32>("used");
        QTest::addColumn<int>("percent");       // the available-space bar
        QTest::addColumn<bool>("layerDeleted"); // the first layer's file, before Generate
        QTest::addColumn<QString>("output");
        QTest::addColumn<QByteArray>("older");      // at the output; empty: none
        QTest::addColumn<QStringList>("mentioned"); // besides the output and a deleted layer
        QTest::addColumn<QString>("text");
        // The layers fill the capacity exactly; the header no longer fits.
        const QList<quint32> full{3141631, 3584};
        const QStringList sizes{"3145728", "3146240"};
        QTest::newRow("over capacity") << full << 3145728 << 0 << false << "out/result.qms"
                                       << QByteArray() << sizes << "Not enough space!";
        QTest::newRow("over capacity, older file kept")
            << full << 3145728 << 0 << false << "out/result.qms" << QByteArray("older file")
            << sizes << "Not enough space!";
        QTest::newRow("layer file deleted")
            << QList<quint32>{100000} << 100352 << 97 << true << "out/result.qms" << QByteArray()
            << QStringList() << "File Error";
        QTest::newRow("folder missing")
            << QList<quint32>{100000} << 100352 << 97 << false << "missing/result.qms"
            << QByteArray() << QStringList() << "File Error";
    }
    void failedWriteIsShown()
    {
        QFETCH(QList<quint32>, layers);
        QFETCH(qint32, used);
        QFETCH(int, percent);
        QFETCH(bool, layerDeleted);
        QFETCH(QString, output);
        QFETCH(QByteArray, older);
        QFETCH(QStringList, mentioned);
        QFETCH(QString, text);

        for (const quint32 dataLength : layers)
            addLayers(1, dataLength);
        QCOMPARE(Layers.UsedSpace, used);
        QCOMPARE(driver->bar()->value(), percent);
        output = path(output);
        mentioned << QDir::toNativeSeparators(output);
        if (layerDeleted) {
            QVERIFY(QFile::remove(Layers.LayerPath[0]));
            mentioned << QDir::toNativeSeparators(Layers.LayerPath[0]);
        }
        QList<DialogAnswerer::Answer> answers{DialogAnswerer::chooseFile(output)};
        if (!older.isEmpty()) {
            QVERIFY(TestSupport::writeFile(output, older));
            answers << DialogAnswerer::press(QMessageBox::Yes); // replace it?
        }
        answers << DialogAnswerer::press(QMessageBox::Ok);
        driver->generate(answers);

        const GuiSupport::SeenDialog &box = driver->dialogs.seen.last();
        QCOMPARE(box.className, QStringLiteral("QMessageBox"));
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.title, QStringLiteral("ERROR"));
        QCOMPARE(box.text, text);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        for (const QString &words : mentioned)
            QVERIFY2(box.informativeText.contains(words),
                     qPrintable(box.informativeText + " lacks " + words));

        QCOMPARE(QFile::exists(output), !older.isEmpty());
        QCOMPARE(readFile(output), older);
        QCOMPARE(lastSaveFolder(), QFileInfo(output).absoluteDir().canonicalPath());
    }
};

QMS_GUI_TEST_MAIN(TestWindowGenerate)
#include "tst_qmwindow_generate.moc"
