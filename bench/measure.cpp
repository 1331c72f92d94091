#include "measure.h"

#include <QElapsedTimer>

#include <algorithm>

std::vector<double> MedianMilliseconds(const std::vector<std::function<void()>> &candidates,
                                       int rounds)
{
    std::vector<std::vector<double>> times(candidates.size());
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            QElapsedTimer timer;
            timer.start();
            candidates[i]();
            times[i].push_back(double(timer.nsecsElapsed()) / 1e6);
        }
    }
    std::vector<double> medians;
    for (std::vector<double> &samples : times) {
        std::sort(samples.begin(), samples.end());
        medians.push_back(samples.empty() ? 0.0 : samples[samples.size() / 2]);
    }
    return medians;
}
