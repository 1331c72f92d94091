#include "standardstreams.h"

#include "wav/inputfile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr qint64 BlockSize = 65536;

// Writes all `length` bytes to `fd`; false, with errno set, when that fails.
bool writeAll(int fd, const char *data, qint64 length)
{
    while (length > 0) {
        const ssize_t done = ::write(fd, data, size_t(length));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        data += done;
        length -= done;
    }
    return true;
}

// Reads up to `length` bytes from `fd`, retried when interrupted.
ssize_t readSome(int fd, char *data, qint64 length)
{
    for (;;) {
        const ssize_t done = ::read(fd, data, size_t(length));
        if (done >= 0 || errno != EINTR)
            return done;
    }
}

} // namespace

bool SaveStandardInput(const QString &path, QString &error)
{
    if (::isatty(STDIN_FILENO)) {
        error = QStringLiteral("standard input is a terminal; pipe or redirect the audio file in");
        return false;
    }
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = QStringLiteral("%1 cannot be made: %2").arg(path, SystemError(errno));
        return false;
    }
    QByteArray block(BlockSize, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const ssize_t got = readSome(STDIN_FILENO, block.data(), BlockSize);
        if (got < 0) {
            error = QStringLiteral("standard input cannot be read: %1").arg(SystemError(errno));
            break;
        }
        if (got == 0) {
            if (::close(fd) == 0)
                return true;
            error = QStringLiteral("%1 cannot be written: %2").arg(path, SystemError(errno));
            return false;
        }
        total += got;
        if (total > MaxStandardInput) {
            error = QStringLiteral("standard input holds more than %1 bytes, more than any audio "
                                   "file that fits a layer")
                        .arg(MaxStandardInput);
            break;
        }
        if (!writeAll(fd, block.constData(), got)) {
            error = QStringLiteral("%1 cannot be written: %2").arg(path, SystemError(errno));
            break;
        }
    }
    ::close(fd);
    return false;
}

bool SendToStandardOutput(const QString &path, QString &error)
{
    InputFile file;
    if (!file.Open(path)) {
        error = file.ErrorString();
        return false;
    }
    QByteArray block;
    for (qint64 offset = 0; offset < file.Size(); offset += block.size()) {
        if (!file.ReadAt(offset, BlockSize, block)) {
            error = file.ErrorString();
            return false;
        }
        if (block.isEmpty()) {
            error = QStringLiteral("the copy ended early");
            return false;
        }
        if (!writeAll(STDOUT_FILENO, block.constData(), block.size())) {
            error = QStringLiteral("cannot write to standard output: %1").arg(SystemError(errno));
            return false;
        }
    }
    return true;
}
