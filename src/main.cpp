#include "mainWindow.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    TForm1 form;
    form.show();
    return application.exec();
}
