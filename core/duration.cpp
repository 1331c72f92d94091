#include "duration.h"

#include "limits.h"

double SecondsOfBytes(qint64 bytes)
{
    return double(bytes) / Limits::BytesPerSecond;
}

double SecondsOfSpace()
{
    return SecondsOfBytes(Limits::MaxDataLength);
}

double SecondsFree(qint64 used)
{
    const qint64 left = Limits::Capacity - used;
    if (left < Limits::SmallestSlot)
        return 0;
    // A slot is the data length cut down to whole units, plus one unit.
    const qint64 units = left / Limits::SlotUnit - 1;
    return SecondsOfBytes(
        qMin<qint64>(units * Limits::SlotUnit + Limits::SlotUnit - 1, Limits::MaxDataLength));
}

QString SecondsText(double seconds)
{
    return QStringLiteral("%1 s").arg(seconds, 0, 'f', 2);
}
