#include "commandlinefiles.h"
#include "informationoptions.h"
#include "qmwindow.h"

#include "core/cleanupregistry.h"
#include "core/nametext.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    AnswerInformationOptions(argc, argv);
    RemoveTemporaryFilesOnSignals();
    QApplication application(argc, argv);
    // Ties the window to its installed launcher (Wayland app id, task bar icon).
    QGuiApplication::setDesktopFileName(QStringLiteral("com.quelmar.QuelmarR4FileGen"));
    QMWindow window;
    window.show();
    // Decoded here, not by QCoreApplication::arguments(): a name keeps a leading U+FEFF.
    OpenCommandLineFiles(window, ArgumentNames(argc, argv));
    return application.exec();
}
