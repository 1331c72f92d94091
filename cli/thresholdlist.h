#ifndef THRESHOLDLIST_H
#define THRESHOLDLIST_H

#include <QList>
#include <QString>

struct LayerTable;

// Reads the thresholds of `layerCount` layers from `text`, whole numbers
// separated by commas ("94,63,32,1"). They must keep the layer table's order
// (strictly falling, the last 1, the first at most 126). On failure returns
// false and says why in `error`.
bool ParseThresholdList(const QString &text, int layerCount, QList<int> &thresholds,
                        QString &error);

// Sets the thresholds of the loaded layers of `table` the way the window's
// slider does: one drag for each layer, from layer 1 down, whose threshold
// differs from the one wanted. As in the window, the first drag leaves the
// empty layers at 0, -1, -2, ...; with no drag they keep the spread's 1.
void ApplyThresholds(LayerTable &table, const QList<int> &thresholds);

#endif // THRESHOLDLIST_H
