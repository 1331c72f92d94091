#include "outputfile.h"
#include "sharedfolderrule.h"

#include "core/cleanupregistry.h"
#include "core/layertable.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A named temporary file is registered before it is made, and forgotten
// once it has gone or taken its place, so a signal never leaves it behind.
int registerPending(const QByteArray &path)
{
    return CleanupRegistry::Register(path, CleanupRegistry::Kind::File);
}

void unregisterPending(int &entry)
{
    CleanupRegistry::Unregister(entry);
}

mode_t currentUmask()
{
    static const mode_t mask = [] {
        const mode_t old = ::umask(0);
        ::umask(old);
        return old;
    }();
    return mask;
}

// A hidden name for the temporary file, short whatever the target's name:
// "." + at most 32 characters of it + "." + six random letters.
QByteArray temporaryNameFor(const QString &folder, const QString &target)
{
    const QString stem = CutName(QFileInfo(target).fileName(), 32);
    return QFile::encodeName(folder) + "/." + QFile::encodeName(stem) + "." + TemporarySuffix();
}

} // namespace

OutputFile::OutputFile(const QString &path, Existing existing) : path(path), existing(existing) {}

OutputFile::~OutputFile()
{
    Cancel();
}

bool OutputFile::fail(const QString &reason)
{
    error = reason;
    Cancel();
    return false;
}

bool OutputFile::Open()
{
    Cancel();
    written = 0;
    error.clear();
    if (path.isEmpty())
        return fail(QStringLiteral("no file name was given"));
    return resolveTarget() && checkFolder() && createTemporary();
}

bool OutputFile::resolveTarget()
{
    const QString planted = PlantedLinkOnPath(path);
    if (!planted.isEmpty())
        return fail(planted);
    QString current = path;
    for (int hops = 0; hops < 40; ++hops) {
        const QByteArray name = QFile::encodeName(current);
        struct stat info;
        if (::lstat(name.constData(), &info) != 0) {
            if (errno != ENOENT)
                return fail(QStringLiteral("cannot be looked at: %1").arg(SystemError(errno)));
            target = current;
            exists = false;
            return true;
        }
        if (S_ISREG(info.st_mode)) {
            target = current;
            exists = true;
            existingMode = info.st_mode;
            existingIdentity = {quint64(info.st_dev), quint64(info.st_ino)};
            return true;
        }
        if (!S_ISLNK(info.st_mode))
            return fail(NotRegularReason(info.st_mode));
        char destination[PATH_MAX];
        const ssize_t length = ::readlink(name.constData(), destination, sizeof destination);
        if (length < 0 || length >= ssize_t(sizeof destination))
            return fail(QStringLiteral("its symbolic link cannot be read"));
        const QString next = QFile::decodeName(QByteArray(destination, int(length)));
        current = next.startsWith(QLatin1Char('/'))
                      ? next
                      : QFileInfo(current).absolutePath() + QLatin1Char('/') + next;
    }
    return fail(QStringLiteral("it leads through too many symbolic links"));
}

bool OutputFile::checkFolder()
{
    folder = QFileInfo(target).absolutePath();
    struct stat info;
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0) {
        return fail(errno == ENOENT ? QStringLiteral("its folder %1 does not exist").arg(folder)
                                    : QStringLiteral("its folder %1 cannot be looked at: %2")
                                          .arg(folder, SystemError(errno)));
    }
    if (!S_ISDIR(info.st_mode))
        return fail(QStringLiteral("%1 is not a folder").arg(folder));
    // As a file opened for writing would be: a read-only file is not replaced.
    if (exists && ::access(QFile::encodeName(target).constData(), W_OK) != 0)
        return fail(QStringLiteral("it cannot be written: %1").arg(SystemError(errno)));
    return true;
}

bool OutputFile::createTemporary()
{
    const QByteArray folderName = QFile::encodeName(folder);
    fd = ::open(folderName.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // No unnamed files here: a short hidden name in the same folder.
        for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            temporaryName = temporaryNameFor(folder, target);
            pendingSlot = registerPending(temporaryName);
            fd = ::open(temporaryName.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
            if (fd < 0) {
                const int reason = errno;
                unregisterPending(pendingSlot);
                temporaryName.clear();
                errno = reason;
                if (reason != EEXIST)
                    break;
            }
        }
    }
    if (fd < 0) {
        return fail(
            QStringLiteral("it cannot be created in %1: %2").arg(folder, SystemError(errno)));
    }
    // A replaced file keeps its permissions; a new one gets the usual ones.
    ::fchmod(fd, exists ? (existingMode & 0777) : (0666 & ~currentUmask()));
    return true;
}

bool OutputFile::Write(const char *data, qint64 size)
{
    if (fd < 0)
        return false;
    qint64 done = 0;
    while (done < size) {
        const ssize_t count = ::write(fd, data + done, size_t(size - done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            error = SystemError(count < 0 ? errno : ENOSPC);
            return false;
        }
        done += count;
    }
    written += size;
    return true;
}

bool OutputFile::Commit()
{
    if (fd < 0)
        return false;
    // The data must be on the disk before the new file takes the old one's
    // place: a failure here leaves the old file as it was.
    if (::fdatasync(fd) != 0)
        return fail(
            QStringLiteral("it could not be saved to the disk: %1").arg(SystemError(errno)));
    if (!putInPlace())
        return false;
    ::close(fd);
    fd = -1;
    const int folderFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
}

bool OutputFile::putInPlace()
{
    const QByteArray targetName = QFile::encodeName(target);
    const auto stillReplaceable = [&] {
        struct stat info;
        if (::lstat(targetName.constData(), &info) == 0 && !S_ISREG(info.st_mode))
            return fail(NotRegularReason(info.st_mode));
        return true;
    };
    const auto alreadyThere = [&] {
        return fail(QStringLiteral("a file of that name already exists"));
    };

    if (temporaryName.isEmpty()) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, targetName.constData(),
                     AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST)
            return fail(QStringLiteral("it cannot be put in place: %1").arg(SystemError(errno)));
        if (existing == Existing::Keep)
            return alreadyThere();
        // A link cannot replace a file: link under a temporary name, then rename.
        for (int attempt = 0; attempt < 100 && temporaryName.isEmpty(); ++attempt) {
            const QByteArray name = temporaryNameFor(folder, target);
            pendingSlot = registerPending(name);
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(),
                         AT_SYMLINK_FOLLOW) == 0) {
                temporaryName = name;
            } else {
                const int reason = errno;
                unregisterPending(pendingSlot);
                if (reason != EEXIST)
                    return fail(
                        QStringLiteral("it cannot be put in place: %1").arg(SystemError(reason)));
            }
        }
        if (temporaryName.isEmpty())
            return fail(QStringLiteral("it cannot be put in place: no free temporary name"));
    }

    if (existing == Existing::Keep) {
        if (::link(temporaryName.constData(), targetName.constData()) != 0) {
            const int reason = errno;
            return reason == EEXIST ? alreadyThere()
                                    : fail(QStringLiteral("it cannot be put in place: %1")
                                               .arg(SystemError(reason)));
        }
        ::unlink(temporaryName.constData());
    } else {
        if (!stillReplaceable())
            return false;
        if (::rename(temporaryName.constData(), targetName.constData()) != 0)
            return fail(QStringLiteral("it cannot be put in place: %1").arg(SystemError(errno)));
    }
    temporaryName.clear();
    unregisterPending(pendingSlot);
    return true;
}

void OutputFile::Cancel()
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
    if (!temporaryName.isEmpty())
        ::unlink(temporaryName.constData());
    temporaryName.clear();
    unregisterPending(pendingSlot);
}
