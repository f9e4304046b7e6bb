#include "help.h"

#include "designFont.h"

#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>

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

// The text was laid out for the designed face; where another face stands in
// and is wider, a smaller size keeps every line whole and all eight visible.
QFont fittingFont(const QStringList& lines, const QSize& box) {
    QFont font = DesignFont(11);
    for (int size = 11; size > 6; --size) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        int widest = 0;
        for (const QString& line : lines)
            widest = std::max(widest, metrics.horizontalAdvance(line));
        if (widest < box.width() - 4 && metrics.lineSpacing() * lines.size() <= box.height())
            break;
    }
    return font;
}

} // namespace

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("O programu"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(DesignFont(11));
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
    Memo1->setFont(fittingFont(lines, Memo1->size()));
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
