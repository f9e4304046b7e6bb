#pragma once

#include <QDialog>

class FolderTree;
class QPushButton;

// The folder chooser: a tree of folders with "OK" and "Storno". It closes
// with result 1 only for a selected item that is an existing directory.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    // The full path of the selected folder; read after exec() returned 1.
    QString SelectedPath() const;

    FolderTree* ShellTreeView1;
    QPushButton* Button1;
    QPushButton* Button2;

public slots:
    // Closing by the close box answers like "Storno".
    void reject() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Button1Click();
    void Button2Click();
};
