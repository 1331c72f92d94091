#include "measure.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>

extern char **environ;

namespace {

double median(std::vector<double> &samples)
{
    std::sort(samples.begin(), samples.end());
    return samples.empty() ? 0.0 : samples[samples.size() / 2];
}

double processMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

} // namespace

std::vector<double> MedianMilliseconds(const std::vector<std::function<void()>> &candidates,
                                       int rounds)
{
    std::vector<double> walls;
    for (const MedianTime &time : MedianTimes(candidates, rounds))
        walls.push_back(time.Wall);
    return walls;
}

std::vector<MedianTime> MedianTimes(const std::vector<std::function<void()>> &candidates,
                                    int rounds)
{
    std::vector<std::vector<double>> walls(candidates.size());
    std::vector<std::vector<double>> cpus(candidates.size());
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < candidates.size(); ++i) {
            const double cpuBefore = processMilliseconds();
            QElapsedTimer timer;
            timer.start();
            candidates[i]();
            walls[i].push_back(double(timer.nsecsElapsed()) / 1e6);
            cpus[i].push_back(processMilliseconds() - cpuBefore);
        }
    }
    std::vector<MedianTime> medians;
    for (std::size_t i = 0; i < candidates.size(); ++i)
        medians.push_back({median(walls[i]), median(cpus[i])});
    return medians;
}

int RunQuietly(const QString &program, const QStringList &arguments)
{
    QList<QByteArray> storage{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        storage << QFile::encodeName(argument);
    std::vector<char *> argv;
    for (QByteArray &argument : storage)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}
