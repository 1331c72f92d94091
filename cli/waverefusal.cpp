#include "waverefusal.h"

#include "console.h"

#include "core/statusmessage.h"

QString DescribeWaveRefusal(const LayerCheck &check)
{
    return QStringLiteral("%1 \"%2\": %3")
        .arg(StatusCode(check.Status))
        .arg(QLatin1String(StatusMessageFor(check.Status).text), Printable(check.Reason));
}

QString DisplayedPath(const QString &path)
{
    return path.isEmpty() ? QStringLiteral("\"\"") : Printable(path);
}
