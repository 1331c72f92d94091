#ifndef COMMANDLINEFILES_H
#define COMMANDLINEFILES_H

#include <QStringList>

class QMWindow;

// Opens the files the program was started with (`arguments` as
// QCoreApplication::arguments() gives them, the program first) in `window`
// through QMWindow::OpenFiles(), once the window is on screen (so that their
// boxes are placed over it) and the event loop runs: "Open with" from a
// file manager, or `QuelmarR4FileGen kick.wav snare.wav`. Relative paths are
// taken from the current folder.
void OpenCommandLineFiles(QMWindow &window, const QStringList &arguments);

#endif // COMMANDLINEFILES_H
