#include "console.h"

#include <QCoreApplication>
#include <QIODevice>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

QtMessageHandler defaultHandler = nullptr;
bool outputClosed = false;

void dropDebugLines(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtDebugMsg && defaultHandler)
        defaultHandler(type, context, message);
}

} // namespace

QTextStream &Out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &Err()
{
    static QTextStream stream(stderr);
    return stream;
}

int UsageError(const QString &message)
{
    const QString name = QCoreApplication::applicationName();
    Err() << name << ": " << Printable(message) << "\n"
          << "Try '" << name << " --help' for more information." << Qt::endl;
    return ExitStatus::UsageError;
}

void ShowDebugLines(bool show)
{
    if (show) {
        if (defaultHandler)
            qInstallMessageHandler(defaultHandler);
        defaultHandler = nullptr;
    } else if (!defaultHandler) {
        defaultHandler = qInstallMessageHandler(dropDebugLines);
    }
}

QString Printable(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        // C0, DEL and C1: Unicode's control characters.
        if (c.category() == QChar::Other_Control)
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

void GuardStandardDescriptors()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        if (fd == STDOUT_FILENO)
            outputClosed = true;
        // open() takes the lowest free descriptor: this one.
        ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    }
}

int FinishOutput(int exitStatus)
{
    Out().flush();
    QString reason;
    if (outputClosed)
        reason = QString::fromLocal8Bit(std::strerror(EBADF));
    else if (Out().status() != QTextStream::Ok)
        reason = Out().device()->errorString();
    else if (std::fflush(stdout) != 0 || std::ferror(stdout))
        reason = QString::fromLocal8Bit(std::strerror(errno));
    else
        return exitStatus;
    Err() << QCoreApplication::applicationName() << ": cannot write to standard output: " << reason
          << Qt::endl;
    return exitStatus == ExitStatus::Success ? ExitStatus::Refused : exitStatus;
}
