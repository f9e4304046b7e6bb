// The main window before any command, its resize rule, and quitting.

#include "uiFixture.h"

#include "pictureView.h"

#include <QAction>
#include <QFrame>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QWindow>

namespace {

using MainWindow = UiTest;

TEST_F(MainWindow, StartsWithOnlyTheMenu) {
    TForm1& window = Window();
    EXPECT_EQ(window.windowTitle(), "Tollvane");
    EXPECT_EQ(window.size(), QSize(800, 600));
    EXPECT_FALSE(window.Panel1->isVisible());
    for (QWidget* part :
         {static_cast<QWidget*>(window.Button2), static_cast<QWidget*>(window.Button1),
          static_cast<QWidget*>(window.CopyBtn), static_cast<QWidget*>(window.ScrollBox2),
          static_cast<QWidget*>(window.Memo1)}) {
        SCOPED_TRACE(part->objectName().toStdString());
        EXPECT_FALSE(part->isVisible());
    }
    EXPECT_EQ(window.Memo1->toPlainText(), "");
    EXPECT_EQ(window.CopyBtn->text(), QString::fromUtf8("Kopírovat soubor"));
    EXPECT_EQ(window.TargetDir(), "");
    EXPECT_TRUE(window.Images().Empty());
}

TEST_F(MainWindow, MenuHoldsTheCommands) {
    TForm1& window = Window();
    const QList<QAction*> top = window.menuBar()->actions();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0]->text(), "&Soubor");
    EXPECT_EQ(top[0]->menu(), window.Soubor1);
    EXPECT_EQ(top[1]->text(), "&Help");
    EXPECT_EQ(top[1]->menu(), window.Help1);

    struct Item {
        const char* Caption; // nullptr for the separator line
        QKeySequence Shortcut;
    };
    const Item file[] = {{"Vybrat &cílový adresář", {}},
                         {"Vybrat &obrázky", {}},
                         {nullptr, {}},
                         {"&Konec", QKeySequence(Qt::CTRL | Qt::Key_X)}};
    const QList<QAction*> items = window.Soubor1->actions();
    ASSERT_EQ(items.size(), 4);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        if (file[i].Caption == nullptr) {
            EXPECT_TRUE(items[i]->isSeparator());
            continue;
        }
        EXPECT_FALSE(items[i]->isSeparator());
        EXPECT_EQ(items[i]->text(), QString::fromUtf8(file[i].Caption));
        EXPECT_EQ(items[i]->shortcut(), file[i].Shortcut);
        EXPECT_TRUE(items[i]->isEnabled());
    }
    EXPECT_EQ(items[0], window.Vybratvzor1);
    EXPECT_EQ(items[1], window.Vybratostatn1);
    EXPECT_EQ(items[3], window.Konec1);

    const QList<QAction*> help = window.Help1->actions();
    ASSERT_EQ(help.size(), 1);
    EXPECT_EQ(help[0], window.Oaplikaci1);
    EXPECT_EQ(help[0]->text(), "&O programu");
    EXPECT_TRUE(help[0]->shortcut().isEmpty());
}

// Checks the resize rule against the client area's current size.
void ExpectLaidOut(TForm1& window) {
    const int w = window.centralWidget()->width();
    const int h = window.centralWidget()->height();
    SCOPED_TRACE("client " + std::to_string(w) + "x" + std::to_string(h));
    EXPECT_EQ(window.Panel1->geometry(), QRect(0, 0, w, h));
    EXPECT_EQ(window.ScrollBox2->geometry(), QRect(0, 0, w, h - 49 - 34));
    EXPECT_EQ(window.Memo1->geometry(), QRect(0, h - 49, w, 49));
    EXPECT_EQ(window.Panel3->geometry(), QRect(0, h - 83, 121, 34));
    EXPECT_EQ(window.CopyBtn->geometry(), QRect(122, h - 83, 641, 33));
    // The strip's own parts keep their designed places.
    EXPECT_EQ(window.Button2->geometry(), QRect(0, 5, 33, 20));
    EXPECT_EQ(window.Edit1->geometry(), QRect(40, 4, 33, 21));
    EXPECT_EQ(window.Button1->geometry(), QRect(80, 5, 33, 20));
}

TEST_F(MainWindow, ResizeRuleLaysOutThePanel) {
    MakeFolder("pictures");
    PutJpeg(Desktop() + "/pictures/a.jpg", {});
    TForm1& window = Window();
    {
        SCOPED_TRACE("as first shown, panel hidden");
        ExpectLaidOut(window);
    }
    ChooseSource(Desktop() + "/pictures");
    ASSERT_TRUE(window.Panel1->isVisible());
    const QSize sizes[] = {{800, 600}, {1000, 700}, {640, 300}, {800, 600}};
    for (const QSize& size : sizes) {
        SCOPED_TRACE("window " + std::to_string(size.width()) + "x" +
                     std::to_string(size.height()));
        window.resize(size);
        QCoreApplication::processEvents();
        ASSERT_EQ(window.size(), size);
        ExpectLaidOut(window);
        // The client area is the window less its menu bar.
        EXPECT_EQ(window.centralWidget()->width(), size.width());
        EXPECT_LT(window.centralWidget()->height(), size.height());
    }
}

TEST_F(MainWindow, CtrlXQuitsAtOnce) {
    TForm1& window = Window();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ModalDriver driver; // any confirmation would be an unclaimed modal window
    QTest::keyClick(&window, Qt::Key_X, Qt::ControlModifier);
    EXPECT_FALSE(window.isVisible());
    QTest::qWait(50);
    EXPECT_TRUE(driver.Boxes().empty());
}

TEST_F(MainWindow, KonecAndTheCloseBoxQuitAtOnce) {
    const struct {
        const char* Name;
        std::function<void(TForm1&)> Quit;
    } ways[] = {{"menu Konec", [](TForm1& window) { window.Konec1->trigger(); }},
                {"close box", [](TForm1& window) { window.windowHandle()->close(); }}};
    for (const auto& way : ways) {
        SCOPED_TRACE(way.Name);
        TForm1& window = Window();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ModalDriver driver;
        way.Quit(window);
        EXPECT_FALSE(window.isVisible());
        QTest::qWait(50);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

} // namespace
