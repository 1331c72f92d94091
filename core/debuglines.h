#ifndef DEBUGLINES_H
#define DEBUGLINES_H

#include <QLoggingCategory>

// The lines each notable step writes to Qt's debug output (the WAV check,
// the writer, Generate, the conversion): qCDebug(DebugLines) << ... They are
// on unless the user turns the category "qms.debug" off, e.g.
// QT_LOGGING_RULES="qms.debug=false".
Q_DECLARE_LOGGING_CATEGORY(DebugLines)

#endif // DEBUGLINES_H
