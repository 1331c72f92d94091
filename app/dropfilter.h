#ifndef DROPFILTER_H
#define DROPFILTER_H

#include <QObject>
#include <QStringList>

class QMimeData;
class QMWindow;

// Lets files be dropped on the main window. Installed as an event filter on
// the window, it takes drags that carry local files only (as copies: a
// dropped file is never moved) and, once a drop is over, hands its files to
// QMWindow::OpenFiles(), so that no dialog runs inside the drop itself.
class DropFilter : public QObject
{
public:
    explicit DropFilter(QMWindow *window);

    // The local files `mimeData` carries, in order; empty when it carries
    // anything else too.
    static QStringList LocalFiles(const QMimeData *mimeData);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QMWindow *window;
};

#endif // DROPFILTER_H
