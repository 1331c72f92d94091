// Fault injection for the tests, loaded with LD_PRELOAD into the program
// under test (qmstool, or a copy of a window test). Each fault is switched on
// by an environment variable:
//   QMS_FAULT_FDATASYNC=EIO|ENOSPC  fdatasync() fails with that error
//   QMS_FAULT_FDATASYNC=stall       fdatasync() waits until a signal ends the process
//   QMS_FAULT_NO_TMPFILE=1          open(O_TMPFILE) fails as on file systems without it
//   QMS_FAULT_READ=TEXT             pread() fails with EIO on files whose path holds TEXT,
//   QMS_FAULT_READ_AFTER=N          after the first N such reads succeeded
//   QMS_FAULT_TAKEN=NAME            an open(O_CREAT | O_EXCL) of a file called NAME finds that
//                                   another program has just made it
//   QMS_FAULT_READ_SLOW=TEXT        read() and pread() wait 30 ms on files whose path holds TEXT

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

template <typename F> F next(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

bool refusesUnnamedFile(int flags)
{
    const char *value = std::getenv("QMS_FAULT_NO_TMPFILE");
    if (value && *value && (flags & O_TMPFILE) == O_TMPFILE) {
        errno = EOPNOTSUPP;
        return true;
    }
    return false;
}

// Makes the file at `path` first when it is the one QMS_FAULT_TAKEN names.
void takeName(int folder, const char *path, int flags)
{
    const char *name = std::getenv("QMS_FAULT_TAKEN");
    if (!name || !*name || (flags & (O_CREAT | O_EXCL)) != (O_CREAT | O_EXCL))
        return;
    const char *slash = std::strrchr(path, '/');
    if (std::strcmp(slash ? slash + 1 : path, name) != 0)
        return;
    static const char text[] = "another program's file";
    const int fd = next<int (*)(int, const char *, int, ...)>("openat")(
        folder, path, O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
    if (fd >= 0) {
        if (write(fd, text, sizeof text - 1) < 0)
            std::perror("faultshim");
        close(fd);
    }
}

// The path `fd` is open on, "" when unknown.
std::string pathOf(int fd)
{
    char link[64];
    char path[4096] = {};
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    if (readlink(link, path, sizeof path - 1) < 0)
        return std::string();
    return path;
}

void slowDown(int fd)
{
    const char *text = std::getenv("QMS_FAULT_READ_SLOW");
    if (text && *text && pathOf(fd).find(text) != std::string::npos)
        usleep(30000);
}

bool readFails(int fd)
{
    const char *text = std::getenv("QMS_FAULT_READ");
    if (!text || !*text)
        return false;
    char link[64];
    char path[4096] = {};
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    if (readlink(link, path, sizeof path - 1) < 0 || !std::strstr(path, text))
        return false;
    static int passed = 0;
    const char *after = std::getenv("QMS_FAULT_READ_AFTER");
    if (after && passed < std::atoi(after)) {
        ++passed;
        return false;
    }
    errno = EIO;
    return true;
}

} // namespace

extern "C" {

int fdatasync(int fd)
{
    const char *fault = std::getenv("QMS_FAULT_FDATASYNC");
    if (fault && std::strcmp(fault, "stall") == 0) {
        for (;;)
            pause();
    }
    if (fault && std::strcmp(fault, "EIO") == 0) {
        errno = EIO;
        return -1;
    }
    if (fault && std::strcmp(fault, "ENOSPC") == 0) {
        errno = ENOSPC;
        return -1;
    }
    return next<int (*)(int)>("fdatasync")(fd);
}

ssize_t read(int fd, void *buffer, size_t count)
{
    slowDown(fd);
    return next<ssize_t (*)(int, void *, size_t)>("read")(fd, buffer, count);
}

ssize_t pread(int fd, void *buffer, size_t count, off_t offset)
{
    slowDown(fd);
    if (readFails(fd))
        return -1;
    return next<ssize_t (*)(int, void *, size_t, off_t)>("pread")(fd, buffer, count, offset);
}

ssize_t pread64(int fd, void *buffer, size_t count, off_t offset)
{
    slowDown(fd);
    if (readFails(fd))
        return -1;
    return next<ssize_t (*)(int, void *, size_t, off_t)>("pread64")(fd, buffer, count, offset);
}

// The open() family: each refuses O_TMPFILE or finds a name taken when asked
// to, else passes the call on with its mode.
// clang-format off
#define QMS_OPEN(name, folder, ...)                                                                \
    {                                                                                              \
        mode_t mode = 0;                                                                           \
        if (flags & (O_CREAT | O_TMPFILE)) {                                                       \
            va_list arguments;                                                                     \
            va_start(arguments, flags);                                                            \
            mode = mode_t(va_arg(arguments, int));                                                 \
            va_end(arguments);                                                                     \
        }                                                                                          \
        if (refusesUnnamedFile(flags))                                                             \
            return -1;                                                                             \
        takeName(folder, path, flags);                                                             \
        return next<int (*)(...)>(name)(__VA_ARGS__, flags, mode);                                 \
    }

int open(const char *path, int flags, ...)                 QMS_OPEN("open", AT_FDCWD, path)
int open64(const char *path, int flags, ...)               QMS_OPEN("open64", AT_FDCWD, path)
int openat(int folder, const char *path, int flags, ...)   QMS_OPEN("openat", folder, folder, path)
int openat64(int folder, const char *path, int flags, ...) QMS_OPEN("openat64", folder, folder, path)
// clang-format on

} // extern "C"
