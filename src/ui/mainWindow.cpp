#include "mainWindow.h"

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Tollvane"));
    resize(800, 600);
}
