#ifndef ADDLAYER_H
#define ADDLAYER_H

#include "layercheck.h"

#include <QString>

struct LayerTable;

// How the add step checks a file as a layer. The WAV check (CheckWaveFile(),
// wav/wavefilereader.h) lives above this library, so callers pass it in;
// tests may pass a stand-in.
using LayerFileCheck = LayerCheck (*)(const QString &path);

// The bookkeeping of adding the file at `path` as the next layer of `table`,
// in the order the editor's add action runs it: the file goes through
// `check` and its result is stored in the slot at once (a refusal as its
// numeric code); a refusal stops there. Otherwise the slot takes the path and
// the layer name, the capacity rule is applied (NotEnoughSpace when the sum
// would pass it; the path and name stay in the unused slot), and on success
// UsedSpace grows, LayerCount moves on and the thresholds are spread anew.
// Returns the slot size, or the status with its reason. A full table refuses
// with NotEnoughSpace without reading the file.
LayerCheck AddLayer(LayerTable &table, const QString &path, LayerFileCheck check);

// Removes the last loaded layer: LayerCount goes down by one, the thresholds
// are spread anew, the slot's path and name are cleared (its size stays) and
// UsedSpace gives its size back. Nothing happens to an empty table.
void RemoveLastLayer(LayerTable &table);

// Puts the file at `path` in place of loaded layer `layer` (1 to LayerCount),
// through the add step's checks: the file goes through `check`, and the
// capacity rule is applied with the replaced layer's slot given back first.
// A refusal changes nothing in the table (NotEnoughSpace for a layer that is
// not loaded). On success the slot takes the path, its name and its size,
// and UsedSpace the difference. The number of layers stays, and so do the
// thresholds, set by hand or not: they are spread anew only when that number
// changes.
LayerCheck ReplaceLayer(LayerTable &table, int layer, const QString &path, LayerFileCheck check);

// Why a layer of `size` bytes does not fit beside layers that use `used`, in
// bytes and seconds.
QString DescribeCapacityRefusal(qint64 used, qint64 size);

#endif // ADDLAYER_H
