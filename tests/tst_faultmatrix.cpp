// What the user meets when things go wrong around Generate: a full disk, a
// read-only or missing folder, layer files changed after they were added, an
// output that is one of the layers, a settings store that cannot be written.
// In every case the user is told clearly, no older file is damaged and no
// temporary file is left behind.

#include "soundfile/soundfilereader.h"
#include "windowtest.h"

#include <QFile>
#include <QProcess>

#include <unistd.h>

using GuiSupport::DialogAnswerer;
using TestSupport::entries;
using TestSupport::readFile;
using TestSupport::waveFile;
using TestSupport::writeFile;

namespace {

const QByteArray OlderFile("an older sound file");

bool run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// A tmpfs of `size` bytes mounted at `folder` while it lives (root only);
// none for size 0.
class SmallDisk
{
public:
    SmallDisk(const QString &folder, int size) : folder(folder)
    {
        mounted = size > 0 && geteuid() == 0 && QDir().mkpath(folder) &&
                  run(QStringLiteral("mount"),
                      {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                       QStringLiteral("size=%1").arg(size), QStringLiteral("tmpfs"), folder});
    }
    ~SmallDisk()
    {
        if (mounted)
            run(QStringLiteral("umount"), {QStringLiteral("-l"), folder});
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted = false;

private:
    const QString folder;
};

// Fills the file system of `folder` up to its last byte.
void fillUp(const QString &folder)
{
    QFile filler(QDir(folder).filePath(QStringLiteral("filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size()) {
    }
    filler.write(block.left(1)); // a last partial page, if any
}

} // namespace

class TestFaultMatrix : public WindowTest
{
    Q_OBJECT

private:
    void prepareFolder() override { QVERIFY(QDir().mkpath(QStringLiteral("out"))); }

private slots:
    // The layers are added (kick.wav first; each file made of 300000 bytes
    // when first named), then things change; an older file stands at the
    // output chosen when Generate is clicked.
    void generateFails_data()
    {
        QTest::addColumn<QStringList>("layers");
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("diskSize");  // of a tmpfs mounted at the output's folder; 0: none
        QTest::addColumn<bool>("fillDisk"); // before Generate
        QTest::addColumn<bool>("readOnly"); // the disk remounted read-only before Generate
        QTest::addColumn<QByteArray>("kickNow"); // rewritten after adding; empty: unchanged
        QTest::addColumn<bool>("kickIsFolder");  // kick.wav replaced by a folder
        QTest::addColumn<QString>("reason");     // in the "File Error" box; empty: written

        const QString out("out/result.qms"), disk("disk/result.qms");
        const QByteArray same;
        const QStringList kick{"kick.wav"};
        QTest::newRow("disk full at the header")
            << kick << disk << 65536 << true << false << same << false << "No space left on device";
        QTest::newRow("disk full in a layer") << kick << disk << 131072 << false << false << same
                                              << false << "No space left on device";
        QTest::newRow("output folder read-only")
            << kick << disk << 65536 << false << true << same << false << "Read-only file system";
        QTest::newRow("layer grown since it was added")
            << kick << out << 0 << false << false << waveFile(300600) << false
            << "changed since it was added";
        QTest::newRow("layer no longer readable")
            << kick << out << 0 << false << false << same << true << "it is a folder";
        QTest::newRow("output is a layer's WAV file")
            << kick << "kick.wav" << 0 << false << false << same << false << "WAV file of layer 1";
        QTest::newRow("layer truncated since it was added")
            << kick << out << 0 << false << false << waveFile(300000, 1000) << false << "";
        QTest::newRow("same WAV file twice") << QStringList{"kick.wav", "kick.wav"} << out << 0
                                             << false << false << same << false << "";
        QTest::newRow("80 multibyte characters in a name")
            << QStringList{"kick.wav", QString(76, QChar(0x00E9)) + ".wav"} << out << 0 << false
            << false << same << false << "";
    }

    void generateFails()
    {
        QFETCH(QStringList, layers);
        QFETCH(QString, output);
        QFETCH(int, diskSize);
        QFETCH(bool, fillDisk);
        QFETCH(bool, readOnly);
        QFETCH(QByteArray, kickNow);
        QFETCH(bool, kickIsFolder);
        QFETCH(QString, reason);

        output = path(output);
        const QString folder = QFileInfo(output).path();
        for (const QString &name : layers)
            driver->addLayer(QFile::exists(path(name)) ? path(name) : wave(name, 300000));
        const QString kick = path(QStringLiteral("kick.wav"));

        const SmallDisk disk(folder, diskSize);
        if (diskSize > 0 && !disk.mounted)
            QSKIP("needs root to mount a small file system");
        if (!QFile::exists(output)) // a layer's WAV file stays as it is
            QVERIFY(writeFile(output, OlderFile));
        if (fillDisk)
            fillUp(folder);
        if (readOnly)
            QVERIFY(run(QStringLiteral("mount"),
                        {QStringLiteral("-o"), QStringLiteral("remount,ro"), folder}));
        if (!kickNow.isEmpty())
            QVERIFY(writeFile(kick, kickNow));
        if (kickIsFolder) {
            QVERIFY(QFile::remove(kick));
            QVERIFY(QDir().mkdir(kick));
        }
        const QByteArray before = readFile(output);
        const QStringList folderBefore = entries(folder);

        QList<DialogAnswerer::Answer> answers{DialogAnswerer::chooseFile(output),
                                              DialogAnswerer::press(QMessageBox::Yes)};
        if (!reason.isEmpty())
            answers << DialogAnswerer::press(QMessageBox::Ok);
        driver->generate(answers);

        if (reason.isEmpty()) {
            QCOMPARE(driver->dialogs.seen.last().className, QStringLiteral("QMessageBox"));
            QCOMPARE(driver->dialogs.seen.last().text.contains(QLatin1String("already exists")),
                     true); // the replace question was the last dialog
            const SoundFileInfo info = ReadSoundFileInfo(output);
            QVERIFY2(info.IsValid(), qPrintable(info.Problems.join('\n')));
            QCOMPARE(info.LayerCount, Layers.LayerCount);
            QCOMPARE(info.Layers.last().Name, Layers.LayerName[Layers.LayerCount - 1]);
            QCOMPARE(info.Layers.first().Name, QStringLiteral("kick.wav"));
            QCOMPARE(info.Layers.last().Name, layers.last());
            return;
        }

        const GuiSupport::SeenDialog &box = driver->dialogs.seen.last();
        QCOMPARE(box.className, QStringLiteral("QMessageBox"));
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.title, QStringLiteral("ERROR"));
        QCOMPARE(box.text, QStringLiteral("File Error"));
        QVERIFY2(box.informativeText.contains(output), qPrintable(box.informativeText));
        QVERIFY2(box.informativeText.contains(reason), qPrintable(box.informativeText));
        QCOMPARE(readFile(output), before);
        QCOMPARE(entries(folder), folderBefore);
    }

    // The window starts and works when its settings cannot be saved: a file
    // stands where the settings folder should be.
    void settingsStoreUnwritable()
    {
        const QFileInfo store(QSettings().fileName());
        QVERIFY(QDir(store.path()).removeRecursively());
        QVERIFY(writeFile(store.path(), "a file where the settings folder should be"));
        restart();

        addLayers(2, 1000);
        const QString output = path(QStringLiteral("out/ok.qms"));
        driver->generate({DialogAnswerer::chooseFile(output)});
        QCOMPARE(driver->dialogs.seen.size(), 3); // two open dialogs, one save dialog
        QVERIFY(ReadSoundFileInfo(output).IsValid());

        // The store really is unwritable here.
        QSettings settings;
        settings.setValue(QStringLiteral("Probe"), 1);
        settings.sync();
        QCOMPARE(settings.status(), QSettings::AccessError);
        QVERIFY(QFile::remove(store.path()));
    }
};

QMS_GUI_TEST_MAIN(TestFaultMatrix)
#include "tst_faultmatrix.moc"
