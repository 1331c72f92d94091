#include "scratchfolder.h"

#include "core/cleanupregistry.h"
#include "soundfile/sharedfolderrule.h"
#include "wav/inputfile.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>

namespace {

constexpr int MaxNameAttempts = 100;

// Registers `path` in `registered`, in place of what it held.
void keep(int &registered, const QString &path, CleanupRegistry::Kind kind)
{
    CleanupRegistry::Unregister(registered);
    registered = CleanupRegistry::Register(QFile::encodeName(path), kind);
}

// The system's folder for temporary files: $TMPDIR when it names a folder,
// else /tmp (never the current folder, as an empty path would be).
QString temporaryFolder()
{
    const QString named = qEnvironmentVariable("TMPDIR");
    struct stat info;
    if (!named.isEmpty() && ::stat(QFile::encodeName(named).constData(), &info) == 0 &&
        S_ISDIR(info.st_mode))
        return named;
    return QStringLiteral("/tmp");
}

} // namespace

ScratchFolder::~ScratchFolder()
{
    if (root.isEmpty())
        return;
    QDir(root).removeRecursively();
    for (int index = 0; index < MaxFiles; ++index) {
        CleanupRegistry::Unregister(files[index].entry);
        CleanupRegistry::Unregister(subfolders[index].entry);
    }
    CleanupRegistry::Unregister(rootEntry.entry);
}

bool ScratchFolder::makeRoot()
{
    const QString temporary = temporaryFolder();
    error = PlantedLinkOnPath(temporary);
    if (!error.isEmpty())
        return false;
    for (int attempt = 0; attempt < MaxNameAttempts; ++attempt) {
        const QString path = QDir(temporary).filePath(QStringLiteral("qmstool-") +
                                                      QString::fromLatin1(TemporarySuffix()));
        // Registered first: a signal while it is made does not leave it behind.
        keep(rootEntry.entry, path, CleanupRegistry::Kind::Folder);
        if (::mkdir(QFile::encodeName(path).constData(), 0700) == 0) {
            root = path;
            return true;
        }
        const int reason = errno;
        CleanupRegistry::Unregister(rootEntry.entry);
        if (reason != EEXIST) {
            error = QStringLiteral("cannot make a temporary folder in %1: %2")
                        .arg(temporary, SystemError(reason));
            return false;
        }
    }
    error = QStringLiteral("cannot make a temporary folder in %1: no free name").arg(temporary);
    return false;
}

QString ScratchFolder::PathFor(int index, const QString &name)
{
    if (index < 0 || index >= MaxFiles) {
        error = QStringLiteral("no room for a further file");
        return QString();
    }
    if (root.isEmpty() && !makeRoot())
        return QString();
    const QString subfolder = QDir(root).filePath(QString::number(index + 1));
    const QString path = QDir(subfolder).filePath(name);
    keep(subfolders[index].entry, subfolder, CleanupRegistry::Kind::Folder);
    keep(files[index].entry, path, CleanupRegistry::Kind::File);
    if (::mkdir(QFile::encodeName(subfolder).constData(), 0700) != 0 && errno != EEXIST) {
        error = QStringLiteral("cannot make the folder %1: %2").arg(subfolder, SystemError(errno));
        return QString();
    }
    return path;
}
