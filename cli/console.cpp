#include "console.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QJsonDocument>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

QtMessageHandler defaultHandler = nullptr;
bool outputClosed = false;
OutputMode mode;
bool resultsOnStandardError = false;
QString currentCommand;

void dropDebugLines(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtDebugMsg && defaultHandler)
        defaultHandler(type, context, message);
}

// The core writes every step to the debug output; qmstool passes those lines
// on only when asked (--debug) and drops them otherwise.
void showDebugLines(bool show)
{
    if (show) {
        if (defaultHandler)
            qInstallMessageHandler(defaultHandler);
        defaultHandler = nullptr;
    } else if (!defaultHandler) {
        defaultHandler = qInstallMessageHandler(dropDebugLines);
    }
}

// Takes what is written and keeps nothing.
class Discard : public QIODevice
{
public:
    Discard() { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 length) override { return length; }
};

QTextStream &nowhere()
{
    static Discard device;
    static QTextStream stream(&device);
    return stream;
}

} // namespace

void SetOutputMode(const OutputMode &newMode)
{
    mode = newMode;
    showDebugLines(mode.Debug);
}

const OutputMode &CurrentOutputMode()
{
    return mode;
}

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

QTextStream &Results()
{
    if (mode.Quiet || mode.Json)
        return nowhere();
    return resultsOnStandardError ? Err() : Out();
}

QTextStream &Steps()
{
    return mode.Verbose ? Err() : nowhere();
}

void ResultsToStandardError()
{
    Out().flush();
    resultsOnStandardError = true;
}

void PrintJson(const QJsonObject &document)
{
    Out() << QJsonDocument(document).toJson(QJsonDocument::Indented) << Qt::flush;
}

std::optional<int> RefuseStandardStreams(const QStringList &paths)
{
    if (!paths.contains(QStringLiteral("-")))
        return std::nullopt;
    return UsageError(QStringLiteral("%1 takes no standard input or output (\"-\"); a file "
                                     "called so is ./-")
                          .arg(currentCommand));
}

int Refuse(const QString &message, QJsonObject json)
{
    if (mode.Json) {
        if (!json.contains(QStringLiteral("error")))
            json.insert(QStringLiteral("error"), message);
        PrintJson(json);
    }
    Err() << QCoreApplication::applicationName() << ": " << Printable(message) << Qt::endl;
    return ExitStatus::Refused;
}

void SetCurrentCommand(const QString &name)
{
    currentCommand = name;
}

int UsageError(const QString &message)
{
    const QString name = QCoreApplication::applicationName();
    const QString help =
        currentCommand.isEmpty() ? name : QStringLiteral("%1 %2").arg(name, currentCommand);
    Err() << name << ": " << Printable(message) << "\n"
          << "Try '" << help << " --help' for more information." << Qt::endl;
    return ExitStatus::UsageError;
}

QString WrapText(const QString &text, int indent)
{
    constexpr int Width = 80;
    const QString margin(indent, QLatin1Char(' '));
    QStringList lines;
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        QString line;
        for (const QString &word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const int room = Width - (lines.isEmpty() ? 0 : indent);
            if (!line.isEmpty() && line.size() + 1 + word.size() > room) {
                lines << line;
                line.clear();
            }
            line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
        }
        lines << line;
    }
    return lines.join(QLatin1Char('\n') + margin);
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
