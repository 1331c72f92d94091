#include "commandlinefiles.h"

#include "qmwindow.h"

#include <QFileInfo>

void OpenCommandLineFiles(QMWindow &window, const QStringList &arguments)
{
    QStringList files;
    for (const QString &argument : arguments.mid(1)) {
        if (!argument.isEmpty())
            files << QFileInfo(argument).absoluteFilePath();
    }
    if (files.isEmpty())
        return;
    // Once the event loop runs; dropped with the window if it goes first.
    QMetaObject::invokeMethod(
        &window, [&window, files] { window.OpenFiles(files); }, Qt::QueuedConnection);
}
