#ifndef KEYBOARDACCESS_H
#define KEYBOARDACCESS_H

#include <QList>
#include <QObject>

#include <functional>

class QMainWindow;
class QWidget;

namespace Ui {
class QMWindow;
}

// The window without a mouse. Tab goes row by row (threshold, add or remove,
// play), then to the slider and Generate, skipping what is hidden or
// disabled; Shift+Tab goes back. (Qt's own Tab would stop only at the
// checked button of the thresholds' exclusive group, as for radio buttons.)
// Enter and Return press the button in focus as Space does. Shortcuts: Ctrl+O opens a sound file
// (`openSoundFile`), Ctrl+S and Ctrl+G generate, Ctrl+Q closes the window
// (asking first when layers are not saved) and F1 shows a short help.
class KeyboardAccess : public QObject
{
public:
    KeyboardAccess(Ui::QMWindow &form, QMainWindow *window, std::function<void()> openSoundFile);

    // What F1 shows.
    static QString HelpText();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showHelp();
    // Gives the focus to the next control after `from` that can take it.
    bool moveFocus(QWidget *from, bool forward);

    QMainWindow *window;
    QList<QWidget *> chain; // the Tab order
};

#endif // KEYBOARDACCESS_H
