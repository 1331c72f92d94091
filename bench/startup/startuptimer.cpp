// startuptimer RUNS NAME=PROGRAM...
//
// Times programs from process start to the first map of their top-level
// window, on an X server without a window manager (scripts/bench-startup.sh
// starts one with Xvfb). Each PROGRAM runs RUNS times, the programs taking
// turns (the one that goes first changes every round, so that drifts of the
// machine hit all alike), after one uncounted run each that brings the
// programs and their libraries into the page cache. A run is timed from just
// before fork() to the MapNotify, seen through substructure notification on
// the root window, of a window whose _NET_WM_PID is the child's; then the
// child is killed and the server has destroyed its window before the next run.
// Prints the median time of each program and the ratio of the first to each
// of the others; also the processor time the program had used when it was
// killed right after the map (its rusage), which other work on the machine
// disturbs less than the wall time.

#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr double StartTimeoutMs = 30000;
constexpr double DestroyTimeoutMs = 5000;
constexpr int BlockRuns = 5;

double NowMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double Median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

struct Run
{
    double wallMs = -1; // process start to map
    double cpuMs = 0;   // processor time used until killed right after the map
};

struct Program
{
    std::string name;
    std::string path;
    std::vector<double> times;    // wall ms, one per counted run, in run order
    std::vector<double> cpuTimes; // processor ms, the same runs
};

using Event = std::unique_ptr<xcb_generic_event_t, decltype(&std::free)>;

class MapTimer
{
public:
    ~MapTimer()
    {
        if (connection)
            xcb_disconnect(connection);
    }

    // Connects to $DISPLAY and asks for the creation, mapping and destruction
    // of every top-level window.
    bool Open(std::string &error)
    {
        int screenNumber = 0;
        connection = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(connection)) {
            error = "cannot connect to the X server (DISPLAY=" +
                    std::string(std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "") + ")";
            return false;
        }
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
        for (int i = 0; i < screenNumber && screens.rem; ++i)
            xcb_screen_next(&screens);
        root = screens.data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_generic_error_t *failure = xcb_request_check(
            connection,
            xcb_change_window_attributes_checked(connection, root, XCB_CW_EVENT_MASK, &mask));
        if (failure) {
            std::free(failure);
            error = "cannot watch the root window";
            return false;
        }
        const char name[] = "_NET_WM_PID";
        xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
        if (!atom) {
            error = "cannot look up _NET_WM_PID";
            return false;
        }
        netWmPid = atom->atom;
        std::free(atom);
        return true;
    }

    // Starts `path` and returns the milliseconds until its window was mapped;
    // kills it and waits until its window is gone. wallMs < 0 on failure.
    Run TimeToMap(const std::string &path, std::string &error)
    {
        while (xcb_generic_event_t *stale = xcb_poll_for_event(connection))
            std::free(stale);

        const double start = NowMs();
        child = fork();
        if (child < 0) {
            error = std::string("fork: ") + std::strerror(errno);
            return {};
        }
        if (child == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            execl(path.c_str(), path.c_str(), static_cast<char *>(nullptr));
            _exit(127);
        }
        childStatus = -1;

        Run run;
        xcb_window_t window = 0;
        while (!window) {
            Event event = NextEvent(start + StartTimeoutMs, error);
            if (!event)
                break;
            if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
                continue;
            const auto *map = reinterpret_cast<const xcb_map_notify_event_t *>(event.get());
            const double now = NowMs();
            if (map->event == root && !map->override_redirect && PidOf(map->window) == child) {
                window = map->window;
                run.wallMs = now - start;
            }
        }
        if (childStatus < 0) {
            kill(child, SIGKILL);
            rusage usage = {};
            wait4(child, nullptr, 0, &usage);
            const auto ms = [](const timeval &time) {
                return double(time.tv_sec) * 1e3 + double(time.tv_usec) / 1e3;
            };
            run.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
        }
        child = 0;
        if (!window)
            return {};

        // The server destroys the window once the killed client's connection
        // is closed.
        const double deadline = NowMs() + DestroyTimeoutMs;
        for (;;) {
            Event event = NextEvent(deadline, error);
            if (!event) {
                error = "the killed program's window was not destroyed";
                return {};
            }
            if ((event->response_type & 0x7f) == XCB_DESTROY_NOTIFY &&
                reinterpret_cast<const xcb_destroy_notify_event_t *>(event.get())->window ==
                    window) {
                // A round trip: the server has finished with the old client
                // before the next one starts.
                std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection),
                                                    nullptr));
                return run;
            }
        }
    }

