#include "thresholdrules.h"

namespace {
constexpr int LastLayer = Limits::LayerCount;
} // namespace

void DistributeThresholds(LayerThresholds &thresholds, int layerCount)
{
    for (int layer = 1; layer <= LastLayer; ++layer)
        thresholds[layer] = 1;
    if (layerCount <= 1)
        return;
    int step = Limits::ThresholdCeiling / layerCount;
    if (step == 15) // eight layers: 1 + 7 * 16 = 113 fits under the ceiling
        step = 16;
    for (int layer = layerCount - 1; layer >= 1; --layer)
        thresholds[layer] = thresholds[layer + 1] + step;
}

void DragThreshold(LayerThresholds &thresholds, int selected, int layerCount, int position)
{
    if (selected < 1 || selected > LastLayer)
        return;
    int value = position;
    // Each layer above the selected one stays one higher: layer 1 at most the ceiling.
    const int highest = Limits::ThresholdCeiling + 1 - selected;
    if (value > highest)
        value = highest;
    if (value < layerCount + 1 - selected)
        value = layerCount + 1 - selected;
    thresholds[selected] = value;
    for (int layer = selected - 1; layer >= 1; --layer) {
        if (thresholds[layer] <= thresholds[layer + 1])
            thresholds[layer] = thresholds[layer + 1] + 1;
    }
    for (int layer = selected + 1; layer <= LastLayer; ++layer) {
        if (thresholds[layer] >= thresholds[layer - 1])
            thresholds[layer] = thresholds[layer - 1] - 1;
    }
}

bool ThresholdsInOrder(const LayerThresholds &thresholds, int layerCount)
{
    if (layerCount < 1 || layerCount > LastLayer)
        return layerCount == 0;
    if (thresholds[1] > Limits::ThresholdCeiling || thresholds[layerCount] != 1)
        return false;
    for (int layer = 2; layer <= layerCount; ++layer) {
        if (thresholds[layer] >= thresholds[layer - 1])
            return false;
    }
    return true;
}

void ApplyThresholds(LayerThresholds &thresholds, int layerCount, const QList<int> &wanted)
{
    const int count = qMin(int(wanted.size()), layerCount);
    for (int layer = 1; layer < count; ++layer) {
        if (thresholds[layer] != wanted.at(layer - 1))
            DragThreshold(thresholds, layer, layerCount, wanted.at(layer - 1));
    }
}
