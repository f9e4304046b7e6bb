#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

// The about box: what the program is for and how to use it.
class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1;
    QPushButton* Button1;

public slots:
    // Closing by the close box answers like "Zavřít".
    void reject() override;

private:
    void Button1Click();
};
