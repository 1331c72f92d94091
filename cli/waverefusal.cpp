#include "waverefusal.h"

#include "console.h"

#include "app/statusmessage.h"
#include "wav/wavefilereader.h"

QString DescribeWaveRefusal(const WaveCheck &check)
{
    return QStringLiteral("%1 \"%2\": %3")
        .arg(check.Result)
        .arg(QLatin1String(StatusMessageFor(check.Result).text), Printable(check.Reason));
}

QString DisplayedPath(const QString &path)
{
    return path.isEmpty() ? QStringLiteral("\"\"") : Printable(path);
}
