#include "inputfile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

InputFile::~InputFile()
{
    Close();
}

bool InputFile::Open(const QString &path)
{
    Close();
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    if (::stat(name.constData(), &info) != 0) {
        error = QStringLiteral("cannot be opened: %1").arg(SystemError(errno));
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = NotRegularReason(info.st_mode);
        return false;
    }
    // Non-blocking, in case a pipe took the file's place since the check.
    fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = QStringLiteral("cannot be opened: %1").arg(SystemError(errno));
        return false;
    }
    if (::fstat(fd, &info) != 0) {
        error = QStringLiteral("cannot be opened: %1").arg(SystemError(errno));
        Close();
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = NotRegularReason(info.st_mode);
        Close();
        return false;
    }
    size = info.st_size;
    identity = {quint64(info.st_dev), quint64(info.st_ino)};
    return true;
}

void InputFile::Close()
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
    size = 0;
    identity = {};
}

bool InputFile::ReadAt(qint64 offset, qint64 length, QByteArray &bytes)
{
    bytes.resize(qMax<qint64>(length, 0));
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t got =
            ::pread(fd, bytes.data() + done, size_t(bytes.size() - done), off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = QStringLiteral("cannot be read: %1").arg(SystemError(errno));
            bytes.clear();
            return false;
        }
        if (got == 0)
            break;
        done += got;
    }
    bytes.truncate(done);
    return true;
}

bool IdentityOf(const QString &path, FileIdentity &identity)
{
    struct stat info;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    identity = {quint64(info.st_dev), quint64(info.st_ino)};
    return true;
}

QString FileKindOf(unsigned mode)
{
    if (S_ISREG(mode))
        return QStringLiteral("a regular file");
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("a named pipe (FIFO)");
    if (S_ISCHR(mode))
        return QStringLiteral("a character device");
    if (S_ISBLK(mode))
        return QStringLiteral("a block device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    if (S_ISLNK(mode))
        return QStringLiteral("a symbolic link");
    return QStringLiteral("a special file");
}

QString NotRegularReason(unsigned mode)
{
    return S_ISDIR(mode) ? QStringLiteral("it is a folder")
                         : QStringLiteral("it is %1, not a regular file").arg(FileKindOf(mode));
}

QString SystemError(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}
