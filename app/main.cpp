#include "commandlinefiles.h"
#include "qmwindow.h"

#include "core/cleanupregistry.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    RemoveTemporaryFilesOnSignals();
    QApplication application(argc, argv);
    // Ties the window to its installed launcher (Wayland app id, task bar icon).
    QGuiApplication::setDesktopFileName(QStringLiteral("com.quelmar.QuelmarR4FileGen"));
    QMWindow window;
    window.show();
    OpenCommandLineFiles(window, QCoreApplication::arguments());
    return application.exec();
}
