#include "waverefusal.h"

#include "app/layertable.h"
#include "app/statusmessage.h"
#include "wav/wavefilereader.h"
#include "wav/waveheader.h"

#include <QFile>
#include <QFileInfo>

namespace {

QString statusPart(int status)
{
    return QStringLiteral("%1 \"%2\"")
        .arg(status)
        .arg(QLatin1String(StatusMessageFor(status).text));
}

QString reasonFor(const QString &path, int status)
{
    switch (status) {
    case WaveStatus::NoFileChosen:
        return QStringLiteral("the path is empty");
    case WaveStatus::NameTooLong:
        return QStringLiteral("the file name has %1 characters, at most %2")
            .arg(QFileInfo(path).fileName().size())
            .arg(MaxLayerNameLength);
    case WaveStatus::CannotOpen: {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            return QStringLiteral("the file could not be opened for reading");
        return QStringLiteral("cannot be opened for reading: %1").arg(file.errorString());
    }
    default:
        break;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return QStringLiteral("cannot be opened again to tell why: %1").arg(file.errorString());
    const QString reason = WaveHeader::Describe(file.read(WaveHeader::Size));
    return reason.isEmpty() ? QStringLiteral("the file changed while it was being checked")
                            : reason;
}

} // namespace

QString DescribeWaveRefusal(const QString &path, int status)
{
    return statusPart(status) + QStringLiteral(": ") + reasonFor(path, status);
}

QString DisplayedPath(const QString &path)
{
    return path.isEmpty() ? QStringLiteral("\"\"") : path;
}

QString DescribeCapacityRefusal(qint64 used, qint64 size)
{
    return statusPart(LayerTable::NotEnoughSpace) +
           QStringLiteral(": its slot of %1 bytes and the %2 bytes of the layers before it make "
                          "%3, more than %4")
               .arg(size)
               .arg(used)
               .arg(used + size)
               .arg(LayerTable::CapacityLimit);
}
