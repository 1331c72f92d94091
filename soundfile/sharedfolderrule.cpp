#include "sharedfolderrule.h"

#include "core/nametext.h"
#include "wav/inputfile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int MaxLinks = 40; // as many as the kernel follows

bool plantedInSharedFolder(const struct stat &link, const struct stat &folder)
{
    return (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH) &&
           link.st_uid != folder.st_uid && link.st_uid != ::geteuid();
}

QString joined(const QString &folder, const QString &name)
{
    if (folder.isEmpty())
        return name;
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

int statOf(const QString &path, struct stat &info)
{
    return ::stat(QFile::encodeName(path).constData(), &info);
}

} // namespace

QString PlantedLinkOnPath(const QString &path)
{
    // `walked` leads, without a symbolic link left in it, to where the
    // components in `pending` are looked up.
    QStringList pending = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString walked = path.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
    int links = 0;
    while (!pending.isEmpty()) {
        const QString next = joined(walked, pending.takeFirst());
        const QByteArray name = QFile::encodeName(next);
        struct stat info;
        if (::lstat(name.constData(), &info) != 0)
            return QString();
        if (!S_ISLNK(info.st_mode)) {
            walked = next;
            continue;
        }
        struct stat folder;
        if (statOf(walked.isEmpty() ? QStringLiteral(".") : walked, folder) == 0 &&
            plantedInSharedFolder(info, folder)) {
            return QStringLiteral("%1 is a symbolic link that another user placed in the shared "
                                  "folder %2; it is not followed")
                .arg(next, QFileInfo(next).absolutePath());
        }
        if (++links > MaxLinks)
            return QStringLiteral("it leads through too many symbolic links");
        char destination[PATH_MAX];
        const ssize_t length = ::readlink(name.constData(), destination, sizeof destination);
        if (length < 0 || length >= ssize_t(sizeof destination))
            return QString();
        // The link's target stands for it; a relative one is looked up in
        // the link's folder.
        const QString target = NameFromBytes(QByteArrayView(destination, length));
        if (target.startsWith(QLatin1Char('/')))
            walked = QStringLiteral("/");
        pending = target.split(QLatin1Char('/'), Qt::SkipEmptyParts) + pending;
    }
    return QString();
}

bool MakeFolder(const QString &path, QString &error)
{
    QString made = path.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
    for (const QString &name : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        made = joined(made, name);
        error = PlantedLinkOnPath(made);
        if (!error.isEmpty())
            return false;
        struct stat info;
        if (statOf(made, info) != 0) {
            const QByteArray encoded = QFile::encodeName(made);
            if (errno != ENOENT || (::mkdir(encoded.constData(), 0777) != 0 && errno != EEXIST) ||
                statOf(made, info) != 0) {
                error = QStringLiteral("the folder %1 cannot be created: %2")
                            .arg(made, SystemError(errno));
                return false;
            }
        }
        if (!S_ISDIR(info.st_mode)) {
            error = QStringLiteral("%1 is not a folder").arg(made);
            return false;
        }
    }
    // A link planted where a folder was about to be made.
    error = PlantedLinkOnPath(path);
    return error.isEmpty();
}
