#include "benchfiles.h"

#include "core/limits.h"
#include "wav/waveheader.h"

#include <QDir>
#include <QFile>

namespace BenchFiles {

QString WriteWave(const QString &folder, const QString &name, quint32 dataLength)
{
    QByteArray bytes = WaveHeader::Canonical(dataLength);
    bytes.resize(WaveHeader::Size + qsizetype(dataLength));
    char *samples = bytes.data() + WaveHeader::Size;
    for (quint32 i = 0; i < dataLength; ++i)
        samples[i] = char((i * 13 + (i >> 9)) & 0xFF);

    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QStringList FullCapacityLayers(const QString &folder)
{
    // 6143 blocks of 512 bytes: seven slots of 768 blocks and one of 767.
    QStringList paths;
    for (int k = 0; k < Limits::LayerCount; ++k) {
        const quint32 slot = (k < 7 ? 768 : 767) * 512;
        paths << WriteWave(folder, QStringLiteral("layer%1.wav").arg(k + 1), slot - 1);
    }
    return paths;
}

} // namespace BenchFiles
