#ifndef THRESHOLDLIST_H
#define THRESHOLDLIST_H

#include <QList>
#include <QString>

// Reads the thresholds of `layerCount` layers from `text`, whole numbers
// separated by commas ("94,63,32,1"). They must keep the layer table's order
// (strictly falling, the last 1, the first at most the ceiling). On failure
// returns false and says why in `error`.
bool ParseThresholdList(const QString &text, int layerCount, QList<int> &thresholds,
                        QString &error);

#endif // THRESHOLDLIST_H
