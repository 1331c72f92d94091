#ifndef WINDOWTEST_H
#define WINDOWTEST_H

#include "testsupport.h"
#include "windowdriver.h"

#include <QDir>
#include <QObject>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

// The base of the tests that drive the main window. Every test function
// starts in a new temporary folder, which is also the working directory, with
// the settings cleared and a new window shown; after it, every dialog must
// have come as expected. Qt Test finds init() and cleanup() here through the
// meta-object of the derived class; being protected, they are not taken for
// test functions.
class WindowTest : public QObject
{
    Q_OBJECT

protected:
    std::unique_ptr<WindowDriver> driver;
    std::unique_ptr<QTemporaryDir> files;

    // Called by init() in the new test folder, before the window opens.
    virtual void prepareFolder() {}

    QString path(const QString &name) const { return files->filePath(name); }

    // A WAV file in the test folder (see TestSupport::writeWave).
    QString wave(const QString &name, quint32 dataLength = 1000, qint64 sampleBytes = -1)
    {
        TestSupport::writeWave(path(name), dataLength, sampleBytes);
        return path(name);
    }

    // Adds `count` layers named after their row (layer1.wav, ...); returns
    // their names.
    QStringList addLayers(int count, quint32 dataLength = 88200)
    {
        QStringList names;
        for (int i = 0; i < count; ++i) {
            names << QStringLiteral("layer%1.wav").arg(Layers.LayerCount + 1);
            driver->addLayer(wave(names.last(), dataLength));
        }
        return names;
    }

    // A new window, as after the program was started again.
    void restart()
    {
        driver.reset();
        driver = std::make_unique<WindowDriver>();
        QVERIFY(driver->exposed);
    }

protected slots:
    void init()
    {
        startFolder = QDir::currentPath();
        QSettings().clear();
        files = std::make_unique<QTemporaryDir>();
        QVERIFY(files->isValid());
        QVERIFY(QDir::setCurrent(files->path()));
        prepareFolder();
        restart();
    }

    void cleanup()
    {
        if (driver)
            driver->checkDialogsSettled();
        driver.reset();
        QDir::setCurrent(startFolder);
        files.reset();
    }

private:
    QString startFolder;
};

#endif // WINDOWTEST_H
