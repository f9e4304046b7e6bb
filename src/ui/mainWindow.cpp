#include "mainWindow.h"

#include "directoryBrowser.h"
#include "fileServices.h"
#include "help.h"
#include "messageBoxes.h"
#include "pictureView.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

QString fromBytes(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}
std::string toBytes(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

} // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    buildDesign();
    buildMenu();
    resize(800, 600);
    move(112, 103);
    FormCreate();
}

TForm1::~TForm1() {
    delete Form2;
    delete Form3;
}

void TForm1::FormCreate() {
    Form2 = new TForm2;
    Form3 = new TForm3;
    updateCopyButton();
}

void TForm1::Vybratostatn1Click() {
    if (Form2->exec() != 1)
        return;
    switch (Files.Scan(toBytes(Form2->SelectedPath()))) {
    case browser::ImageList::ScanOutcome::CannotEnter:
        ShowWarning(this, QString::fromUtf8("Nelze nalézt adresář!"));
        Panel1->setVisible(false);
        return;
    case browser::ImageList::ScanOutcome::NoPictures:
        ShowWarning(this, QString::fromUtf8("Adresář neobsahuje žádný JPG soubor!"));
        Panel1->setVisible(false);
        return;
    case browser::ImageList::ScanOutcome::Listed:
        Panel1->setVisible(true);
        showCurrentPicture();
        return;
    }
}

void TForm1::Button1Click() {
    Files.StepForward();
    showCurrentPicture();
}

void TForm1::Button2Click() {
    Files.StepBack();
    showCurrentPicture();
}

// Loads the current entry; when the load fails the position and info lines
// keep describing the picture still on show.
void TForm1::showCurrentPicture() {
    const browser::TSearchRec& entry = Files.CurrentEntry();
    Image2->LoadPicture(entry.Name, &Preloads);
    updateCopyButton();
    ShowFileInfo(Files.Position(), entry);
    preloadNeighbours();
}

// The pictures one step away are read and decoded in the background while
// the user looks at this one. Paths are absolute: the working directory may
// change before they are used.
void TForm1::preloadNeighbours() {
    std::vector<std::string> paths;
    for (const browser::TSearchRec* entry : Files.Neighbours()) {
        if (browser::IsJpegExtension(entry->Name))
            paths.push_back(browser::FullPath(entry->Name));
    }
    Preloads.Want(std::move(paths));
}

void TForm1::ShowFileInfo(int position, const browser::TSearchRec& entry) {
    const auto [nameLine, sizeLine] = Files.InfoLines(entry);
    Edit1->setText(QString::number(position));
    Memo1->clear();
    Memo1->appendPlainText(fromBytes(nameLine));
    Memo1->appendPlainText(fromBytes(sizeLine));
}

void TForm1::Vybratvzor1Click() {
    if (Form2->exec() != 1)
        return;
    Target = toBytes(Form2->SelectedPath());
    CopyBtn->setVisible(true);
    CopyBtn->setText(QString::fromUtf8("Kopírovat soubor do ") + fromBytes(Target));
}

// Copies the picture on show under the name it was loaded from, so a failed
// load that already moved the position never writes one file's content
// under another file's name.
void TForm1::CopyBtnClick() {
    const browser::TPicture& picture = Image2->Picture();
    if (picture.Graphic() == nullptr)
        return;
    picture.Save(browser::JoinPath(Target, picture.LoadedName()));
}

// Copying needs a picture on show; until the first load succeeds there is none.
void TForm1::updateCopyButton() {
    CopyBtn->setEnabled(Image2->Picture().Graphic() != nullptr);
}

void TForm1::Konec1Click() {
    close();
}

void TForm1::Oaplikaci1Click() {
    Form3->exec();
}
