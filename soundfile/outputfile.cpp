#include "outputfile.h"
#include "sharedfolderrule.h"

#include "core/cleanupregistry.h"
#include "core/layertable.h"
#include "core/nametext.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdio>
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

// How a file system says that it has no hard links (FAT, exFAT) or no
// rename that refuses to replace (most FUSE file systems).
bool unsupportedHere(int error)
{
    return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EINVAL;
}

// Copies the first `length` bytes of `from` into `to`; 0, or why not. A file
// that ends early is an I/O error, never a shorter copy.
int copyBytes(int from, int to, qint64 length)
{
    char buffer[1 << 16];
    for (qint64 offset = 0; offset < length;) {
        const ssize_t got =
            ::pread(from, buffer, size_t(qMin<qint64>(sizeof buffer, length - offset)), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got < 0 ? errno : EIO;
        for (ssize_t done = 0; done < got;) {
            const ssize_t count = ::write(to, buffer + done, size_t(got - done));
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0)
                return count < 0 ? errno : ENOSPC;
            done += count;
        }
        offset += got;
    }
    return 0;
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
        const QString next = NameFromBytes(QByteArrayView(destination, length));
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
    // Readable too: where the file system has no way to put the file in
    // place without replacing, its bytes are copied (copyInto()).
    const QByteArray folderName = QFile::encodeName(folder);
    fd = ::open(folderName.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // No unnamed files here: a short hidden name in the same folder.
        for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            temporaryName = temporaryNameFor(folder, target);
            pendingSlot = registerPending(temporaryName);
            fd = ::open(temporaryName.constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0666);
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
    permissions = exists ? (existingMode & 0777) : (0666 & ~currentUmask());
    ::fchmod(fd, permissions);
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
    if (temporaryName.isEmpty()) {
        // An unnamed file is linked at the path, which fails when anything
        // stands there.
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, targetName.constData(),
                     AT_SYMLINK_FOLLOW) == 0)
            return true;
        const int reason = errno;
        if (reason != EEXIST && !unsupportedHere(reason))
            return cannotPut(reason);
        if (existing == Existing::Keep) {
            if (reason == EEXIST)
                return cannotPut(EEXIST);
            int slot = -1;
            const int copied = copyInto(targetName, slot);
            unregisterPending(slot);
            return copied == 0 || cannotPut(copied);
        }
        // Only a rename replaces a file: the unnamed one needs a name first.
        if (!nameTemporary())
            return false;
    }

    if (existing == Existing::Keep)
        return moveToFreeName(targetName);
    struct stat info;
    if (::lstat(targetName.constData(), &info) == 0 && !S_ISREG(info.st_mode))
        return fail(NotRegularReason(info.st_mode));
    if (::rename(temporaryName.constData(), targetName.constData()) != 0)
        return cannotPut(errno);
    temporaryName.clear();
    unregisterPending(pendingSlot);
    return true;
}

bool OutputFile::nameTemporary()
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray name = temporaryNameFor(folder, target);
        pendingSlot = registerPending(name);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) ==
            0) {
            temporaryName = name;
            return true;
        }
        int reason = errno;
        unregisterPending(pendingSlot);
        if (unsupportedHere(reason))
            reason = copyInto(name, pendingSlot);
        if (reason == 0) {
            temporaryName = name;
            return true;
        }
        if (reason != EEXIST)
            return cannotPut(reason);
    }
    return fail(QStringLiteral("it cannot be put in place: no free temporary name"));
}

bool OutputFile::moveToFreeName(const QByteArray &targetName)
{
    // Moves the file to a name where nothing stands, in one step.
    if (::renameat2(AT_FDCWD, temporaryName.constData(), AT_FDCWD, targetName.constData(),
                    RENAME_NOREPLACE) == 0) {
        temporaryName.clear();
        unregisterPending(pendingSlot);
        return true;
    }
    int reason = errno;
    if (unsupportedHere(reason)) {
        // No such rename here (FAT and exFAT through FUSE): the bytes are
        // copied into a file that open() makes only where nothing stands.
        int slot = -1;
        reason = copyInto(targetName, slot);
        unregisterPending(slot);
        if (reason == 0) {
            ::unlink(temporaryName.constData());
            temporaryName.clear();
            unregisterPending(pendingSlot);
            return true;
        }
    }
    return cannotPut(reason);
}

int OutputFile::copyInto(const QByteArray &name, int &slot)
{
    const int copy = ::open(name.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (copy < 0)
        return errno;
    // Registered only now that it is ours: a signal removes the part copied,
    // never a file that stood at the name before.
    slot = registerPending(name);
    struct stat made = {};
    ::fstat(copy, &made);
    ::fchmod(copy, permissions);
    // Read through a descriptor of its own: fusefat, for one, can give stale
    // bytes through the one that wrote them.
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    const int source = ::open(self.constData(), O_RDONLY | O_CLOEXEC);
    int reason = copyBytes(source >= 0 ? source : fd, copy, written);
    if (source >= 0)
        ::close(source);
    if (reason == 0 && ::fdatasync(copy) != 0)
        reason = errno;
    if (reason != 0) {
        // Removed only while the name still leads to the copy (looked at
        // while it is open: FUSE may number a file anew once it is closed).
        struct stat now;
        if (::lstat(name.constData(), &now) == 0 && made.st_ino != 0 && now.st_dev == made.st_dev &&
            now.st_ino == made.st_ino)
            ::unlink(name.constData());
        unregisterPending(slot);
    }
    ::close(copy);
    return reason;
}

bool OutputFile::cannotPut(int reason)
{
    if (reason == EEXIST)
        return fail(QStringLiteral("a file of that name already exists"));
    return fail(QStringLiteral("it cannot be put in place: %1").arg(SystemError(reason)));
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
