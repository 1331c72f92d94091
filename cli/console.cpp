#include "console.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

QtMessageHandler defaultHandler = nullptr;

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
    Err() << name << ": " << message << "\n"
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
