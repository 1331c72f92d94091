// What the user meets when things go wrong around Generate: a full disk, a
// read-only or missing folder, layer files changed after they were added, an
// output that is one of the layers, a settings store that cannot be written.
// In every case the user is told clearly, no older file is damaged and no
// temporary file is left behind.

#include "soundfile/soundfileparser.h"
#include "testsupport.h"
#include "windowdriver.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <unistd.h>

using GuiSupport::DialogAnswerer;
using TestSupport::entries;
using TestSupport::readFile;
using TestSupport::writeFile;
using TestSupport::writeWave;

namespace {

const QByteArray OlderFile("an older sound file");

bool run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

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

class TestFaultMatrix : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowDriver> driver;
    std::unique_ptr<QTemporaryDir> files;
    QString mounted; // a small file system of our own, unmounted in cleanup()

    QString path(const QString &name) const { return files->filePath(name); }
    QString wave(const QString &name, quint32 dataLength, qint64 sampleBytes = -1)
    {
        writeWave(path(name), dataLength, sampleBytes);
        return path(name);
    }

    // Mounts a tmpfs of `size` bytes at `folder` (root only).
    bool mountSmallDisk(const QString &folder, int size)
    {
        if (geteuid() != 0 || !QDir().mkpath(folder))
            return false;
        if (!run(QStringLiteral("mount"),
                 {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                  QStringLiteral("size=%1").arg(size), QStringLiteral("tmpfs"), folder}))
            return false;
        mounted = folder;
        return true;
    }

private slots:
    void init()
    {
        QSettings().clear();
        files = std::make_unique<QTemporaryDir>();
        QVERIFY(files->isValid());
        QVERIFY(QDir(files->path()).mkpath(QStringLiteral("out")));
        driver = std::make_unique<WindowDriver>();
        QVERIFY(driver->exposed);
    }

    void cleanup()
    {
        if (driver)
            driver->checkDialogsSettled();
        driver.reset();
        if (!mounted.isEmpty()) {
            run(QStringLiteral("umount"), {QStringLiteral("-l"), mounted});
            mounted.clear();
        }
        files.reset();
    }

    void generateFails_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("text"); // the box's text; empty: the file is written
        QTest::addColumn<QString>("reason");

