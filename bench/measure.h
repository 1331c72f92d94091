#ifndef MEASURE_H
#define MEASURE_H

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// Runs each of `candidates` `rounds` times, interleaved (a, b, c, a, b, c, ...)
// so that drifts of the machine hit all alike, and returns the median time of
// each in milliseconds.
std::vector<double> MedianMilliseconds(const std::vector<std::function<void()>> &candidates,
                                       int rounds);

// The median time a candidate took, in milliseconds: on the clock, and of
// the processors (all of this process's threads).
struct MedianTime
{
    double Wall = 0;
    double Cpu = 0;
};

// As MedianMilliseconds(), with the processor time beside the wall time.
std::vector<MedianTime> MedianTimes(const std::vector<std::function<void()>> &candidates,
                                    int rounds);

// Runs `program` with `arguments` in a child process, its output dropped, and
// waits for it: its exit status, or -1 when it could not start or did not
// exit normally. Spawned, not forked: a fork would carry this process's own
// memory into figures measured from the child.
int RunQuietly(const QString &program, const QStringList &arguments);

#endif // MEASURE_H
