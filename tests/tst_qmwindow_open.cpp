// Sound files opened in the window, and files from outside it: the add
// dialog's sound-file filter, Ctrl+O, drag and drop, the command line.

#include "windowtest.h"

#include "app/commandlinefiles.h"
#include "core/addlayer.h"
#include "core/thresholdrules.h"
#include "soundfile/soundfilewriter.h"
#include "wav/wavefilereader.h"

#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>

using GuiSupport::DialogAnswerer;
using TestSupport::readFile;
using TestSupport::withoutTag;

namespace {

const QStringList Names{"layer1.wav", "layer2.wav", "layer3.wav"};

QList<QUrl> urlsOf(const QStringList &paths)
{
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    return urls;
}

} // namespace

class TestWindowOpen : public WindowTest
{
    Q_OBJECT

private:
    // The sound file "sets/demo.qms" as Generate writes it: three layers of
    // whole samples, thresholds 100 50 1 set with the slider.
    QString soundFile()
    {
        const QString soundFile = path(QStringLiteral("sets/demo.qms"));
        if (QFile::exists(soundFile))
            return soundFile;
        QDir().mkpath(path(QStringLiteral("sets/recorded")));
        LayerTable table;
        TestSupport::DebugCapture quiet;
        for (int k = 0; k < Names.size(); ++k) {
            const QString wav = path(QStringLiteral("sets/recorded/") + Names.at(k));
            TestSupport::writeWave(wav, 2000 * (k + 1), -1, k + 1);
            AddLayer(table, wav, CheckWaveFile);
        }
        ApplyThresholds(table.LayerThreshold, table.LayerCount, {100, 50, 1});
        table.SoundFilePath = soundFile;
        table.SoundFileName = LayerNameOf(soundFile);
        WriteSoundFile(MakeSoundJob(table));
        return soundFile;
    }

    QString layerFolder() const { return path(QStringLiteral("sets/demo-layers")); }

