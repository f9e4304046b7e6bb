// The main window's components, menu and resize rule.

#include "mainWindow.h"

#include "designFont.h"
#include "messageBoxes.h"
#include "pictureView.h"

#include <QEvent>
#include <QFrame>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>

namespace {

// The colour of a scroll bar's track on the platform the window was designed for.
const QColor kScrollBarColour(0xC8, 0xC8, 0xC8);

QPushButton* makeButton(const QString& caption, QWidget* parent, const char* name, QRect bounds) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(bounds);
    button->setAutoDefault(false);
    return button;
}

// The info box and the position box take no input, but their text must read
// as well as any other.
void keepTextReadable(QWidget* widget, const QColor& base) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Disabled, QPalette::Text,
                     palette.color(QPalette::Active, QPalette::WindowText));
    palette.setColor(QPalette::Disabled, QPalette::Base, base);
    widget->setPalette(palette);
}

QFrame* makePanel(QWidget* parent, const char* name, QRect bounds) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameShape(QFrame::NoFrame);
    panel->setGeometry(bounds);
    return panel;
}

} // namespace

void TForm1::buildDesign() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tollvane"));
    setFont(DesignFont(11));
    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->installEventFilter(this);

    Panel1 = makePanel(client, "Panel1", {8, 8, 769, 529});
    Panel1->setVisible(false);

    Memo1 = new QPlainTextEdit(Panel1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(9, 473, 760, 49);
    Memo1->setEnabled(false);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    keepTextReadable(Memo1, Memo1->palette().color(QPalette::Active, QPalette::Base));

    ScrollBox2 = new QScrollArea(Panel1);
    ScrollBox2->setObjectName(QStringLiteral("ScrollBox2"));
    ScrollBox2->setGeometry(8, 8, 761, 433);
    ScrollBox2->setWidgetResizable(false);
    ScrollBox2->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Image2 = new PictureView;
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setFixedSize(97, 96);
    ScrollBox2->setWidget(Image2);

    Panel3 = makePanel(Panel1, "Panel3", {8, 440, 121, 34});
    Button2 = makeButton(QStringLiteral("<"), Panel3, "Button2", {0, 5, 33, 20});
    Edit1 = new QLineEdit(Panel3);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(40, 4, 33, 21);
    Edit1->setEnabled(false);
    Edit1->setFont(DesignFont(11, true));
    Edit1->setTextMargins(0, 0, 0, 0);
    keepTextReadable(Edit1, kScrollBarColour);
    Button1 = makeButton(QStringLiteral(">"), Panel3, "Button1", {80, 5, 33, 20});

    CopyBtn =
        makeButton(QString::fromUtf8("Kopírovat soubor"), Panel1, "CopyBtn", {128, 440, 641, 33});
    CopyBtn->setFont(DesignFont(13, true));
    CopyBtn->setVisible(false);

    setTabOrder(Memo1, ScrollBox2);
    setTabOrder(ScrollBox2, Button2);
    setTabOrder(Button2, Edit1);
    setTabOrder(Edit1, Button1);
    setTabOrder(Button1, CopyBtn);

    connect(Button1, &QPushButton::clicked, this,
            [this] { RunGuarded(this, [this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this,
            [this] { RunGuarded(this, [this] { Button2Click(); }); });
    connect(CopyBtn, &QPushButton::clicked, this,
            [this] { RunGuarded(this, [this] { CopyBtnClick(); }); });
    connect(
        Image2, &PictureView::DecodeFailed, this,
        [this](const QString& message) { ShowError(this, message); }, Qt::QueuedConnection);
}

void TForm1::buildMenu() {
    const auto guarded = [this](void (TForm1::*handler)()) {
        return [this, handler] { RunGuarded(this, [this, handler] { (this->*handler)(); }); };
    };
    Soubor1 = menuBar()->addMenu(QStringLiteral("&Soubor"));
    Soubor1->setObjectName(QStringLiteral("Soubor1"));
    Vybratvzor1 = Soubor1->addAction(QString::fromUtf8("Vybrat &cílový adresář"), this,
                                     guarded(&TForm1::Vybratvzor1Click));
    Vybratvzor1->setObjectName(QStringLiteral("Vybratvzor1"));
    Vybratostatn1 = Soubor1->addAction(QString::fromUtf8("Vybrat &obrázky"), this,
                                       guarded(&TForm1::Vybratostatn1Click));
    Vybratostatn1->setObjectName(QStringLiteral("Vybratostatn1"));
    Soubor1->addSeparator()->setObjectName(QStringLiteral("N1"));
    Konec1 = Soubor1->addAction(QStringLiteral("&Konec"), this, guarded(&TForm1::Konec1Click));
    Konec1->setObjectName(QStringLiteral("Konec1"));
    Konec1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));

    Help1 = menuBar()->addMenu(QStringLiteral("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    Oaplikaci1 =
        Help1->addAction(QStringLiteral("&O programu"), this, guarded(&TForm1::Oaplikaci1Click));
    Oaplikaci1->setObjectName(QStringLiteral("Oaplikaci1"));
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        FormResize();
    return QMainWindow::eventFilter(watched, event);
}

// The picture area takes the whole client area but for the info box at the
// bottom and the 34-pixel band above it that holds the buttons.
void TForm1::FormResize() {
    const int w = centralWidget()->width();
    const int h = centralWidget()->height();
    const int m = Memo1->height();
    Panel1->setGeometry(0, 0, w, h);
    ScrollBox2->setGeometry(0, 0, w, h - m - 34);
    Memo1->setGeometry(0, h - m, w, m);
    Panel3->move(0, h - m - 34);
    CopyBtn->move(122, h - m - 34);
}
