#ifndef THRESHOLDRULES_H
#define THRESHOLDRULES_H

#include "limits.h"

#include <QList>
#include <QtGlobal>

// Thresholds indexed by layer number 1 to 8 (entry 0 unused), as the layer
// table keeps them.
using LayerThresholds = qint32[Limits::LayerCount + 1];

// The even spread for `layerCount` loaded layers: the last loaded layer and
// every empty one get 1, each layer above gets one step more, the step being
// the ceiling (126) / layerCount (16 instead of 15 for eight layers).
void DistributeThresholds(LayerThresholds &thresholds, int layerCount);

// A drag of the slider to `position` while layer `selected` of `layerCount`
// is selected: the position is clamped so that layer 1 stays at most 126 and
// the last loaded layer at least 1, stored for the selected layer, and the
// neighbours are pushed away so the thresholds keep falling strictly from
// layer 1 to 8 (layers above the last loaded one may go below 1).
void DragThreshold(LayerThresholds &thresholds, int selected, int layerCount, int position);

// True when the thresholds of layers 1 to `layerCount` keep the layer
// table's order: strictly falling from layer 1, the last loaded layer at 1 and
// layer 1 at most 126. The empty layers above are not looked at.
bool ThresholdsInOrder(const LayerThresholds &thresholds, int layerCount);

// Sets the thresholds of the loaded layers to `wanted` (layer 1 first) the
// way the slider does: one drag for each layer, from layer 1 down, whose
// threshold differs from the one wanted; the last loaded layer keeps its 1.
// As in the window, the first drag leaves the empty layers at 0, -1, -2, ...;
// with no drag they keep what they held (1 after a spread).
void ApplyThresholds(LayerThresholds &thresholds, int layerCount, const QList<int> &wanted);

#endif // THRESHOLDRULES_H
