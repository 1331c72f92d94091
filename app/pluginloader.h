#ifndef PLUGINLOADER_H
#define PLUGINLOADER_H

#include <QString>

class QObject;

// Loads the window's plugin `name` (e.g. "qmsplayback"): first from Qt's
// library paths (the program's folder, QT_PLUGIN_PATH), then from the folder
// the plugins are installed in, relative to the program. Returns its object,
// or nullptr with the reason in `error`.
QObject *LoadWindowPlugin(const QString &name, QString *error);

#endif // PLUGINLOADER_H
