// Preparing layers in the window: "Prepare…" from a row's menu and from the
// refusal box of a file to convert, and "Match Loudness…", through the real
// dialogs; the copies measured by ffmpeg's loudness meter.

#include "audiosupport.h"
#include "windowtest.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QRadioButton>

using GuiSupport::DialogAnswerer;

namespace {

// Types `value` into a spin box as a user does.
void type(QDoubleSpinBox *spin, const QString &value)
{
    QVERIFY(spin && spin->isEnabled());
    spin->setFocus();
    QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(spin, value);
}

// The button of a dialog's button box that reads `text`.
QPushButton *buttonOf(QWidget *dialog, const QString &text)
{
    for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

// Measures `path` with ffmpeg; skips the test without it.
double loudnessOf(const QString &path)
{
    double loudness = 0;
    double truePeak = 0;
    const QString problem = AudioSupport::ffmpegLoudness(path, loudness, truePeak);
    if (!problem.isEmpty())
        qWarning("%s", qPrintable(problem));
    return problem.isEmpty() ? loudness : std::nan("");
}

} // namespace

class TestWindowPrepare : public WindowTest
{
    Q_OBJECT

private slots:
    // Prepare… trims the layer and sets its loudness: the copy is saved beside
    // the source as "<name> (prepared).wav" and takes the layer's place; the
    // source is left as it was. Reached from the row's menu (the Menu key on
    // the row's Play button) and from a refused file's "Convert and Prepare…".
    void prepare_data()
    {
        QTest::addColumn<QString>("format"); // of the file made
        QTest::addColumn<bool>("convert");
        QTest::newRow("from the row's menu") << "-r 44100 -c 1 -b 16" << false;
        QTest::newRow("from Convert…") << "-r 48000 -c 2 -b 24" << true;
    }
    void prepare()
    {
        QFETCH(QString, format);
        QFETCH(bool, convert);
        const QString source = path(QStringLiteral("quiet.wav"));
        QStringList sox{"sox", "-R", "-n"};
        sox << format.split(QLatin1Char(' ')) << source << "synth"
            << "2"
            << "sine"
            << "440"
            << "vol"
            << "0.1"
            << "pad"
            << "0.5"
            << "0.5";
        const QString made = AudioSupport::make(sox);
        if (!made.isEmpty())
            QSKIP(qPrintable(made));
        const QByteArray checksum = AudioSupport::checksum(source);
        const QString layerFile =
            convert ? path(QStringLiteral("quiet (44100 Hz mono).wav")) : source;

        const auto prepareDialog = [](QWidget *dialog) {
            auto *loudness = dialog->findChild<QLabel *>(QStringLiteral("loudnessValue"));
            QVERIFY(loudness);
            // The analysis comes while the dialog shows.
            QVERIFY(QTest::qWaitFor([&] { return loudness->text().endsWith("LUFS"); }));
            QTest::mouseClick(dialog->findChild<QCheckBox *>(QStringLiteral("trimCheck")),
                              Qt::LeftButton);
            QTest::mouseClick(dialog->findChild<QRadioButton *>(QStringLiteral("loudnessRadio")),
                              Qt::LeftButton);
            type(dialog->findChild<QDoubleSpinBox *>(QStringLiteral("loudnessSpin")), "-20");
            QTest::mouseClick(buttonOf(dialog, QStringLiteral("&Apply")), Qt::LeftButton);
        };
        if (convert) {
            driver->click(driver->addRemoveButton(1),
                          {DialogAnswerer::chooseFile(source),
                           DialogAnswerer::press(QStringLiteral("Convert and &Prepare…")),
                           DialogAnswerer::acceptSuggested(), prepareDialog,
                           DialogAnswerer::acceptSuggested()});
        } else {
            driver->addLayer(source);
            driver->dialogs.then(DialogAnswerer::chooseMenuItem(QStringLiteral("&Prepare…")));
            driver->dialogs.then(prepareDialog);
            driver->dialogs.then(DialogAnswerer::acceptSuggested());
            QTest::keyClick(driver->playButton(1), Qt::Key_Menu);
            QCOMPARE(driver->dialogs.pending(), 0);
        }

        const QString copy = QFileInfo(layerFile).completeBaseName() + " (prepared).wav";
        QCOMPARE(driver->dialogs.seen.last().title, QStringLiteral("Save Prepared Copy"));
        QCOMPARE(driver->dialogs.seen.last().selectedFiles, QStringList{path(copy)});
        driver->checkRows({copy});
        QCOMPARE(Layers.LayerPath[0], path(copy));
        QCOMPARE(AudioSupport::checksum(source), checksum);
        // 0.5 s of silence trimmed from each end, but for a few milliseconds.
        const qint64 frames = (QFileInfo(path(copy)).size() - 44) / 2;
        QVERIFY2(qAbs(frames - 2 * 44100) < 44100 / 50, qPrintable(QString::number(frames)));
        const double loudness = loudnessOf(path(copy));
        QVERIFY2(qAbs(loudness + 20) <= 0.5, qPrintable(QString::number(loudness)));
    }