    // Sends a drag of `paths` over the window and drops it; true when the
    // window took the drag.
    bool drop(const QStringList &paths, const QList<QUrl> &urls = {})
    {
        // Qt delivers a drag only to a widget that accepts drops.
        if (!driver->window->acceptDrops())
            return false;
        QMimeData data;
        data.setUrls(urls.isEmpty() ? urlsOf(paths) : urls);
        const QPoint where = driver->window->rect().center();
        QDragEnterEvent enter(where, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(driver->window.get(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(where, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                           Qt::NoModifier);
        QApplication::sendEvent(driver->window.get(), &dropped);
        // A dropped file is read, never moved away.
        return dropped.isAccepted() && dropped.dropAction() == Qt::CopyAction;
    }

    // Opens `paths` one of the four ways, with these answers to the dialogs
    // after the file dialog's.
    void open(const QString &way, const QStringList &paths,
              const QList<DialogAnswerer::Answer> &answers)
    {
        const bool fileDialog =
            way == QLatin1String("add dialog") || way == QLatin1String("Ctrl+O");
        if (fileDialog)
            driver->dialogs.then(DialogAnswerer::chooseFile(paths.first()));
        for (const DialogAnswerer::Answer &answer : answers)
            driver->dialogs.then(answer);
        if (way == QLatin1String("add dialog")) {
            driver->click(driver->addRemoveButton(Layers.LayerCount + 1));
        } else if (way == QLatin1String("Ctrl+O")) {
            driver->window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(driver->window.get()));
            QTest::keyClick(driver->window.get(), Qt::Key_O, Qt::ControlModifier);
        } else if (way == QLatin1String("drop")) {
            QVERIFY(drop(paths));
        } else {
            OpenCommandLineFiles(*driver->window, QStringList{"QuelmarR4FileGen"} + paths);
        }
        GuiSupport::RunPostedCalls();
        QCOMPARE(driver->dialogs.pending(), 0);
    }

private slots:
    void waysOfOpening_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("add dialog") << "add dialog";
        QTest::newRow("Ctrl+O") << "Ctrl+O";
        QTest::newRow("drop") << "drop";
        QTest::newRow("command line") << "command line";
    }

    // Each way opens the file the same way: its layers extracted into the
    // folder the user accepts, loaded with their thresholds; Generate then
    // writes the same file again, proposed in its folder under its name.
    void waysOfOpening()
    {
        QFETCH(QString, way);
        const QString original = soundFile();
        const QString argument =
            way == QLatin1String("command line") ? QStringLiteral("sets/demo.qms") : original;
        open(way, {argument}, {DialogAnswerer::chooseFile(layerFolder())});
        driver->checkRows(Names);
        QCOMPARE(driver->thresholdTexts(),
                 (QStringList{"100", "50", "1", "0", "-1", "-2", "-3", "-4"}));
        QCOMPARE(Layers.LayerPath[0], layerFolder() + QStringLiteral("/layer1.wav"));

        const QList<GuiSupport::SeenDialog> &seen = driver->dialogs.seen;
        const bool fileDialog =
            way == QLatin1String("add dialog") || way == QLatin1String("Ctrl+O");
        QCOMPARE(seen.size(), fileDialog ? 2 : 1);
        if (fileDialog) {
            QCOMPARE(seen.first().selectedNameFilter, way == QLatin1String("Ctrl+O")
                                                          ? QStringLiteral("Sound files (*.qms)")
                                                          : seen.first().nameFilters.first());
        }
        QCOMPARE(seen.last().directory, layerFolder());

        QVERIFY(QDir().mkpath(path(QStringLiteral("again"))));
        const QString again = path(QStringLiteral("again/demo.qms"));
        driver->generate({DialogAnswerer::chooseFile(again)});
        QCOMPARE(driver->dialogs.seen.last().directory, path(QStringLiteral("sets")));
        QCOMPARE(driver->dialogs.seen.last().fileName, QStringLiteral("demo.qms"));
        QCOMPARE(withoutTag(readFile(again)), withoutTag(readFile(original)));
    }

    void replaceQuestion_data()
    {
        QTest::addColumn<QList<QMessageBox::StandardButton>>(
            "answers"); // Yes, No; Cancel: no folder
        QTest::addColumn<bool>("replaced");
        QTest::newRow("yes") << QList{QMessageBox::Yes} << true;
        QTest::newRow("no") << QList{QMessageBox::No} << false;
        QTest::newRow("yes, then no folder")
            << QList{QMessageBox::Yes, QMessageBox::Cancel} << false;
    }

    // With layers loaded the user is asked first; only Yes and a folder
    // replace them.
    void replaceQuestion()
    {
        QFETCH(QList<QMessageBox::StandardButton>, answers);
        QFETCH(bool, replaced);
        const QString original = soundFile();
        const QStringList loaded = addLayers(2);
        driver->click(driver->thresholdButton(1));
        driver->drag(90);

        QList<DialogAnswerer::Answer> replies{DialogAnswerer::press(answers.first())};
        if (answers.size() > 1)
            replies << DialogAnswerer::cancel();
        else if (replaced)
            replies << DialogAnswerer::chooseFile(layerFolder());
        const qsizetype earlier = driver->dialogs.seen.size();
        open(QStringLiteral("drop"), {original}, replies);

        QCOMPARE(driver->dialogs.seen.at(earlier).text,
                 QStringLiteral("Replace the loaded layers with those of demo.qms?"));
        driver->checkRows(replaced ? Names : loaded);
        QCOMPARE(driver->thresholdTexts().first(),
                 replaced ? QStringLiteral("100") : QStringLiteral("90"));
        // A folder made for the dialog goes again when it is not chosen.
        QCOMPARE(QFileInfo::exists(layerFolder()), replaced);
    }

    void refusedSoundFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("informative");
        QTest::newRow("damaged") << "damaged"
                                 << "Incomatible file format"
                                 << "bad.qms: the signature differs from \"Quelmar(tm) inc, "
                                    "California, USA\" at byte 0";
        QTest::newRow("a named pipe") << "pipe"
                                      << "File Error"
                                      << "bad.qms: it is a named pipe (FIFO), not a regular file";
        QTest::newRow("no layers") << "empty"
                                   << "Incomatible file format"
                                   << "bad.qms: it holds no layers";
    }

