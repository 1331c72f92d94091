// Adding, removing, selecting and playing layers through the main window's
// widgets, with the real open-file dialog and message boxes.

#include "audiosupport.h"
#include "windowtest.h"

#include "app/audioconversion.h"
#include "core/addlayer.h"
#include "core/cleanupregistry.h"
#include "core/thresholdrules.h"

#include <atomic>
#include <chrono>
#include <thread>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QProgressDialog>
#include <QWheelEvent>

using GuiSupport::DialogAnswerer;

namespace {

// Data lengths and the slot sizes they give.
constexpr quint32 OneSecond = 88200;      // slot 88576
constexpr quint32 LargestData = 3141631;  // slot 3141632
constexpr quint32 FillsTheRest = 3584;    // slot 4096: 3141632 + 4096 = 3145728
constexpr quint32 OneBlockTooMany = 4096; // slot 4608

} // namespace

class TestWindowLayers : public WindowTest
{
    Q_OBJECT

    enum SaveAnswer { Accept, Cancel, OverSource, LongName };

private slots:
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
                QCOMPARE(Layers.LayerPath[slot], path(names[slot]));
            }
            // A removed layer's path and name are cleared.
            if (names.size() < 8) {
                QCOMPARE(Layers.LayerPath[names.size()], QString());
                QCOMPARE(Layers.LayerName[names.size()], QString());
            }
        }
    }

    // A file refused in the open-file dialog: the message box with the
    // reason, and nothing added. The refused slot keeps what the reader
    // returned: its status, or the size that did not fit. Only an audio file
    // refused for its format is offered a conversion.
    void refusedAddition_data()
    {
        QTest::addColumn<quint32>("loaded");   // a layer added first; 0: none
        QTest::addColumn<QString>("chosen");   // empty: the dialog is cancelled
        QTest::addColumn<QByteArray>("bytes"); // of the chosen file
        QTest::addColumn<bool>("vanishes");    // deleted between the dialog and the reader
        QTest::addColumn<int>("slotSize");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("informative");
        QTest::addColumn<bool>("convert");
        using TestSupport::le16;
        using TestSupport::patched;
        using TestSupport::waveFile;
        QTest::newRow("-1 cancelled") << 0u << "" << QByteArray() << false << -1 << "WARNING"
                                      << "No File Choosen"
                                      << "no file was chosen" << false;
        QTest::newRow("-2 cannot open")
            << 0u << "gone.wav" << waveFile(1000) << true << -2 << "ERROR"
            << "File Error"
            << "cannot be opened: No such file or directory" << false;
        QTest::newRow("-3 no data tag")
            << 0u << "list.wav" << patched(waveFile(1000), 36, "LIST") << false << -3 << "ERROR"
            << "Incomatible file format"
            << "a LIST chunk stands where the data chunk must start" << false;
        QTest::newRow("-4 stereo")
            << 0u << "stereo.wav" << patched(waveFile(1000), 22, le16(2)) << false << -4 << "ERROR"
            << "File Error"
            << "WAV, 44100 Hz, 2 channels, 16-bit integer, 0.01 s; a layer must be 44100 Hz, 1 "
               "channel, 16-bit"
            << true;
        QTest::newRow("-5 too short")
            << 0u << "short.wav" << waveFile(511) << false << -5 << "ERROR"
            << "File too big!"
            << "data length 511 bytes, needs 512 to 3141631" << false;
        QTest::newRow("-6 long name") << 0u << QString(77, QLatin1Char('n')) + ".wav"
                                      << waveFile(1000) << false << -6 << "ERROR"
                                      << "Filename is toooo long!"
                                      << "the file name has 81 characters, at most 80" << false;
        QTest::newRow("-7 no space")
            << LargestData << "more.wav" << waveFile(OneBlockTooMany) << false << 4608 << "ERROR"
            << "Not enough space!"
            << "the layer needs 4608 bytes (0.05 s); 4096 of the 3145728 bytes are left (0.05 s of "
               "35.62 s)"
            << false;
    }
    void refusedAddition()
    {
        QFETCH(quint32, loaded);
        QFETCH(QString, chosen);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, vanishes);
        QFETCH(int, slotSize);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(QString, informative);
        QFETCH(bool, convert);

        const QStringList names = addLayers(loaded > 0 ? 1 : 0, loaded);
        const int barBefore = driver->bar()->value();
        const int seenBefore = int(driver->dialogs.seen.size());
        const qint32 usedBefore = Layers.UsedSpace;

        DialogAnswerer::Answer answer = DialogAnswerer::cancel();
        if (!chosen.isEmpty()) {
            const QString file = path(chosen);
            QVERIFY(TestSupport::writeFile(file, bytes));
            answer = DialogAnswerer::chooseFile(file, [file, vanishes] {
                if (vanishes)
                    QFile::remove(file);
            });
        }
        driver->click(driver->addRemoveButton(names.size() + 1),
                      {answer, DialogAnswerer::press(QMessageBox::Ok)});

        QCOMPARE(driver->dialogs.seen.size(), seenBefore + 2);
        const GuiSupport::SeenDialog &box = driver->dialogs.seen.last();
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.title, title);
        QCOMPARE(box.text, text);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        // The box names the file.
        QCOMPARE(box.informativeText, chosen.isEmpty() ? informative : chosen + ": " + informative);
        QCOMPARE(box.buttonTexts.contains(QStringLiteral("&Convert…")), convert);
        QCOMPARE(box.buttonTexts.contains(QStringLiteral("Convert and &Prepare…")), convert);
        QCOMPARE(box.buttonTexts.size(), convert ? 3 : 1);

        driver->checkRows(names);
        QCOMPARE(Layers.UsedSpace, usedBefore);
        QCOMPARE(driver->bar()->value(), barBefore);
        QCOMPARE(Layers.LayerSize[names.size()], slotSize);
    }

    // A named pipe chosen as a layer is refused at once. Were the window to
    // wait on it, a helper thread opens the pipe's other end after a few
    // seconds so that the test fails instead of hanging.
    void addingAPipeFailsAtOnce()
    {
        const QString pipe = path(QStringLiteral("pipe.wav"));
        QVERIFY(TestSupport::makeFifo(pipe));
        std::atomic<bool> done{false}, released{false};
        std::thread watchdog([&] {
            for (int waited = 0; waited < 5000 && !done; waited += 10)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            while (!done) {
                const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    released = true;
                    ::close(fd);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
        driver->click(driver->addRemoveButton(1),
                      {DialogAnswerer::chooseFile(pipe), DialogAnswerer::press(QMessageBox::Ok)});
        done = true;
        watchdog.join();
        QVERIFY2(!released, "the window waited on a named pipe");
        QCOMPARE(driver->dialogs.seen.last().text, QStringLiteral("File Error"));
        QCOMPARE(driver->dialogs.seen.last().informativeText,
                 QStringLiteral("pipe.wav: it is a named pipe (FIFO), not a regular file"));
        driver->checkRows({});
    }

    // A name too long for its row is shortened in the middle; the tooltip
    // tells the whole name, the path, the duration and the slot size.
    void layerNameFitsItsRow_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("shortened");
        QTest::newRow("short") << "kick.wav" << false;
        QTest::newRow("80 characters")
            << QStringLiteral("a_very_long_layer_name_") + QString(53, QLatin1Char('x')) + ".wav"
            << true;
    }
    void layerNameFitsItsRow()
    {
        QFETCH(QString, name);
        QFETCH(bool, shortened);
        driver->addLayer(wave(QStringLiteral("first.wav")));
        driver->addLayer(wave(name, 132300)); // 1.5 s, slot 132608
        const QLabel *label = driver->filename(2);
        const QString shown = label->text();
        QCOMPARE(shown.contains(QChar(0x2026)), shortened);
        QCOMPARE(shown == name, !shortened);
        QVERIFY2(shown.startsWith(name.left(4)) && shown.endsWith(name.right(4)),
                 qPrintable(shown));
        QVERIFY(label->fontMetrics().horizontalAdvance(shown) <=
                label->contentsRect().width() - 2 * label->margin());
        QCOMPARE(GuiSupport::ShownText(label->toolTip()),
                 QStringLiteral("%1\n%2\n1.50 s, a slot of 132608 bytes").arg(name, path(name)));
        driver->removeLastLayer();
        QCOMPARE(label->toolTip(), QString());
    }

    // "Convert…" in the refusal box of an audio file, through the real
    // dialogs: the copy is saved where the user says (the save dialog starts
    // beside the source) and added as the layer. The source never changes,
    // and a copy that is not added is not left behind.
    void convert_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("make"); // %1: the file
        QTest::addColumn<QString>("informative");
        QTest::addColumn<QString>("suggested");
        QTest::addColumn<int>("answer");     // to the save dialog
        QTest::addColumn<quint32>("loaded"); // a layer added first; 0: none
        QTest::addColumn<QString>("lastBox");
        QTest::addColumn<QString>("added");

        const QStringList mp3{"ffmpeg",
                              "-f",
                              "lavfi",
                              "-i",
                              "sine=frequency=1000:duration=0.5:sample_rate=48000",
                              "-ac",
                              "2",
                              "-c:a",
                              "libmp3lame",
                              "%1"};
        const QString isMp3 = QStringLiteral("MP3, 48000 Hz, 2 channels, compressed, 0.50 s; a "
                                             "layer must be 44100 Hz, 1 channel, 16-bit");
        QTest::newRow("an MP3") << "tone.mp3" << mp3 << isMp3 << "tone.wav" << int(Accept) << 0u
                                << QString() << "tone.wav";
        QTest::newRow("an ffmpeg WAV: the copy named apart")
            << "voice.wav" << QStringList{"ffmpeg",
                                          "-f",
                                          "lavfi",
                                          "-i",
                                          "sine=frequency=1000:duration=0.5:sample_rate=44100",
                                          "-c:a",
                                          "pcm_s16le",
                                          "%1"}
            << "a LIST chunk stands where the data chunk must start; the file is WAV, 44100 Hz, 1 "
               "channel, 16-bit integer, 0.50 s"
            << "voice (44100 Hz mono).wav" << int(Accept) << 0u << QString()
            << "voice (44100 Hz mono).wav";
        QTest::newRow("save cancelled") << "tone.mp3" << mp3 << isMp3 << "tone.wav" << int(Cancel)
                                        << 0u << QString() << QString();
        QTest::newRow("saved over the source")
            << "tone.mp3" << mp3 << isMp3 << "tone.wav" << int(OverSource) << 0u
            << "Conversion failed" << QString();
        QTest::newRow("a name too long, refused before converting")
            << "tone.mp3" << mp3 << isMp3 << "tone.wav" << int(LongName) << 0u
            << "Filename is toooo long!" << QString();
        QTest::newRow("no space left for the copy")
            << "tone.mp3" << mp3 << isMp3 << "tone.wav" << int(Accept) << LargestData
            << "Not enough space!" << QString();
        QTest::newRow("clipped samples noted")
            << "loud.wav" << QStringList{"sox", "-n",   "-r",   "48000", "-e", "floating-point",
                                         "-b",  "32",   "-c",   "1",     "%1", "synth",
                                         "0.5", "sine", "1000", "vol",   "2"}
            << "WAV, 48000 Hz, 1 channel, 32-bit float, 0.50 s; a layer must be 44100 Hz, 1 "
               "channel, 16-bit"
            << "loud (44100 Hz mono).wav" << int(Accept) << 0u
            << "The converted copy was added, with a note"
            << "loud (44100 Hz mono).wav";
    }
    void convert()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, make);
        QFETCH(QString, informative);
        QFETCH(QString, suggested);
        QFETCH(int, answer);
        QFETCH(quint32, loaded);
        QFETCH(QString, lastBox);
        QFETCH(QString, added);

        const QString source = path(file);
        const QString made = AudioSupport::make(make.replaceInStrings("%1", source));
        if (!made.isEmpty())
            QSKIP(qPrintable(made));
        const QByteArray checksum = AudioSupport::checksum(source);
        QStringList layers = addLayers(loaded > 0 ? 1 : 0, loaded);
        const int seenBefore = int(driver->dialogs.seen.size());
        const QStringList before = TestSupport::entries(files->path());

        QList<DialogAnswerer::Answer> answers{DialogAnswerer::chooseFile(source),
                                              DialogAnswerer::press(QStringLiteral("&Convert…"))};
        if (answer == Accept)
            answers << DialogAnswerer::acceptSuggested();
        else if (answer == Cancel)
            answers << DialogAnswerer::cancel();
        else if (answer == LongName)
            answers << DialogAnswerer::chooseFile(path(QString(77, QLatin1Char('n')) + ".wav"));
        else
            answers << DialogAnswerer::chooseFile(source)
                    << DialogAnswerer::press(QMessageBox::Yes);
        if (!lastBox.isEmpty())
            answers << DialogAnswerer::press(QMessageBox::Ok);
        driver->click(driver->addRemoveButton(layers.size() + 1), answers);

        const QList<GuiSupport::SeenDialog> seen = driver->dialogs.seen.mid(seenBefore);
        QCOMPARE(seen.size(), answers.size());
        QCOMPARE(seen[1].informativeText, file + QStringLiteral(": ") + informative);
        QCOMPARE(seen[2].title, QStringLiteral("Save Converted Copy"));
        QCOMPARE(seen[2].acceptMode, QFileDialog::AcceptSave);
        QCOMPARE(seen[2].selectedFiles, QStringList{path(suggested)});
        QCOMPARE(seen.last().text, lastBox.isEmpty() ? seen[2].text : lastBox);
        if (lastBox.endsWith(QLatin1String("with a note")))
            QVERIFY(
                seen.last().informativeText.contains(QStringLiteral(" were beyond full scale")));
        if (answer == OverSource) {
            QCOMPARE(seen.last().informativeText,
                     source + QStringLiteral(" was not written: it is the file being converted"));
        }
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(AudioSupport::checksum(source), checksum);
        if (!added.isEmpty()) {
            layers << added;
            QCOMPARE(Layers.LayerPath[0], path(added));
            QCOMPARE(Layers.LayerSize[0], 44544);
        } else {
            QCOMPARE(TestSupport::entries(files->path()), before);
        }
        driver->checkRows(layers);
    }

    // The conversion plugin writes its copy under a temporary name where the
    // file system has no unnamed files; a signal that ends the program in the
    // middle of the write removes it, as the plugin registers it with the
    // program's CleanupRegistry. The program is a copy of this test, with
    // faultshim.cpp stalling the copy's sync until the signal comes.
    void convertingCopyGoesWithASignal()
    {
        if (GuiSupport::InOwnProcess()) {
            const QDir folder(qEnvironmentVariable("QMS_TEST_FOLDER"));
            RemoveTemporaryFilesOnSignals(); // as main() does
            qputenv("QMS_FAULT_NO_TMPFILE", "1");
            qputenv("QMS_FAULT_FDATASYNC", "stall");
            AudioConversion().Convert(folder.filePath(QStringLiteral("tone.wav")),
                                      folder.filePath(QStringLiteral("copy.wav")));
            QFAIL("the conversion was not stopped");
        }
        const QString made = AudioSupport::make(
            AudioSupport::soxSines(QStringLiteral("-r 48000 -c 2 -b 16"), path("tone.wav")));
        if (!made.isEmpty())
            QSKIP(qPrintable(made));
        QProcessEnvironment environment = TestSupport::withFaults(
            QProcessEnvironment::systemEnvironment(), QStringLiteral(FAULTSHIM_PATH), {});
        environment.insert(QStringLiteral("QMS_TEST_FOLDER"), files->path());
        QProcess program;
        GuiSupport::StartOwnProcess(program, environment);
        const auto writing = [this] {
            const QStringList entries = TestSupport::entries(files->path());
            return entries.size() == 2 && entries.first().startsWith(QLatin1String(".copy.wav."));
        };
        QTRY_VERIFY_WITH_TIMEOUT(writing(), 60000);
        QCOMPARE(::kill(pid_t(program.processId()), SIGTERM), 0);
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::CrashExit);
        QCOMPARE(TestSupport::entries(files->path()), QStringList{"tone.wav"});
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
            addLayers(1, length);
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
        // A value set from code moves no threshold.
        driver->slider()->setValue(10);
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
        driver->click(driver->addRemoveButton(4),
                      {DialogAnswerer::cancel(), DialogAnswerer::press(QMessageBox::Ok)});
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

    // The first Play loads the playback plugin, and with it Qt Multimedia: in
    // a process of its own, where nothing has played before, and with no
    // sound server to reach (Qt Multimedia finds its outputs through
    // PulseAudio). Without a sound output Play says so once and plays
    // nothing.
    void playIsMadeOnFirstUseAndSaysWhenThereIsNoOutput()
    {
        if (!GuiSupport::InOwnProcess()) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("PULSE_SERVER"), path(QStringLiteral("no-server")));
            return GuiSupport::RunInOwnProcess(environment);
        }
        const auto multimediaLoaded = [] {
            QFile maps(QStringLiteral("/proc/self/maps"));
            return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Multimedia");
        };
        addLayers(2);
        QVERIFY(!multimediaLoaded());
        driver->click(driver->playButton(1), {DialogAnswerer::press(QMessageBox::Ok)});
        QVERIFY(multimediaLoaded());
        const GuiSupport::SeenDialog box = driver->dialogs.seen.last();
        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(box.text, QStringLiteral("No audio device"));
        driver->click(driver->playButton(2));
        driver->click(driver->playButton(1));
        QCOMPARE(driver->dialogs.seen.last().text, box.text);
        QCOMPARE(driver->dialogs.seen.size(), 3); // two add dialogs and the one box
        QVERIFY(!driver->window->findChild<QObject *>(QStringLiteral("layerSound")));
        driver->checkRows({"layer1.wav", "layer2.wav"});
    }

    // Without its plugin Play says so, with the reason, plays nothing and
    // changes nothing. The plugin is looked for once: a later Play says the
    // same again.
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
        const GuiSupport::SeenDialog box = driver->dialogs.seen.last();
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.title, QStringLiteral("ERROR"));
        QCOMPARE(box.text, QStringLiteral("Playback is unavailable"));
        QVERIFY2(box.informativeText.contains(QStringLiteral("not found")),
                 qPrintable(box.informativeText));
        QVERIFY(!driver->window->findChild<QObject *>(QStringLiteral("layerSound")));
        driver->checkRows({"layer1.wav"});

        driver->click(driver->playButton(1), {DialogAnswerer::press(QMessageBox::Ok)});
        QCOMPARE(driver->dialogs.seen.size(), 3);
        QCOMPARE(driver->dialogs.seen.last().text, box.text);
        QCOMPARE(driver->dialogs.seen.last().informativeText, box.informativeText);
        QVERIFY(!driver->window->findChild<QObject *>(QStringLiteral("layerSound")));
    }

    // Without the conversion plugin the window still works: no audio files
    // in the open dialog, and refusals keep the WAV check's reason with no
    // "Convert…".
    void convertWithoutThePlugin()
    {
        const QString stereo = path(QStringLiteral("stereo.wav"));
        QVERIFY(TestSupport::writeFile(
            stereo, TestSupport::patched(TestSupport::waveFile(1000), 22, TestSupport::le16(2))));
        const QStringList libraryPaths = QCoreApplication::libraryPaths();
        QCoreApplication::setLibraryPaths({files->filePath(QStringLiteral("no-plugins"))});
        driver->click(driver->addRemoveButton(1),
                      {DialogAnswerer::chooseFile(stereo), DialogAnswerer::press(QMessageBox::Ok)});
        QCoreApplication::setLibraryPaths(libraryPaths);

        const QList<GuiSupport::SeenDialog> &seen = driver->dialogs.seen;
        QCOMPARE(seen.first().nameFilters,
                 (QStringList{"Wave File 44100 16 MONO (*.wav )", "Sound files (*.qms)"}));
        QCOMPARE(seen.last().text, QStringLiteral("File Error"));
        QCOMPARE(seen.last().informativeText,
                 QStringLiteral("stereo.wav: 2 channels, needs 1 (mono)"));
        QCOMPARE(seen.last().buttonTexts.size(), 1);
        driver->checkRows({});
    }

    void openDialog()
    {
        driver->click(driver->addRemoveButton(1),
                      {DialogAnswerer::cancel(), DialogAnswerer::press(QMessageBox::Ok)});
        QCOMPARE(driver->dialogs.seen.size(), 2);
        const GuiSupport::SeenDialog &dialog = driver->dialogs.seen[0];
        QCOMPARE(dialog.title, QStringLiteral("Open File"));
        QCOMPARE(dialog.acceptMode, QFileDialog::AcceptOpen);
        QCOMPARE(dialog.nameFilters,
                 (QStringList{"Wave File 44100 16 MONO (*.wav )",
                              "Audio files (*.wav *.flac *.ogg *.oga *.opus *.mp3 *.aif *.aiff "
                              "*.aifc *.au *.caf *.w64 *.mp2 *.m4a *.aac *.wma *.ac3 *.mka *.mp4 "
                              "*.mov *.mkv *.webm)",
                              "Sound files (*.qms)"}));
        QCOMPARE(dialog.selectedNameFilter, dialog.nameFilters.first());
        driver->checkRows({});
    }

    // Where the open-file dialog starts: "./wav" at first and when the
    // remembered folder has gone, else the folder of the last chosen file,
    // also after a restart.
    void lastFolder()
    {
        QVERIFY(QDir().mkpath(QStringLiteral("wav")));
        QVERIFY(QDir().mkpath(QStringLiteral("sounds/real")));
        QVERIFY(QFile::link(path(QStringLiteral("sounds/real")), path(QStringLiteral("link"))));
        const QString wavFolder = QDir(path(QStringLiteral("wav"))).canonicalPath();
        const QString realFolder = QDir(path(QStringLiteral("sounds/real"))).canonicalPath();
        wave(QStringLiteral("sounds/real/a.wav"));

        driver->addLayer(path(QStringLiteral("link/a.wav")));
        QCOMPARE(QDir(driver->dialogs.seen[0].directory).canonicalPath(), wavFolder);
        QCOMPARE(QSettings().value(QStringLiteral("LastFolder")).toString(), realFolder);

        addLayers(1);
        QCOMPARE(QDir(driver->dialogs.seen[1].directory).canonicalPath(), realFolder);

        restart();
        addLayers(1);
        QCOMPARE(QDir(driver->dialogs.seen[0].directory).canonicalPath(), QDir().canonicalPath());

        QSettings().setValue(QStringLiteral("LastFolder"), path(QStringLiteral("gone")));
        restart();
        addLayers(1);
        QCOMPARE(QDir(driver->dialogs.seen[0].directory).canonicalPath(), wavFolder);
    }

    // Keys, the wheel and a click in the groove change the threshold as a
    // drag to the slider's new position does.
    void sliderActionsFollowTheDragRule_data()
    {
        QTest::addColumn<QString>("action");
        for (const char *action : {"Up", "PageDown", "End", "Home", "wheel", "groove"})
            QTest::newRow(action) << action;
    }
    void sliderActionsFollowTheDragRule()
    {
        QFETCH(QString, action);
        addLayers(4);
        driver->click(driver->thresholdButton(2));
        QSlider *slider = driver->slider();
        const int before = slider->value();
        LayerThresholds expected;
        std::copy(std::begin(Layers.LayerThreshold), std::end(Layers.LayerThreshold),
                  std::begin(expected));
        const QMap<QString, Qt::Key> keys{{"Up", Qt::Key_Up},
                                          {"PageDown", Qt::Key_PageDown},
                                          {"End", Qt::Key_End},
                                          {"Home", Qt::Key_Home}};
        if (keys.contains(action)) {
            QTest::keyClick(slider, keys[action]);
        } else if (action == QLatin1String("wheel")) {
            const QPointF at(slider->width() / 2.0, slider->height() / 2.0);
            QWheelEvent wheel(at, slider->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(slider, &wheel);
        } else {
            QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() / 2, 2));
        }
        QVERIFY(slider->value() != before);
        DragThreshold(expected, 2, 4, slider->value());
        QStringList texts;
        for (int layer = 1; layer <= 8; ++layer)
            texts << QString::number(expected[layer]);
        QCOMPARE(driver->thresholdTexts(), texts);
        QCOMPARE(Layers.LayerThreshold[2], expected[2]);
    }

    // A name that looks like markup is shown as written, on its row, in its
    // tooltip and in a box; "fifo" is a named pipe, which an image loaded
    // from the name would wait on for good.
    void namesAreShownAsText()
    {
        QVERIFY(TestSupport::makeFifo(path(QStringLiteral("fifo"))));
        const QString name = QStringLiteral("<img src=fifo>.wav");
        driver->addLayer(wave(name));
        QLabel *label = driver->filename(1);
        QCOMPARE(label->text(), name);
        QVERIFY(!label->grab().isNull());
        QVERIFY(GuiSupport::ShownText(label->toolTip()).startsWith(name + QLatin1Char('\n')));

        const QString refused = QStringLiteral("<img src=fifo>2.wav");
        QVERIFY(TestSupport::writeFile(path(refused), "not a WAV file"));
        driver->click(driver->addRemoveButton(2),
                      {DialogAnswerer::chooseFile(path(refused)), [](QWidget *box) {
                           box->grab(); // drawn, as the user sees it
                           DialogAnswerer::press(QMessageBox::Ok)(box);
                       }});
        QVERIFY(driver->dialogs.seen.last().informativeText.startsWith(refused + ": "));
        driver->checkRows({name});
    }

    // Cancel stops the conversion: no copy and no layer. The source is read
    // slowly (faultshim.cpp) so that Cancel comes while it is converted, in
    // a copy of this test with the shim loaded.
    void convertCancelled()
    {
        if (!GuiSupport::InOwnProcess()) {
            const QString made = AudioSupport::make({"sox", "-n", "-r", "48000", "-b", "24", "-c",
                                                     "2", path(QStringLiteral("source.wav")),
                                                     "synth", "8", "sine", "440"});
            if (!made.isEmpty())
                QSKIP(qPrintable(made));
            QProcessEnvironment environment = TestSupport::withFaults(
                QProcessEnvironment::systemEnvironment(), QStringLiteral(FAULTSHIM_PATH),
                {QStringLiteral("QMS_FAULT_READ_SLOW=long.wav")});
            environment.insert(QStringLiteral("QMS_TEST_FOLDER"), files->path());
            QProcess program;
            GuiSupport::StartOwnProcess(program, environment);
            QVERIFY(program.waitForFinished(120000));
            QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0,
                     program.readAll().constData());
            return;
        }
        const QString source = path(QStringLiteral("long.wav"));
        QVERIFY(QFile::copy(QDir(qEnvironmentVariable("QMS_TEST_FOLDER")).filePath("source.wav"),
                            source));
        const QStringList before = TestSupport::entries(files->path());
        driver->dialogs.then(DialogAnswerer::chooseFile(source));
        driver->dialogs.then(DialogAnswerer::press(QStringLiteral("&Convert…")));
        driver->dialogs.then(DialogAnswerer::acceptSuggested());
        driver->dialogs.thenProgress([](QWidget *dialog) {
            auto *cancel = dialog->findChild<QPushButton *>();
            QVERIFY(qobject_cast<QProgressDialog *>(dialog) && cancel);
            QTest::mouseClick(cancel, Qt::LeftButton);
        });
        driver->click(driver->addRemoveButton(1));
        QCOMPARE(driver->dialogs.pending(), 0);
        QCOMPARE(TestSupport::entries(files->path()), before);
        driver->checkRows({});
        QVERIFY(!QApplication::overrideCursor());
    }

    // The add dialog comes back with the kind of file last chosen in it.
    void addDialogRemembersTheFilter()
    {
        const QString mp3 = path(QStringLiteral("tone.mp3"));
        const QString made = AudioSupport::make(
            {"ffmpeg", "-f", "lavfi", "-i", "sine=duration=0.5", "-c:a", "libmp3lame", mp3});
        if (!made.isEmpty())
            QSKIP(qPrintable(made));
        driver->dialogs.then([mp3](QWidget *dialog) {
            auto *files = qobject_cast<QFileDialog *>(dialog);
            files->selectNameFilter(files->nameFilters().at(1));
            DialogAnswerer::chooseFile(mp3)(dialog);
        });
        driver->click(
            driver->addRemoveButton(1),
            {DialogAnswerer::press(QStringLiteral("&Convert…")), DialogAnswerer::cancel()});
        restart();
        driver->click(driver->addRemoveButton(1),
                      {DialogAnswerer::cancel(), DialogAnswerer::press(QMessageBox::Ok)});
        const GuiSupport::SeenDialog dialog = driver->dialogs.seen.first();
        QVERIFY2(dialog.selectedNameFilter.startsWith(QStringLiteral("Audio files")),
                 qPrintable(dialog.selectedNameFilter));
    }

    // Not a test of behaviour: saves pictures of the window to the folder in
    // QMS_SCREENSHOT_DIR, for looking at the layout (scripts/screenshots.sh),
    // their names starting with QMS_SCREENSHOT_PREFIX; QMS_SCREENSHOT_DARK
    // takes them under a dark palette.
    void screenshots()
    {
        const QString prefix = GuiSupport::ScreenshotPrefix();
        if (prefix.isEmpty())
            QSKIP("QMS_SCREENSHOT_DIR is not set, or cannot be made");
        const auto save = [&prefix](QWidget *widget, const char *name) {
            QVERIFY(widget->grab().save(prefix + QLatin1String(name)));
        };
        save(driver->window.get(), "start.png");
        driver->addLayer(wave(QStringLiteral("kick.wav"), 100000));
        driver->addLayer(wave(QStringLiteral("snare_soft_velocity_") +
                                  QString(50, QLatin1Char('x')) + QStringLiteral("_take2.wav"),
                              400000));
        driver->addLayer(wave(QStringLiteral("hat.wav"), 20000));
        driver->click(driver->thresholdButton(2));
        save(driver->window.get(), "three-layers.png");
        const QString stereo = path(QStringLiteral("stereo.wav"));
        QVERIFY(TestSupport::writeFile(
            stereo, TestSupport::patched(TestSupport::waveFile(1000), 22, TestSupport::le16(2))));
        driver->click(driver->addRemoveButton(4),
                      {DialogAnswerer::chooseFile(stereo), [&save](QWidget *box) {
                           save(box, "refused.png");
                           DialogAnswerer::press(QMessageBox::Ok)(box);
                       }});
        addLayers(5);
        driver->click(driver->thresholdButton(6));
        driver->drag(90);
        save(driver->window.get(), "eight-layers.png");
        driver->dialogs.then([&save](QWidget *box) {
            save(box, "close-question.png");
            DialogAnswerer::press(QMessageBox::Cancel)(box);
        });
        driver->window->close();
        QCOMPARE(driver->dialogs.pending(), 0);
        QApplication::setPalette(QPalette());
    }
};

QMS_GUI_TEST_MAIN(TestWindowLayers)
#include "tst_qmwindow_layers.moc"
