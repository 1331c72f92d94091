#include "dropfilter.h"

#include "qmwindow.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

DropFilter::DropFilter(QMWindow *window) : QObject(window), window(window) {}

QStringList DropFilter::LocalFiles(const QMimeData *mimeData)
{
    QStringList files;
    if (!mimeData || !mimeData->hasUrls())
        return files;
    for (const QUrl &url : mimeData->urls()) {
        if (!url.isLocalFile() || url.toLocalFile().isEmpty())
            return QStringList();
        files << url.toLocalFile();
    }
    return files;
}

bool DropFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != window)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QStringList files = LocalFiles(drop->mimeData());
        if (files.isEmpty() || !(drop->possibleActions() & Qt::CopyAction)) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        if (event->type() == QEvent::Drop) {
            // After the drop returns; dropped with the window if it goes first.
            QMetaObject::invokeMethod(
                window, [window = window, files] { window->OpenFiles(files); },
                Qt::QueuedConnection);
        }
        return true;
    }
    default:
        return false;
    }
}
