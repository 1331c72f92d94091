#include "layermenu.h"
#include "ui_qmwindow.h"

#include "core/layertable.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QShortcut>

LayerMenu::LayerMenu(Ui::QMWindow &ui, QMainWindow *window, std::function<void(int)> prepare,
                     std::function<void()> matchLoudness)
    : QObject(window), prepare(std::move(prepare)), matchLoudness(std::move(matchLoudness))
{
    rows[0] = {ui.Filename_1, ui.ThrOfLayer_1, ui.Del_Br_Button_1, ui.Play_Button_1};
    rows[1] = {ui.Filename_2, ui.ThrOfLayer_2, ui.Del_Br_Button_2, ui.Play_Button_2};
    rows[2] = {ui.Filename_3, ui.ThrOfLayer_3, ui.Del_Br_Button_3, ui.Play_Button_3};
    rows[3] = {ui.Filename_4, ui.ThrOfLayer_4, ui.Del_Br_Button_4, ui.Play_Button_4};
    rows[4] = {ui.Filename_5, ui.ThrOfLayer_5, ui.Del_Br_Button_5, ui.Play_Button_5};
    rows[5] = {ui.Filename_6, ui.ThrOfLayer_6, ui.Del_Br_Button_6, ui.Play_Button_6};
    rows[6] = {ui.Filename_7, ui.ThrOfLayer_7, ui.Del_Br_Button_7, ui.Play_Button_7};
    rows[7] = {ui.Filename_8, ui.ThrOfLayer_8, ui.Del_Br_Button_8, ui.Play_Button_8};
    for (const QList<QWidget *> &row : rows) {
        for (QWidget *widget : row)
            widget->installEventFilter(this);
    }
    connect(new QShortcut(QKeySequence(tr("Ctrl+L")), window), &QShortcut::activated, this, [this] {
        if (Layers.LayerCount > 0)
            this->matchLoudness();
    });
}

bool LayerMenu::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = static_cast<QWidget *>(watched);
    int layer = 0;
    for (int row = 0; row < Limits::LayerCount && layer == 0; ++row) {
        if (rows[row].contains(widget))
            layer = row + 1;
    }
    if (layer == 0)
        return false;
    if (event->type() == QEvent::ContextMenu) {
        const auto *menu = static_cast<QContextMenuEvent *>(event);
        show(layer, widget,
             menu->reason() == QContextMenuEvent::Mouse ? menu->pos() : widget->rect().center());
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Menu && key->modifiers() == Qt::NoModifier) ||
            (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) {
            show(layer, widget, widget->rect().center());
            return true;
        }
    }
    return false;
}

void LayerMenu::show(int layer, QWidget *at, const QPoint &position)
{
    QMenu menu(at);
    QAction *prepareAction = menu.addAction(tr("&Prepare…"));
    prepareAction->setEnabled(layer <= Layers.LayerCount);
    prepareAction->setToolTip(tr("Trim, set the level of, fade or cut layer %1").arg(layer));
    QAction *matchAction = menu.addAction(tr("&Match Loudness…"));
    matchAction->setShortcut(QKeySequence(tr("Ctrl+L")));
    matchAction->setEnabled(Layers.LayerCount > 0);
    matchAction->setToolTip(tr("Bring every layer to one loudness"));
    menu.setToolTipsVisible(true);
    QAction *chosen = menu.exec(at->mapToGlobal(position));
    if (chosen == prepareAction)
        prepare(layer);
    else if (chosen == matchAction)
        matchLoudness();
}
