#include "qmwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QMWindow window;
    window.show();
    return application.exec();
}
