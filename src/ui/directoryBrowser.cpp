#include "directoryBrowser.h"

#include "designFont.h"
#include "fileServices.h"
#include "folderTree.h"
#include "messageBoxes.h"

#include <QFile>
#include <QKeyEvent>
#include <QPushButton>

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Vyberte adresář"));
    setModal(true);
    setFont(DesignFont(11));

    ShellTreeView1 = new FolderTree(this);
    ShellTreeView1->setObjectName(QStringLiteral("ShellTreeView1"));
    ShellTreeView1->setGeometry(8, 8, 200, 219);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(8, 231, 97, 25);
    connect(Button1, &QPushButton::clicked, this,
            [this] { RunGuarded(this, [this] { Button1Click(); }); });

    Button2 = new QPushButton(QStringLiteral("Storno"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(110, 232, 99, 25);
    connect(Button2, &QPushButton::clicked, this,
            [this] { RunGuarded(this, [this] { Button2Click(); }); });

    setTabOrder(ShellTreeView1, Button1);
    setTabOrder(Button1, Button2);

    resize(216, 267);
    move(175, 114);
}

QString TForm2::SelectedPath() const {
    return ShellTreeView1->SelectedPath();
}

void TForm2::Button1Click() {
    if (browser::DirectoryExists(QFile::encodeName(SelectedPath()).toStdString()))
        done(1);
    else
        ShowWarning(this, QStringLiteral("Vybraná položka není adresář!"));
}

void TForm2::Button2Click() {
    done(2);
}

void TForm2::reject() {
    done(2);
}

// The tree grows with the dialog; "OK" keeps to the left and bottom edges,
// "Storno" to the right and bottom edges.
void TForm2::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int w = width();
    const int h = height();
    ShellTreeView1->setGeometry(8, 8, w - 16, h - 48);
    Button1->move(8, h - 36);
    Button2->move(w - 106, h - 35);
}

// Neither button is a default or cancel button: Escape leaves the dialog
// open, and Enter presses a button only while it has the focus. A focused
// button takes Enter itself, so any Enter that reaches the dialog came from
// the tree, where QDialog would press the first button for it.
void TForm2::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
