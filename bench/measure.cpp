#include "measure.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

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
