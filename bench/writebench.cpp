#include "writebench.h"

#include "benchfiles.h"
#include "measure.h"

#include "core/addlayer.h"
#include "core/layertable.h"
#include "soundfile/soundfilewriter.h"
#include "soundfile/soundjob.h"
#include "wav/wavefilereader.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cstdio>
#include <unistd.h>

namespace {

// Each layer's samples, read from its WAV file as the writer reads them.
QByteArray readSamples(const QString &path)
{
    QFile wav(path);
    if (!wav.open(QIODevice::ReadOnly) || !wav.seek(44))
        qFatal("cannot read %s", qPrintable(path));
    return wav.read(wav.size() - 44);
}

void copyInto(QFileDevice &out, const QStringList &layers)
{
    for (const QString &layer : layers) {
        const QByteArray samples = readSamples(layer);
        if (out.write(samples) != samples.size())
            qFatal("copy failed");
    }
}

} // namespace

void RunWriteBench(const QString &folder, int rounds)
{
    const QDir dir(folder);
    const QStringList layers = BenchFiles::FullCapacityLayers(folder);
    LayerTable table;
    for (const QString &layer : layers) {
        if (!AddLayer(table, layer, CheckWaveFile).Accepted())
            qFatal("layer refused: %s", qPrintable(layer));
    }
    table.SoundFilePath = dir.filePath(QStringLiteral("full.qms"));
    table.SoundFileName = QStringLiteral("full.qms");
    const SoundJob job = MakeSoundJob(table);

    const QString copyPath = dir.filePath(QStringLiteral("copy.bin"));
    const QString safePath = dir.filePath(QStringLiteral("safe.bin"));
    const QString savePath = dir.filePath(QStringLiteral("saved.bin"));

    auto writer = [&] {
        if (!WriteSoundFile(job).Written())
            qFatal("WriteSoundFile failed");
    };
    auto plainCopy = [&] {
        QFile out(copyPath);
        if (!out.open(QIODevice::WriteOnly))
            qFatal("cannot create %s", qPrintable(copyPath));
        copyInto(out, layers);
    };
    auto syncedCopy = [&] {
        const QString temporary = safePath + QStringLiteral(".tmp");
        QFile out(temporary);
        if (!out.open(QIODevice::WriteOnly))
            qFatal("cannot create %s", qPrintable(temporary));
        copyInto(out, layers);
        out.flush();
        if (fdatasync(out.handle()) != 0)
            qFatal("fdatasync failed");
        out.close();
        if (std::rename(QFile::encodeName(temporary).constData(),
                        QFile::encodeName(safePath).constData()) != 0)
            qFatal("rename failed");
    };
    auto saveFileCopy = [&] {
        QSaveFile out(savePath);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            qFatal("cannot create %s", qPrintable(savePath));
        copyInto(out, layers);
        if (!out.commit())
            qFatal("commit failed");
    };

    // One warm-up round: every file in the page cache, every output present.
    writer(), plainCopy(), syncedCopy(), saveFileCopy();
    const std::vector<double> ms =
        MedianMilliseconds({writer, plainCopy, syncedCopy, saveFileCopy}, rounds);
    if (QFileInfo(table.SoundFilePath).size() != Limits::Capacity)
        qFatal("the sound file is not at full capacity");

    std::printf("Writing a full-capacity sound file (%d layers, %d bytes), median of %d:\n",
                Limits::LayerCount, Limits::Capacity, rounds);
    std::printf("  WriteSoundFile                          %8.2f ms\n", ms[0]);
    std::printf("  plain read-and-write copy (baseline)    %8.2f ms\n", ms[1]);
    std::printf("  ratio WriteSoundFile / copy             %8.2f   (goal: at most 1.5)\n",
                ms[0] / ms[1]);
    std::printf("  where the time goes:\n");
    std::printf("  copy + fdatasync + rename               %8.2f ms   WriteSoundFile / this %.2f\n",
                ms[2], ms[0] / ms[2]);
    std::printf("  copy through QSaveFile (unbuffered)     %8.2f ms   WriteSoundFile / this %.2f\n",
                ms[3], ms[0] / ms[3]);
}
