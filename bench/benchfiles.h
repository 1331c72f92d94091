#ifndef BENCHFILES_H
#define BENCHFILES_H

#include <QString>
#include <QStringList>

// WAV files for the benchmarks, written into one folder.
namespace BenchFiles {

// A WAV file with the canonical header of a layer and `dataLength` sample bytes.
QString WriteWave(const QString &folder, const QString &name, quint32 dataLength);

// Eight layers whose slots sum to the capacity less 512 bytes: with a
// 512-byte header the sound file fills the capacity exactly. Each holds the most
// data its slot allows (slot - 1 bytes).
QStringList FullCapacityLayers(const QString &folder);

} // namespace BenchFiles

#endif // BENCHFILES_H
