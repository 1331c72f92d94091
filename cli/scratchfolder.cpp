#include "scratchfolder.h"

#include <QDir>
#include <QFile>

#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

// What the signal handler removes: the files, their subfolders, the folder.
// A path is complete before it is marked used.
struct ScratchPath
{
    volatile sig_atomic_t used = 0;
    char path[PATH_MAX] = {};
};
ScratchPath scratchFiles[ScratchFolder::MaxFiles];
ScratchPath scratchSubfolders[ScratchFolder::MaxFiles];
ScratchPath scratchRoot;

const int Signals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction previousActions[std::size(Signals)];

bool mark(ScratchPath &slot, const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.size() >= PATH_MAX)
        return false;
    slot.used = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    memcpy(slot.path, name.constData(), size_t(name.size()) + 1);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    slot.used = 1;
    return true;
}

void removeAndDie(int signal)
{
    // Whoever handled the signal before (the temporary files being written)
    // goes first; the signal it raises again waits until this handler ends.
    for (size_t i = 0; i < std::size(Signals); ++i) {
        const auto handler = previousActions[i].sa_handler;
        if (Signals[i] == signal && handler != SIG_DFL && handler != SIG_IGN)
            handler(signal);
    }
    for (const ScratchPath &file : scratchFiles) {
        if (file.used)
            ::unlink(file.path);
    }
    for (const ScratchPath &subfolder : scratchSubfolders) {
        if (subfolder.used)
            ::rmdir(subfolder.path);
    }
    if (scratchRoot.used)
        ::rmdir(scratchRoot.path);
    // The handler was reset on entry: the signal now ends the process.
    ::raise(signal);
}

void installHandler()
{
    for (size_t i = 0; i < std::size(Signals); ++i) {
        struct sigaction action = {};
        action.sa_handler = removeAndDie;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(Signals[i], nullptr, &previousActions[i]);
        if (previousActions[i].sa_handler != SIG_IGN)
            ::sigaction(Signals[i], &action, nullptr);
    }
}

void restoreHandler()
{
    for (size_t i = 0; i < std::size(Signals); ++i) {
        if (previousActions[i].sa_handler != SIG_IGN)
            ::sigaction(Signals[i], &previousActions[i], nullptr);
    }
    for (ScratchPath &path : scratchFiles)
        path.used = 0;
    for (ScratchPath &path : scratchSubfolders)
        path.used = 0;
    scratchRoot.used = 0;
}

} // namespace

ScratchFolder::~ScratchFolder()
{
    if (folder) {
        folder.reset(); // removes everything in it
        restoreHandler();
    }
}

QString ScratchFolder::PathFor(int index, const QString &name)
{
    if (index < 0 || index >= MaxFiles) {
        error = QStringLiteral("no room for a further file");
        return QString();
    }
    if (!folder) {
        auto made = std::make_unique<QTemporaryDir>(
            QDir(QDir::tempPath()).filePath(QStringLiteral("qmstool-XXXXXX")));
        if (!made->isValid()) {
            error = QStringLiteral("cannot make a temporary folder in %1: %2")
                        .arg(QDir::tempPath(), made->errorString());
            return QString();
        }
        if (!mark(scratchRoot, made->path())) {
            error = QStringLiteral("the temporary folder's path is too long");
            return QString();
        }
        folder = std::move(made);
        installHandler();
    }
    const QString subfolder = folder->filePath(QString::number(index + 1));
    const QString path = QDir(subfolder).filePath(name);
    if (!mark(scratchSubfolders[index], subfolder) || !mark(scratchFiles[index], path)) {
        error = QStringLiteral("the temporary file's path is too long");
        return QString();
    }
    if (!QDir().mkpath(subfolder)) {
        error = QStringLiteral("cannot make the folder %1").arg(subfolder);
        return QString();
    }
    return path;
}
