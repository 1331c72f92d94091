#ifndef LAYERMENU_H
#define LAYERMENU_H

#include "core/limits.h"

#include <QObject>

#include <functional>

class QMainWindow;
class QWidget;

namespace Ui {
class QMWindow;
}

// The rows' context menu: "Prepare…" for the row's layer and "Match
// Loudness…" for all of them, opened by a right click on a row's name or
// button, or by the Menu key or Shift+F10 on a row's button. Ctrl+L matches
// the loudness too.
class LayerMenu : public QObject
{
public:
    LayerMenu(Ui::QMWindow &form, QMainWindow *window, std::function<void(int layer)> prepare,
              std::function<void()> matchLoudness);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void show(int layer, QWidget *at, const QPoint &position);

    QList<QWidget *> rows[Limits::LayerCount];
    std::function<void(int)> prepare;
    std::function<void()> matchLoudness;
};

#endif // LAYERMENU_H
