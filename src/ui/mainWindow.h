#pragma once

#include "imageList.h"
#include "preloader.h"

#include <QMainWindow>

#include <string>

class PictureView;
class QAction;
class QFrame;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class TForm2;
class TForm3;

// The main window: the picture on show with its position and info lines,
// the buttons that step through the source folder's pictures, the copy
// button, and the menu that starts the commands. It owns all the program's
// state.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Components, named as in the window's design.
    QFrame* Panel1;
    QPlainTextEdit* Memo1;
    QScrollArea* ScrollBox2;
    PictureView* Image2;
    QFrame* Panel3;
    QPushButton* Button2;
    QLineEdit* Edit1;
    QPushButton* Button1;
    QPushButton* CopyBtn;
    QMenu* Soubor1;
    QAction* Vybratvzor1;
    QAction* Vybratostatn1;
    QAction* Konec1;
    QMenu* Help1;
    QAction* Oaplikaci1;

    TForm2* DirectoryBrowser() const { return Form2; }
    TForm3* AboutBox() const { return Form3; }
    const browser::ImageList& Images() const { return Files; }
    const std::string& TargetDir() const { return Target; }
    // Waits until the pictures next to the one on show are ready.
    void WaitForPreloads() { Preloads.WaitIdle(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildDesign();
    void buildMenu();
    void FormCreate();
    void FormResize();
    void updateCopyButton();

    void Vybratostatn1Click();
    void Vybratvzor1Click();
    void Button1Click();
    void Button2Click();
    void CopyBtnClick();
    void Konec1Click();
    void Oaplikaci1Click();
    void ShowFileInfo(int position, const browser::TSearchRec& entry);
    void showCurrentPicture();
    void preloadNeighbours();

    browser::ImageList Files; // Files, FileIndex and SourceDir
    std::string Target;
    TForm2* Form2 = nullptr;
    TForm3* Form3 = nullptr;
    browser::Preloader Preloads;
};
