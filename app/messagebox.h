#ifndef MESSAGEBOX_H
#define MESSAGEBOX_H

#include "core/statusmessage.h"

#include <QString>
#include <QStringList>

class QMessageBox;
class QWidget;

// The texts of one of the window's message boxes: `text` as its text and
// `details` as its informative text, both plain text, never markup, so that a
// file's name in them shows as it is written (a name such as
// "<img src=...>.wav" loads nothing). The box is made wide enough that a
// reason reads as lines of text rather than a narrow column.
void SetBoxTexts(QMessageBox &box, const QString &text, const QString &details);

// Shows the box of `message` on `parent` with `details` as its informative
// text and waits until it is closed. It has OK, which Escape presses too,
// and `action` (e.g. "&Convert…") beside it when given; returns true when
// that was clicked.
bool ShowMessageBox(QWidget *parent, const StatusMessage &message, const QString &details,
                    const QString &action = QString());

// The same with the buttons `actions` beside OK; returns the index of the one
// clicked, -1 for OK.
int ShowMessageBoxChoice(QWidget *parent, const StatusMessage &message, const QString &details,
                         const QStringList &actions);

// What a refusal's box says about the file at `path`: its name and `reason`
// ("kick.wav: 2 channels, needs 1 (mono)"); the reason alone when there is no
// path.
QString RefusalDetails(const QString &path, const QString &reason);

#endif // MESSAGEBOX_H
