#ifndef WAVEFORM_H
#define WAVEFORM_H

#include <QtGlobal>

#include <vector>

// The lowest and highest sample under one column of a drawn waveform.
struct WaveformColumn
{
    float Min = 0;
    float Max = 0;
};

// The waveform of `count` samples drawn `columns` wide: the samples split
// into `columns` runs as even as they go, each run's lowest and highest
// sample. With fewer samples than columns, neighbouring columns show the same
// sample. Empty for no samples or no columns.
std::vector<WaveformColumn> SummariseWaveform(const float *samples, qint64 count, int columns);

#endif // WAVEFORM_H