private:
    // The next event, or null after `deadline`, on a broken connection or
    // when a running child has exited.
    Event NextEvent(double deadline, std::string &error)
    {
        for (;;) {
            if (xcb_generic_event_t *event = xcb_poll_for_event(connection))
                return Event(event, &std::free);
            if (xcb_connection_has_error(connection)) {
                error = "the connection to the X server broke";
                return Event(nullptr, &std::free);
            }
            if (child > 0 && childStatus < 0) {
                int status = 0;
                if (waitpid(child, &status, WNOHANG) == child) {
                    childStatus = status;
                    error = WIFEXITED(status)
                                ? "exited with status " + std::to_string(WEXITSTATUS(status))
                                : "was killed by signal " + std::to_string(WTERMSIG(status));
                    error += " before mapping a window";
                    return Event(nullptr, &std::free);
                }
            }
            const double left = deadline - NowMs();
            if (left <= 0) {
                error = "timed out";
                return Event(nullptr, &std::free);
            }
            // Short waits, so that a child that has died is noticed.
            pollfd fd = {xcb_get_file_descriptor(connection), POLLIN, 0};
            poll(&fd, 1, int(std::min(left, 100.0)) + 1);
        }
    }

    // The _NET_WM_PID of `window`, or 0.
    pid_t PidOf(xcb_window_t window)
    {
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, netWmPid, XCB_ATOM_CARDINAL, 0, 1),
            nullptr);
        pid_t pid = 0;
        if (reply && reply->format == 32 && xcb_get_property_value_length(reply) == 4)
            pid = pid_t(*static_cast<const uint32_t *>(xcb_get_property_value(reply)));
        std::free(reply);
        return pid;
    }

    xcb_connection_t *connection = nullptr;
    xcb_window_t root = 0;
    xcb_atom_t netWmPid = 0;
    pid_t child = 0;
    int childStatus = -1; // the wait status once the child has ended
};

} // namespace

int main(int argc, char *argv[])
{
    const int runs = argc > 2 ? std::atoi(argv[1]) : 0;
    if (runs < 1) {
        std::fprintf(stderr, "usage: startuptimer RUNS NAME=PROGRAM...\n");
        return 2;
    }
    std::vector<Program> programs;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        const std::size_t equals = argument.find('=');
        if (equals == std::string::npos || equals == 0) {
            std::fprintf(stderr, "startuptimer: expected NAME=PROGRAM, got \"%s\"\n", argv[i]);
            return 2;
        }
        programs.push_back({argument.substr(0, equals), argument.substr(equals + 1), {}, {}});
    }

    MapTimer timer;
    std::string error;
    if (!timer.Open(error)) {
        std::fprintf(stderr, "startuptimer: %s\n", error.c_str());
        return 1;
    }
    const std::size_t count = programs.size();
    for (int round = -1; round < runs; ++round) {
        for (std::size_t k = 0; k < count; ++k) {
            Program &program = programs[(std::size_t(std::max(round, 0)) + k) % count];
            const Run run = timer.TimeToMap(program.path, error);
            if (run.wallMs < 0) {
                std::fprintf(stderr, "startuptimer: %s (%s): %s\n", program.name.c_str(),
                             program.path.c_str(), error.c_str());
                return 1;
            }
            if (round >= 0) {
                program.times.push_back(run.wallMs);
                program.cpuTimes.push_back(run.cpuMs);
            }
        }
    }

    std::size_t width = 0;
    for (const Program &program : programs)
        width = std::max(width, programs[0].name.size() + 3 + program.name.size());
    std::printf("Process start to first map, median of %d alternating runs each (ms):\n", runs);
    std::printf("  %-*s %9s %19s %10s\n", int(width), "", "wall", "(least to most)", "processor");
    for (const Program &program : programs) {
        const auto [least, most] = std::minmax_element(program.times.begin(), program.times.end());
        std::printf("  %-*s %9.2f  (%6.2f to %6.2f) %10.2f\n", int(width), program.name.c_str(),
                    Median(program.times), *least, *most, Median(program.cpuTimes));
    }
    std::printf("Ratios of the medians (and the median of the ratios within each round):\n");
    std::printf("  %-*s %9s %19s %10s %10s\n", int(width), "", "wall",
                ("(blocks of " + std::to_string(BlockRuns) + ")").c_str(), "per round",
                "processor");
    for (std::size_t k = 1; k < count; ++k) {
        // The wall ratio within blocks of a few runs as well: how far a short
        // measurement could stray.
        double least = 0, most = 0;
        for (int first = 0; first + BlockRuns <= runs; first += BlockRuns) {
            const auto block = [&](const Program &program) {
                return Median(std::vector<double>(program.times.begin() + first,
                                                  program.times.begin() + first + BlockRuns));
            };
            const double ratio = block(programs[0]) / block(programs[k]);
            least = first == 0 ? ratio : std::min(least, ratio);
            most = first == 0 ? ratio : std::max(most, ratio);
        }
        // Runs of the same round are close in time: their ratio is less
        // disturbed by slow changes in the machine's load.
        std::vector<double> roundRatios;
        for (int round = 0; round < runs; ++round)
            roundRatios.push_back(programs[0].times[round] / programs[k].times[round]);
        std::printf("  %-*s %9.3f  (%6.2f to %6.2f) %10.3f %10.3f\n", int(width),
                    (programs[0].name + " / " + programs[k].name).c_str(),
                    Median(programs[0].times) / Median(programs[k].times), least, most,
                    Median(roundRatios),
                    Median(programs[0].cpuTimes) / Median(programs[k].cpuTimes));
    }
    return 0;
}
