#include "commandlinefiles.h"

#include "qmwindow.h"

#include <QFileInfo>
#include <QPointer>

void OpenCommandLineFiles(QMWindow &window, const QStringList &arguments)
{
    QStringList files;
    for (const QString &argument : arguments.mid(1)) {
        if (!argument.isEmpty())
            files << QFileInfo(argument).absoluteFilePath();
    }
    if (files.isEmpty())
        return;
    QMetaObject::invokeMethod(
        &window,
        [window = QPointer<QMWindow>(&window), files] {
            if (window)
                window->OpenFiles(files);
        },
        Qt::QueuedConnection);
}