        QTest::newRow("disk full at the header") << "full-header"
                                                 << "File Error"
                                                 << "No space left on device";
        QTest::newRow("disk full in a layer") << "full-layer"
                                              << "File Error"
                                              << "No space left on device";
        QTest::newRow("output folder read-only") << "read-only"
                                                 << "File Error"
                                                 << "Read-only file system";
        QTest::newRow("layer grown since it was added") << "grown"
                                                        << "File Error"
                                                        << "changed since it was added";
        QTest::newRow("layer no longer readable") << "unreadable"
                                                  << "File Error"
                                                  << "it is a folder";
        QTest::newRow("output is a layer's WAV file") << "output-is-layer"
                                                      << "File Error"
                                                      << "WAV file of layer 1";
        QTest::newRow("layer truncated since it was added") << "truncated"
                                                            << ""
                                                            << "";
        QTest::newRow("same WAV file twice") << "twice"
                                             << ""
                                             << "";
        QTest::newRow("80 multibyte characters in a name") << "multibyte"
                                                           << ""
                                                           << "";
    }

    void generateFails()
    {
        QFETCH(QString, fault);
        QFETCH(QString, text);
        QFETCH(QString, reason);

        QString folder = path(QStringLiteral("out"));
        const QString kick = wave(QStringLiteral("kick.wav"), 300000);
        QString layerName = QStringLiteral("kick.wav");
        driver->addLayer(kick);

        if (fault.startsWith(QLatin1String("full")) || fault == QLatin1String("read-only")) {
            folder = path(QStringLiteral("disk"));
            if (!mountSmallDisk(folder, fault == QLatin1String("full-layer") ? 131072 : 65536))
                QSKIP("needs root to mount a small file system");
        }
        QString output = QDir(folder).filePath(QStringLiteral("result.qms"));
        QVERIFY(writeFile(output, OlderFile));
        if (fault == QLatin1String("full-header"))
            fillUp(folder);
        if (fault == QLatin1String("read-only"))
            QVERIFY(run(QStringLiteral("mount"),
                        {QStringLiteral("-o"), QStringLiteral("remount,ro"), folder}));
        if (fault == QLatin1String("grown"))
            wave(QStringLiteral("kick.wav"), 300000 + 600);
        if (fault == QLatin1String("unreadable")) {
            QVERIFY(QFile::remove(kick));
            QVERIFY(QDir().mkdir(kick));
        }
        if (fault == QLatin1String("truncated"))
            wave(QStringLiteral("kick.wav"), 300000, 1000);
        if (fault == QLatin1String("twice"))
            driver->addLayer(kick);
        if (fault == QLatin1String("multibyte")) {
            layerName = QString(76, QChar(0x00E9)) + QStringLiteral(".wav");
            driver->addLayer(wave(layerName, 5000));
        }
        if (fault == QLatin1String("output-is-layer"))
            output = kick;
        const QByteArray before = readFile(output);
        const QStringList folderBefore = entries(QFileInfo(output).path());

        driver->dialogs.then(DialogAnswerer::chooseFile(output));
        driver->dialogs.then(DialogAnswerer::press(QMessageBox::Yes)); // replace it?
        if (!text.isEmpty())
            driver->dialogs.then(DialogAnswerer::press(QMessageBox::Ok));
        driver->click(driver->generateButton());
        QCOMPARE(driver->dialogs.pending(), 0);

        if (text.isEmpty()) {
            QCOMPARE(driver->dialogs.seen.last().className, QStringLiteral("QMessageBox"));
            QCOMPARE(driver->dialogs.seen.last().text.contains(QLatin1String("already exists")),
                     true); // the replace question was the last dialog
            const SoundFileInfo info = ReadSoundFileInfo(output);
            QVERIFY2(info.IsValid(), qPrintable(info.Problems.join('\n')));
            QCOMPARE(info.LayerCount, Layers.LayerCount);
            QCOMPARE(info.Layers.last().Name, Layers.LayerName[Layers.LayerCount - 1]);
            QCOMPARE(info.Layers.first().Name, QStringLiteral("kick.wav"));
            if (fault == QLatin1String("multibyte"))
                QCOMPARE(info.Layers.last().Name, layerName);
            return;
        }

        const GuiSupport::SeenDialog &box = driver->dialogs.seen.last();
        QCOMPARE(box.className, QStringLiteral("QMessageBox"));
        QCOMPARE(box.icon, QMessageBox::Critical);
        QCOMPARE(box.title, QStringLiteral("ERROR"));
        QCOMPARE(box.text, text);
        QVERIFY2(box.informativeText.contains(output), qPrintable(box.informativeText));
        QVERIFY2(box.informativeText.contains(reason), qPrintable(box.informativeText));
        QCOMPARE(readFile(output), before);
        QCOMPARE(entries(QFileInfo(output).path()), folderBefore);
    }

    // The window starts and works when its settings cannot be saved: a file
    // stands where the settings folder should be.
    void settingsStoreUnwritable()
    {
        const QFileInfo store(QSettings().fileName());
        QVERIFY(QDir(store.path()).removeRecursively());
        QVERIFY(writeFile(store.path(), "a file where the settings folder should be"));
        driver = std::make_unique<WindowDriver>();
        QVERIFY(driver->exposed);

        driver->addLayer(wave(QStringLiteral("a.wav"), 1000));
        driver->addLayer(wave(QStringLiteral("b.wav"), 2000));
        const QString output = path(QStringLiteral("out/ok.qms"));
        driver->dialogs.then(DialogAnswerer::chooseFile(output));
        driver->click(driver->generateButton());
        QCOMPARE(driver->dialogs.pending(), 0);
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
