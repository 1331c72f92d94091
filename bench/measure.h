#ifndef MEASURE_H
#define MEASURE_H

#include <functional>
#include <vector>

// Runs each of `candidates` `rounds` times, interleaved (a, b, c, a, b, c, ...)
// so that drifts of the machine hit all alike, and returns the median time of
// each in milliseconds.
std::vector<double> MedianMilliseconds(const std::vector<std::function<void()>> &candidates,
                                       int rounds);

#endif // MEASURE_H