    // Match Loudness brings a louder layer down to the quietest one's
    // loudness; the quietest stays as it is. Cancel, after the figures came,
    // changes nothing and writes nothing.
    void matchLoudness()
    {
        const QString quiet = path(QStringLiteral("quiet.wav"));
        const QString loud = path(QStringLiteral("loud.wav"));
        for (const auto &[file, volume] : {std::pair{quiet, "0.05"}, std::pair{loud, "0.5"}}) {
            const QString made =
                AudioSupport::make({"sox", "-R", "-n", "-r", "44100", "-c", "1", "-b", "16", file,
                                    "synth", "3", "pinknoise", "vol", volume});
            if (!made.isEmpty())
                QSKIP(qPrintable(made));
        }
        const double quietest = loudnessOf(quiet);
        if (std::isnan(quietest))
            QSKIP("ffmpeg cannot measure the loudness");
        driver->addLayer(quiet);
        driver->addLayer(loud);
        const QStringList before = TestSupport::entries(files->path());

        // The figures before and after, for each layer.
        const auto waitForFigures = [](QWidget *dialog) {
            auto *note = dialog->findChild<QLabel *>(QStringLiteral("noteLabel"));
            QVERIFY(note);
            QVERIFY(QTest::qWaitFor([&] { return note->text().endsWith("will be changed."); }));
            QCOMPARE(note->text(), QStringLiteral("1 layer will be changed."));
        };
        driver->dialogs.then([&](QWidget *dialog) {
            waitForFigures(dialog);
            QTest::mouseClick(buttonOf(dialog, QStringLiteral("Cancel")), Qt::LeftButton);
        });
        driver->window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(driver->window.get()));
        QTest::keyClick(driver->window.get(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(driver->dialogs.pending(), 0);
        QCOMPARE(TestSupport::entries(files->path()), before);
        QCOMPARE(Layers.LayerPath[1], loud);

        driver->dialogs.then(DialogAnswerer::chooseMenuItem(QStringLiteral("&Match Loudness…")));
        driver->dialogs.then([&](QWidget *dialog) {
            waitForFigures(dialog);
            QTest::mouseClick(buttonOf(dialog, QStringLiteral("&Apply")), Qt::LeftButton);
        });
        QTest::keyClick(driver->addRemoveButton(2), Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(driver->dialogs.pending(), 0);
        driver->checkRows({"quiet.wav", "loud (prepared).wav"});
        const double matched = loudnessOf(path(QStringLiteral("loud (prepared).wav")));
        QVERIFY2(qAbs(matched - quietest) <= 0.5,
                 qPrintable(QStringLiteral("%1 against %2").arg(matched).arg(quietest)));
    }

    // Not a test of behaviour: saves pictures of the two dialogs to the
    // folder in QMS_SCREENSHOT_DIR (scripts/screenshots.sh), as
    // tst_qmwindow_layers's screenshots() does.
    void screenshots()
    {
        const QString prefix = GuiSupport::ScreenshotPrefix();
        if (prefix.isEmpty())
            QSKIP("QMS_SCREENSHOT_DIR is not set, or cannot be made");
        const QString voice = path(QStringLiteral("voice_take3.wav"));
        const QString horn = path(QStringLiteral("horn.wav"));
        for (const QStringList &sox :
             {QStringList{"sox",  "-R",    "-n",  "-r",   "44100",   "-c",      "1",   "-b", "16",
                          voice,  "synth", "2.5", "sine", "180-900", "tremolo", "3",   "90", "fade",
                          "0.05", "2.5",   "0.8", "vol",  "0.3",     "pad",     "0.7", "1.2"},
              QStringList{"sox", "-R", "-n", "-r", "44100", "-c", "1", "-b", "16", horn, "synth",
                          "3", "square", "330", "vol", "0.8"}}) {
            const QString made = AudioSupport::make(sox);
            if (!made.isEmpty())
                QSKIP(qPrintable(made));
        }
        driver->addLayer(voice);
        driver->addLayer(horn);
        const auto shoot = [&prefix](const char *name, const char *ready) {
            return [=](QWidget *dialog) {
                auto *note = dialog->findChild<QLabel *>(QStringLiteral("noteLabel"));
                QVERIFY(QTest::qWaitFor([&] { return note->text().contains(ready); }));
                if (auto *trim = dialog->findChild<QCheckBox *>(QStringLiteral("trimCheck"))) {
                    QTest::mouseClick(trim, Qt::LeftButton);
                    QTest::mouseClick(
                        dialog->findChild<QRadioButton *>(QStringLiteral("loudnessRadio")),
                        Qt::LeftButton);
                }
                QVERIFY(dialog->grab().save(prefix + QLatin1String(name)));
                QTest::mouseClick(buttonOf(dialog, QStringLiteral("Cancel")), Qt::LeftButton);
            };
        };
        driver->dialogs.then(DialogAnswerer::chooseMenuItem(QStringLiteral("&Prepare…")));
        driver->dialogs.then(shoot("prepare.png", "Choose"));
        QTest::keyClick(driver->playButton(1), Qt::Key_Menu);
        driver->dialogs.then(DialogAnswerer::chooseMenuItem(QStringLiteral("&Match Loudness…")));
        driver->dialogs.then(shoot("match-loudness.png", "will be changed"));
        QTest::keyClick(driver->playButton(2), Qt::Key_Menu);
        QCOMPARE(driver->dialogs.pending(), 0);
        QApplication::setPalette(QPalette());
    }
};

QMS_GUI_TEST_MAIN(TestWindowPrepare)
#include "tst_qmwindow_prepare.moc"
