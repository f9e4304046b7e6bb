#include "help.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const char* const kText[] = {
    "Program je určený ke kopírování obrázků JPG",
    "",
    "Nejprve vyberte adresář, kde jsou obrázky uložené a posléze adresář,",
    "kam se mají kopírovat.",
    "",
    "Mezi nimi se poté pohybujete pomocí tlačítek < a >",
    "",
    "Toť vše.",
};

} // namespace

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("O programu"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(353, 152);
    move(331, 256);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 8, 337, 105);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->document()->setDocumentMargin(0);
    QStringList lines;
    for (const char* line : kText)
        lines << QString::fromUtf8(line);
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
    // Disabled so it takes no focus and no selection; the text blends into
    // the dialog in black rather than the greyed colour of disabled text.
    Memo1->setEnabled(false);
    QPalette palette = Memo1->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, palette.color(QPalette::Active, QPalette::Window));
        palette.setColor(group, QPalette::Text, Qt::black);
    }
    Memo1->setPalette(palette);

    Button1 = new QPushButton(QString::fromUtf8("Zavřít"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(8, 120, 337, 25);
    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
}

void TForm3::Button1Click() {
    done(2);
}

void TForm3::reject() {
    done(2);
}
