#include "duration.h"

#include "limits.h"

double SecondsOfBytes(qint64 bytes)
{
    return double(bytes) / Limits::BytesPerSecond;
}

QString SecondsText(double seconds)
{
    return QStringLiteral("%1 s").arg(seconds, 0, 'f', 2);
}
