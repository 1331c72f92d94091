#include "layercheck.h"

#include "statusmessage.h"

LayerCheck LayerCheck::Slot(qint32 slotSize, quint32 dataLength)
{
    LayerCheck check;
    check.SlotSize = slotSize;
    check.DataLength = dataLength;
    return check;
}

LayerCheck LayerCheck::Refused(LayerStatus status, const QString &reason)
{
    LayerCheck check;
    check.Status = status;
    check.Reason = reason;
    return check;
}

qint32 LayerCheck::Result() const
{
    return Accepted() ? SlotSize : StatusCode(Status);
}