    // A file the parser refuses opens nothing: its problems are the box's
    // informative text, and the loaded layers stay.
    void refusedSoundFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(QString, informative);
        const QString bad = path(QStringLiteral("bad.qms"));
        if (kind == QLatin1String("pipe")) {
            QVERIFY(TestSupport::makeFifo(bad));
        } else if (kind == QLatin1String("empty")) {
            LayerTable none;
            none.SoundFilePath = bad;
            none.SoundFileName = LayerNameOf(bad);
            TestSupport::DebugCapture quiet;
            QVERIFY(WriteSoundFile(MakeSoundJob(none)).Written());
        } else
            QVERIFY(TestSupport::writeFile(bad, "quelmar" + readFile(soundFile()).mid(7)));
        const QStringList loaded = addLayers(1);

        open(QStringLiteral("command line"), {bad}, {DialogAnswerer::press()});
        const GuiSupport::SeenDialog &box = driver->dialogs.seen.last();
        QCOMPARE(box.text, text);
        QCOMPARE(box.informativeText, informative);
        driver->checkRows(loaded);
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("bad-layers"))));
    }

    void filesFromOutside_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QStringList>("files"); // "!" before a name: not a WAV file
        QTest::addColumn<QStringList>("boxes"); // each box's text and informative text
        QTest::addColumn<int>("added");

        QTest::newRow("three WAV files dropped")
            << "drop" << QStringList{"a.wav", "b.wav", "c.wav"} << QStringList{} << 3;
        QTest::newRow("one refused among them")
            << "command line" << QStringList{"a.wav", "!b.wav", "c.wav"}
            << QStringList{"Incomatible file format: b.wav: not a RIFF WAVE file (it starts with "
                           "6E 6F 74 20)"}
            << 2;
        QStringList ten;
        for (int i = 1; i <= 10; ++i)
            ten << QStringLiteral("w%1.wav").arg(i);
        QTest::newRow("ten WAV files")
            << "drop" << ten
            << QStringList{"Not enough space!: All 8 layers are in use; not added: w9.wav, w10.wav"}
            << 8;
        QTest::newRow("a sound file and a WAV file")
            << "command line" << QStringList{"a.wav", "demo.qms"}
            << QStringList{"A sound file (.qms) opens on its own, without other files. Nothing "
                           "was opened.: "}
            << 0;
    }

    // Files from outside are added in their order as if chosen one by one,
    // with the same boxes; those past the eighth row are refused with one box.
    void filesFromOutside()
    {
        QFETCH(QString, way);
        QFETCH(QStringList, files);
        QFETCH(QStringList, boxes);
        QFETCH(int, added);
        QStringList paths;
        QStringList names;
        for (QString name : files) {
            if (name.startsWith(QLatin1Char('!'))) {
                name.remove(0, 1);
                QVERIFY(TestSupport::writeFile(path(name),
                                               QByteArray("not a WAV file").leftJustified(64)));
            } else if (name.endsWith(QLatin1String(".qms"))) {
                QVERIFY(QFile::copy(soundFile(), path(name)));
            } else {
                wave(name);
                names << name;
            }
            paths << path(name);
        }
        QList<DialogAnswerer::Answer> answers;
        for (int i = 0; i < boxes.size(); ++i)
            answers << DialogAnswerer::press();
        open(way, paths, answers);

        QStringList shown;
        for (const GuiSupport::SeenDialog &box : driver->dialogs.seen)
            shown << box.text + QStringLiteral(": ") + box.informativeText;
        QCOMPARE(shown, boxes);
        driver->checkRows(names.mid(0, added));
    }

    // Only drags of local files are taken.
    void otherDragsRefused()
    {
        QVERIFY(!drop({}, {QUrl(QStringLiteral("https://example.com/kick.wav"))}));
        QVERIFY(!drop({}, urlsOf({wave(QStringLiteral("a.wav"))}) +
                              QList{QUrl(QStringLiteral("https://example.com/b.wav"))}));
        GuiSupport::RunPostedCalls();
        driver->checkRows({});
    }
};

QMS_GUI_TEST_MAIN(TestWindowOpen)
#include "tst_qmwindow_open.moc"
