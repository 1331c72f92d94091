#include "waveform.h"

#include <algorithm>

std::vector<WaveformColumn> SummariseWaveform(const float *samples, qint64 count, int columns)
{
    std::vector<WaveformColumn> summary;
    if (count <= 0 || columns <= 0)
        return summary;
    summary.resize(size_t(columns));
    for (int column = 0; column < columns; ++column) {
        const qint64 begin = count * column / columns;
        const qint64 end = std::max(begin + 1, count * (column + 1) / columns);
        const auto [low, high] = std::minmax_element(samples + begin, samples + end);
        summary[size_t(column)] = {*low, *high};
    }
    return summary;
}
