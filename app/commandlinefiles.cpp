#include "commandlinefiles.h"

#include "qmwindow.h"

#include <QFileInfo>
#include <QWindow>

namespace {

// Waits for the window to be on screen, so that the boxes of the files it
// opens are placed over it rather than where a window not yet placed would
// have them (a corner of the screen), then hands the files over once.
class OpenWhenExposed : public QObject
{
public:
    OpenWhenExposed(QMWindow &window, const QStringList &files)
        : QObject(&window), window(window), files(files)
    {
        QWindow *handle = window.windowHandle();
        if (handle && handle->isExposed()) {
            open();
            return;
        }
        if (handle)
            handle->installEventFilter(this);
        else
            open();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            open();
        }
        return false;
    }

private:
    void open()
    {
        // Once the event loop runs; dropped with the window if it goes first.
        QMetaObject::invokeMethod(
            &window,
            [window = &window, files = files, self = this] {
                self->deleteLater();
                window->OpenFiles(files);
            },
            Qt::QueuedConnection);
    }

    QMWindow &window;
    QStringList files;
};

} // namespace

void OpenCommandLineFiles(QMWindow &window, const QStringList &arguments)
{
    QStringList files;
    for (const QString &argument : arguments.mid(1)) {
        if (!argument.isEmpty())
            files << QFileInfo(argument).absoluteFilePath();
    }
    if (!files.isEmpty())
        new OpenWhenExposed(window, files);
}
