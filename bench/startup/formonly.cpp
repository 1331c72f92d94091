// The baseline for the window's start-up: the same form (forms/qmwindow.ui
// through uic) with the same images, shown on a plain QMainWindow, and
// nothing else.
#include "ui_qmwindow.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    Ui::QMWindow form;
    form.setupUi(&window);
    window.show();
    return application.exec();
}
