// The folder chooser: its tree, its buttons, and its one instance shared by
// both commands.

#include "uiFixture.h"

#include "directoryBrowser.h"
#include "folderTree.h"
#include "pictureView.h"

#include <QDir>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTreeWidgetItem>
#include <QWindow>

#include <array>
#include <filesystem>

namespace {

using Chooser = UiTest;

QStringList Captions(const QTreeWidgetItem* item) {
    QStringList captions;
    for (int i = 0; i < item->childCount(); ++i)
        captions << item->child(i)->text(0);
    return captions;
}

QString PathOf(FolderTree* tree, QTreeWidgetItem* item) {
    tree->setCurrentItem(item);
    return tree->SelectedPath();
}

// The root is the desktop folder where there is one, else the home folder
// (and then no separate "Home" item); under it the virtual items, then the
// desktop's own folders by name as a file manager sorts them.
TEST_F(Chooser, TreeIsRootedAtTheDesktop) {
    // The user's language decides the order, as in their file manager: in
    // Czech "ch" comes after "h", and numbers go by value.
    struct LocaleGuard {
        LocaleGuard() { QLocale::setDefault(QLocale(QLocale::Czech, QLocale::Czechia)); }
        ~LocaleGuard() { QLocale::setDefault(QLocale::system()); }
    } czech;
    const std::string home = Home();
    struct Case {
        const char* Name;
        std::function<void()> Prepare;
        std::string Root;
        bool HomeItem;
    };
    const Case cases[] = {
        {"desktop folder", [] {}, home + "/Desktop", true},
        {"no desktop folder", [home] { std::filesystem::remove_all(home + "/Desktop"); }, home,
         false},
        {"desktop named in user-dirs.dirs",
         [home] {
             std::filesystem::create_directories(home + "/.config");
             std::filesystem::create_directories(home + "/Plocha");
             fixtures::WriteFile(home + "/.config/user-dirs.dirs",
                                 {std::begin("XDG_DESKTOP_DIR=\"$HOME/Plocha\"\n"),
                                  std::end("XDG_DESKTOP_DIR=\"$HOME/Plocha\"\n") - 1});
         },
         home + "/Plocha", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        c.Prepare();
        for (const char* name : {"b", "chata", "A", "a10", "hrad", "a9", ".hidden", "Žlutý"})
            std::filesystem::create_directories(c.Root + "/" + name);
        fixtures::WriteFile(c.Root + "/file", {'x'});

        TForm2 chooser;
        FolderTree* tree = chooser.ShellTreeView1;
        ASSERT_EQ(tree->topLevelItemCount(), 1);
        QTreeWidgetItem* root = tree->topLevelItem(0);
        EXPECT_EQ(root->text(0), "Desktop");
        EXPECT_EQ(tree->currentItem(), root);
        EXPECT_TRUE(root->isExpanded());
        EXPECT_EQ(chooser.SelectedPath(), FromBytes(c.Root));
        EXPECT_EQ(FolderTree::DesktopFolder(), FromBytes(c.Root));

        QStringList expected;
        if (c.HomeItem)
            expected << "Home";
        expected << "Computer"
                 << "Network"
                 << "A"
                 << "a9"
                 << "a10"
                 << "b"
                 << "hrad"
                 << "chata" << QString::fromUtf8("Žlutý");
        EXPECT_EQ(Captions(root), expected);

        QTreeWidgetItem* computer = tree->FindItem(QStringLiteral("computer:///"));
        ASSERT_NE(computer, nullptr);
        EXPECT_EQ(computer->parent(), root);
        computer->setExpanded(true);
        ASSERT_GE(computer->childCount(), 1);
        EXPECT_EQ(computer->child(0)->text(0), "File System");
        EXPECT_EQ(PathOf(tree, computer->child(0)), "/");

        QTreeWidgetItem* network = tree->FindItem(QStringLiteral("network:///"));
        ASSERT_NE(network, nullptr);
        network->setExpanded(true);
        EXPECT_EQ(network->childCount(), 0);
        EXPECT_EQ(network->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);

        if (c.HomeItem) {
            QTreeWidgetItem* homeItem = root->child(0);
            EXPECT_EQ(PathOf(tree, homeItem), FromBytes(home));
        }
        // A sub-folder lists its own folders when first expanded.
        std::filesystem::create_directories(c.Root + "/b/inner");
        QTreeWidgetItem* b = tree->FindItem(FromBytes(c.Root + "/b"));
        ASSERT_NE(b, nullptr);
        b->setExpanded(true);
        EXPECT_EQ(Captions(b), QStringList{"inner"});
        EXPECT_EQ(PathOf(tree, b->child(0)), FromBytes(c.Root + "/b/inner"));
        std::filesystem::remove_all(c.Root + "/b");
    }
}

// "Storno" and the close box close with 2, and whatever was selected,
// nothing of the window changes, whichever command opened the chooser.
TEST_F(Chooser, CancelChangesNothing) {
    const std::string pictures = MakeFolder("pictures");
    PutJpeg(pictures + "/a.jpg", {});
    PutJpeg(pictures + "/b.jpg", {});
    const std::string target = MakeFolder("target");
    const std::string other = MakeFolder("other");
    PutJpeg(other + "/c.jpg", {});
    TForm1& window = Window();
    ASSERT_TRUE(ChooseSource(pictures).empty());
    ASSERT_TRUE(ChooseTarget(target).empty());
    ASSERT_TRUE(Next().empty());

    const struct {
        const char* Name;
        std::function<void(TForm2*)> Cancel;
    } ways[] = {
        {"Storno", [](TForm2* chooser) { QTest::mouseClick(chooser->Button2, Qt::LeftButton); }},
        {"close box", [](TForm2* chooser) { chooser->windowHandle()->close(); }},
    };
    const struct {
        const char* Name;
        QAction* Command;
    } commands[] = {{"Vybrat obrázky", window.Vybratostatn1},
                    {"Vybrat cílový adresář", window.Vybratvzor1}};
    for (const auto& way : ways) {
        for (const auto& command : commands) {
            SCOPED_TRACE(std::string(way.Name) + " in " + command.Name);
            const WindowState before = State();
            const std::vector<SeenBox> boxes =
                Run([&] { command.Command->trigger(); },
                    [&](ModalDriver& driver) {
                        driver.Then<TForm2>("cancel", [&](TForm2* chooser) {
                            ClickItem(chooser->ShellTreeView1,
                                      RevealFolder(chooser->ShellTreeView1, FromBytes(other)));
                            way.Cancel(chooser);
                        });
                    });
            EXPECT_TRUE(boxes.empty());
            EXPECT_FALSE(window.DirectoryBrowser()->isVisible());
            EXPECT_EQ(window.DirectoryBrowser()->result(), 2);
            EXPECT_EQ(State(), before);
        }
    }
}

TEST_F(Chooser, OkRightAfterOpeningAcceptsTheDesktop) {
    PutJpeg(Desktop() + "/on the desktop.jpg", {});
    TForm1& window = Window();
    const std::vector<SeenBox> boxes =
        Run([&] { window.Vybratostatn1->trigger(); },
            [](ModalDriver& driver) {
                driver.Then<TForm2>("OK", [](TForm2* chooser) {
                    QTest::mouseClick(chooser->Button1, Qt::LeftButton);
                });
            });
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(window.DirectoryBrowser()->result(), 1);
    EXPECT_EQ(window.Images().sourceDir(), Desktop());
    EXPECT_TRUE(window.Panel1->isVisible());
    EXPECT_EQ(window.Image2->Picture().LoadedName(), "on the desktop.jpg");
}

// Neither button is a default or cancel button: Escape, and Enter outside
// a button, leave the chooser open; Enter on a focused button presses it.
TEST_F(Chooser, KeysCloseItOnlyThroughAFocusedButton) {
    TForm1& window = Window();
    const WindowState before = State();
    bool openAfterKeys = false;
    const std::vector<SeenBox> boxes = Run(
        [&] { window.Vybratvzor1->trigger(); },
        [&](ModalDriver& driver) {
            driver.Then<TForm2>("keys", [&](TForm2* chooser) {
                chooser->activateWindow();
                chooser->ShellTreeView1->setFocus();
                EXPECT_TRUE(QTest::qWaitFor([&] { return chooser->ShellTreeView1->hasFocus(); }));
                for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
                    QTest::keyClick(chooser->ShellTreeView1, key);
                    QTest::keyClick(chooser, key);
                }
                QTest::qWait(20);
                openAfterKeys = chooser->isVisible();
                chooser->Button2->setFocus();
                QTest::keyClick(chooser->Button2, Qt::Key_Return);
            });
        });
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(openAfterKeys);
    EXPECT_EQ(window.DirectoryBrowser()->result(), 2);
    EXPECT_EQ(State(), before);
}

// The tree follows all four edges, "OK" the left and bottom ones, "Storno"
// the right and bottom ones.
TEST_F(Chooser, ResizingGrowsTheTreeAndKeepsTheButtonsAnchored) {
    TForm1& window = Window();
    std::vector<std::pair<QSize, std::array<QRect, 3>>> seen;
    Run([&] { window.Vybratostatn1->trigger(); },
        [&](ModalDriver& driver) {
            driver.Then<TForm2>("resize", [&](TForm2* chooser) {
                for (const QSize size :
                     {QSize(216, 267), QSize(400, 500), QSize(300, 350), QSize(216, 267)}) {
                    chooser->resize(size);
                    QCoreApplication::processEvents();
                    seen.push_back({chooser->size(),
                                    {chooser->ShellTreeView1->geometry(),
                                     chooser->Button1->geometry(), chooser->Button2->geometry()}});
                }
                QTest::mouseClick(chooser->Button2, Qt::LeftButton);
            });
        });
    ASSERT_EQ(seen.size(), 4u);
    for (const auto& [size, bounds] : seen) {
        const int w = size.width();
        const int h = size.height();
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        EXPECT_EQ(bounds[0], QRect(8, 8, w - 16, h - 48));
        EXPECT_EQ(bounds[1], QRect(8, h - 36, 97, 25));
        EXPECT_EQ(bounds[2], QRect(w - 106, h - 35, 99, 25));
    }
    // The designed layout is the rule at the designed size.
    EXPECT_EQ(seen[0].second[0], QRect(8, 8, 200, 219));
    EXPECT_EQ(seen[0].second[1], QRect(8, 231, 97, 25));
    EXPECT_EQ(seen[0].second[2], QRect(110, 232, 99, 25));
}

// Both commands open the same chooser, which keeps its selection and the
// folders it has listed from one use to the next.
TEST_F(Chooser, BothCommandsShareOneChooserThatKeepsItsSelection) {
    const std::string deep = MakeFolder("outer/middle/inner");
    PutJpeg(deep + "/a.jpg", {});
    const std::string second = MakeFolder("second");
    TForm1& window = Window();
    TForm2* const chooser = window.DirectoryBrowser();
    ASSERT_NE(chooser, nullptr);

    std::vector<QWidget*> opened;
    std::vector<QString> selectedOnOpening;
    const auto note = [&](TForm2* shown) {
        opened.push_back(shown);
        selectedOnOpening.push_back(shown->SelectedPath());
    };
    Run([&] { window.Vybratostatn1->trigger(); },
        [&](ModalDriver& driver) {
            driver.Then<TForm2>("first", [&](TForm2* shown) {
                note(shown);
                ClickItem(shown->ShellTreeView1,
                          RevealFolder(shown->ShellTreeView1, FromBytes(deep)));
                QTest::mouseClick(shown->Button1, Qt::LeftButton);
            });
        });
    EXPECT_EQ(window.Images().sourceDir(), deep);
    bool outerStillExpanded = false;
    Run([&] { window.Vybratvzor1->trigger(); },
        [&](ModalDriver& driver) {
            driver.Then<TForm2>("second", [&](TForm2* shown) {
                note(shown);
                QTreeWidgetItem* outer =
                    shown->ShellTreeView1->FindItem(FromBytes(Desktop() + "/outer"));
                outerStillExpanded = outer != nullptr && outer->isExpanded();
                // A right click selects too.
                ClickItem(shown->ShellTreeView1,
                          RevealFolder(shown->ShellTreeView1, FromBytes(second)), Qt::RightButton);
                QTest::mouseClick(shown->Button1, Qt::LeftButton);
            });
        });
    EXPECT_EQ(window.TargetDir(), second);
    Run([&] { window.Vybratostatn1->trigger(); },
        [&](ModalDriver& driver) {
            driver.Then<TForm2>("third", [&](TForm2* shown) {
                note(shown);
                QTest::mouseClick(shown->Button2, Qt::LeftButton);
            });
        });
    ASSERT_EQ(opened.size(), 3u);
    for (QWidget* shown : opened)
        EXPECT_EQ(shown, chooser);
    EXPECT_EQ(selectedOnOpening[0], FromBytes(Desktop()));
    EXPECT_EQ(selectedOnOpening[1], FromBytes(deep));
    EXPECT_EQ(selectedOnOpening[2], FromBytes(second));
    EXPECT_TRUE(outerStillExpanded);
    EXPECT_EQ(window.DirectoryBrowser(), chooser);
}

} // namespace
