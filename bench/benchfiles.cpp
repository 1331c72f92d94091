#include "benchfiles.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <cstring>

namespace BenchFiles {

QString WriteWave(const QString &folder, const QString &name, quint32 dataLength)
{
    QByteArray bytes(44 + qsizetype(dataLength), Qt::Uninitialized);
    char *p = bytes.data();
    memcpy(p, "RIFF", 4);
    qToLittleEndian<quint32>(36 + dataLength, p + 4);
    memcpy(p + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, p + 16);
    qToLittleEndian<quint16>(1, p + 20);
    qToLittleEndian<quint16>(1, p + 22);
    qToLittleEndian<quint32>(44100, p + 24);
    qToLittleEndian<quint32>(88200, p + 28);
    qToLittleEndian<quint16>(2, p + 32);
    qToLittleEndian<quint16>(16, p + 34);
    memcpy(p + 36, "data", 4);
    qToLittleEndian<quint32>(dataLength, p + 40);
    for (quint32 i = 0; i < dataLength; ++i)
        p[44 + i] = char((i * 13 + (i >> 9)) & 0xFF);

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
    for (int k = 0; k < 8; ++k) {
        const quint32 slot = (k < 7 ? 768 : 767) * 512;
        paths << WriteWave(folder, QStringLiteral("layer%1.wav").arg(k + 1), slot - 1);
    }
    return paths;
}

} // namespace BenchFiles
