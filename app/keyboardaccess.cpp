#include "keyboardaccess.h"
#include "ui_qmwindow.h"

#include "messagebox.h"

#include "core/limits.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QShortcut>

KeyboardAccess::KeyboardAccess(Ui::QMWindow &ui, QMainWindow *window,
                               std::function<void()> openSoundFile)
    : QObject(window), window(window)
{
    const QList<QPushButton *> rows[] = {
        {ui.ThrOfLayer_1, ui.Del_Br_Button_1, ui.Play_Button_1},
        {ui.ThrOfLayer_2, ui.Del_Br_Button_2, ui.Play_Button_2},
        {ui.ThrOfLayer_3, ui.Del_Br_Button_3, ui.Play_Button_3},
        {ui.ThrOfLayer_4, ui.Del_Br_Button_4, ui.Play_Button_4},
        {ui.ThrOfLayer_5, ui.Del_Br_Button_5, ui.Play_Button_5},
        {ui.ThrOfLayer_6, ui.Del_Br_Button_6, ui.Play_Button_6},
        {ui.ThrOfLayer_7, ui.Del_Br_Button_7, ui.Play_Button_7},
        {ui.ThrOfLayer_8, ui.Del_Br_Button_8, ui.Play_Button_8},
    };
    for (const QList<QPushButton *> &row : rows) {
        for (QPushButton *button : row)
            chain << button;
    }
    chain << ui.ThresholdSlider << ui.GenerateButton;
    for (int i = 0; i < chain.size(); ++i) {
        chain[i]->installEventFilter(this);
        if (i > 0)
            QWidget::setTabOrder(chain[i - 1], chain[i]);
    }

    connect(new QShortcut(QKeySequence::Open, window), &QShortcut::activated, this,
            std::move(openSoundFile));
    QPushButton *generate = ui.GenerateButton;
    for (const QKeySequence &keys :
         {QKeySequence(QKeySequence::Save), QKeySequence(tr("Ctrl+G"))}) {
        connect(new QShortcut(keys, window), &QShortcut::activated, this, [generate] {
            if (generate->isVisible()) // while there is a layer to write
                generate->click();
        });
    }
    connect(new QShortcut(QKeySequence(tr("Ctrl+Q")), window), &QShortcut::activated, window,
            &QWidget::close);
    connect(new QShortcut(QKeySequence::HelpContents, window), &QShortcut::activated, this,
            [this] { showHelp(); });
}

bool KeyboardAccess::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::NoModifier)
        return moveFocus(static_cast<QWidget *>(watched), true);
    if (key->key() == Qt::Key_Backtab ||
        (key->key() == Qt::Key_Tab && key->modifiers() == Qt::ShiftModifier))
        return moveFocus(static_cast<QWidget *>(watched), false);
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
        (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    auto *button = qobject_cast<QAbstractButton *>(watched);
    if (!button || !button->isEnabled())
        return false;
    button->click();
    return true;
}

bool KeyboardAccess::moveFocus(QWidget *from, bool forward)
{
    const int at = int(chain.indexOf(from));
    const int count = int(chain.size());
    if (at < 0)
        return false;
    for (int step = 1; step < count; ++step) {
        QWidget *next = chain[(at + (forward ? step : count - step)) % count];
        if (next->isVisible() && next->isEnabled()) {
            next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

QString KeyboardAccess::HelpText()
{
    return tr("QuelmarR4FileGen packs up to %1 short recordings, the layers, into one .qms sound "
              "file for the Quelmar R4 sound player.\n\n"
              "Each layer has a threshold from 1 to %2. They fall from layer 1 to the last "
              "layer, whose threshold is always 1, and the player uses them to choose among the "
              "layers. They are spread evenly whenever a layer is added or removed; to change "
              "one, press its threshold and move the slider: the layers around it move along.\n\n"
              "+ adds a layer (a WAV file of 44100 Hz, 16-bit, mono; other audio files are "
              "offered for conversion, and the converted copy is saved where you say), X removes "
              "the last one. Generate saves the sound file where you choose; the open dialog "
              "and the save dialog start in the folders last used.\n\n"
              "A right click on a layer's row (or the Menu key) opens its menu: Prepare… shows "
              "its waveform and figures and saves a prepared copy (trimmed, set to a loudness or "
              "peak, faded, cut to fit) in its place; Match Loudness… brings every layer to one "
              "loudness.\n\n"
              "Keys: Ctrl+O open a sound file, Ctrl+S or Ctrl+G generate, Ctrl+L match the "
              "loudness, Menu or Shift+F10 a row's menu, Ctrl+Q quit, Tab and "
              "Enter to move and press, the arrow keys, Page Up and Down, Home and End on the "
              "slider.")
        .arg(Limits::LayerCount)
        .arg(Limits::ThresholdCeiling);
}

void KeyboardAccess::showHelp()
{
    QMessageBox box(QMessageBox::Information, tr("Help"), QString(), QMessageBox::Ok, window);
    SetBoxTexts(box, tr("QuelmarR4FileGen"), HelpText());
    box.exec();
}
