#ifndef ADDLAYER_H
#define ADDLAYER_H

#include <QString>

struct LayerTable;

// The bookkeeping of adding the WAV file at `path` as the next layer of
// `table`, in the order the editor's add action runs it: the file goes
// through ReadWaveFile() and its result is stored in the slot at once; a
// status code stops there. Otherwise the slot takes the path and the layer
// name, the capacity rule is applied (LayerTable::NotEnoughSpace when the sum
// would pass it; the path and name stay in the unused slot), and on success
// UsedSpace grows, LayerCount moves on and the thresholds are spread anew.
// Returns the layer's slot size or the status code (-1 to -7). A full table
// refuses with LayerTable::NotEnoughSpace without reading the file.
int AddLayer(LayerTable &table, const QString &path);

#endif // ADDLAYER_H
