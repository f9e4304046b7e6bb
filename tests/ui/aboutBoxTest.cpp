// The about box.

#include "uiFixture.h"

#include "help.h"

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QWindow>

namespace {

using AboutBox = UiTest;

const char* const kLines[] = {
    "Program je určený ke kopírování obrázků JPG",
    "",
    "Nejprve vyberte adresář, kde jsou obrázky uložené a posléze adresář,",
    "kam se mají kopírovat.",
    "",
    "Mezi nimi se poté pohybujete pomocí tlačítek < a >",
    "",
    "Toť vše.",
};

QString ExpectedText() {
    QStringList lines;
    for (const char* line : kLines)
        lines << QString::fromUtf8(line);
    return lines.join('\n');
}

struct Seen {
    QString Title;
    QString Text;
    QSize Size, Minimum, Maximum;
    Qt::WindowFlags Flags;
    int VisualLines = 0;
    int TextHeight = 0;
    int BoxHeight = 0;
    QString Button;
};

Seen Look(TForm3* box) {
    Seen seen;
    seen.Title = box->windowTitle();
    seen.Text = box->Memo1->toPlainText();
    seen.Size = box->size();
    seen.Minimum = box->minimumSize();
    seen.Maximum = box->maximumSize();
    seen.Flags = box->windowFlags();
    seen.Button = box->Button1->text();
    // Lay out every line at the box's width, wrapping as it shows them.
    QTextDocument* document = box->Memo1->document();
    QAbstractTextDocumentLayout* layout = document->documentLayout();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QRectF bounds = layout->blockBoundingRect(block);
        seen.VisualLines += block.layout()->lineCount();
        seen.TextHeight += static_cast<int>(std::ceil(bounds.height()));
    }
    seen.BoxHeight = box->Memo1->viewport()->height();
    return seen;
}

TEST_F(AboutBox, ShowsItsEightLinesWholeAndClosesWithCancel) {
    TForm1& window = Window();
    const WindowState before = State();
    const struct {
        const char* Name;
        std::function<void(TForm3*)> Close;
    } ways[] = {
        {"Zavřít", [](TForm3* box) { QTest::mouseClick(box->Button1, Qt::LeftButton); }},
        {"close box", [](TForm3* box) { box->windowHandle()->close(); }},
        {"Zavřít again", [](TForm3* box) { QTest::mouseClick(box->Button1, Qt::LeftButton); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.Name);
        Seen seen;
        QWidget* opened = nullptr;
        const std::vector<SeenBox> boxes = Run([&] { window.Oaplikaci1->trigger(); },
                                               [&](ModalDriver& driver) {
                                                   driver.Then<TForm3>("about", [&](TForm3* box) {
                                                       opened = box;
                                                       seen = Look(box);
                                                       way.Close(box);
                                                   });
                                               });
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(opened, window.AboutBox());
        EXPECT_FALSE(window.AboutBox()->isVisible());
        EXPECT_EQ(window.AboutBox()->result(), 2);

        EXPECT_EQ(seen.Title, "O programu");
        EXPECT_EQ(seen.Text, ExpectedText());
        EXPECT_EQ(seen.Button, QString::fromUtf8("Zavřít"));
        EXPECT_EQ(seen.Size, QSize(353, 152));
        EXPECT_EQ(seen.Minimum, QSize(353, 152));
        EXPECT_EQ(seen.Maximum, QSize(353, 152));
        EXPECT_FALSE(seen.Flags & Qt::WindowMinimizeButtonHint);
        EXPECT_FALSE(seen.Flags & Qt::WindowMaximizeButtonHint);
        EXPECT_GE(seen.VisualLines, 8);
        EXPECT_LE(seen.TextHeight, seen.BoxHeight)
            << seen.VisualLines << " lines on show need " << seen.TextHeight << " px";
        EXPECT_EQ(seen.BoxHeight, 105);
    }
    EXPECT_EQ(State(), before);
}

} // namespace
