#ifndef ADDLAYER_H
#define ADDLAYER_H

#include <QString>

struct LayerTable;
struct WaveCheck;

// The bookkeeping of adding the WAV file at `path` as the next layer of
// `table`, in the order the editor's add action runs it: the file goes
// through the WAV check and its result is stored in the slot at once; a
// status code stops there. Otherwise the slot takes the path and the layer
// name, the capacity rule is applied (LayerTable::NotEnoughSpace when the sum
// would pass it; the path and name stay in the unused slot), and on success
// UsedSpace grows, LayerCount moves on and the thresholds are spread anew.
// Returns the layer's slot size or the status code (-1 to -7); `check`, when
// given, receives the check's outcome with the reason for a refusal. A full
// table refuses with LayerTable::NotEnoughSpace without reading the file.
int AddLayer(LayerTable &table, const QString &path, WaveCheck *check = nullptr);

// Removes the last loaded layer: LayerCount goes down by one, the thresholds
// are spread anew, the slot's path and name are cleared (its size stays) and
// UsedSpace gives its size back. Nothing happens to an empty table.
void RemoveLastLayer(LayerTable &table);

// Why a layer of `size` bytes does not fit beside layers that use `used`.
QString DescribeCapacityRefusal(qint64 used, qint64 size);

#endif // ADDLAYER_H
