// The warnings of the folder chooser and of choosing the source folder.

#include "uiFixture.h"

#include "directoryBrowser.h"
#include "folderTree.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidgetItem>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>

namespace {

using Warnings = UiTest;

const char kNotAFolder[] = "Vybraná položka není adresář!";
const char kCannotFind[] = "Nelze nalézt adresář!";
const char kNoPictures[] = "Adresář neobsahuje žádný JPG soubor!";

void ExpectWarning(const std::vector<SeenBox>& boxes, const char* text) {
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, QString::fromUtf8(text));
    EXPECT_EQ(boxes[0].Title, "Warning");
    EXPECT_EQ(boxes[0].Icon, QMessageBox::Warning);
    EXPECT_EQ(boxes[0].Buttons, QStringList{"OK"});
}

// Root passes every permission check through two capabilities. Dropping
// them from this thread's effective set (they stay permitted, so they can
// be raised again) lets a folder without permissions stop chdir as it stops
// any other user.
class WithoutPermissionOverride {
public:
    WithoutPermissionOverride() {
        if (::syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        active_ = ::syscall(SYS_capset, &header_, lowered) == 0;
    }
    ~WithoutPermissionOverride() {
        if (active_)
            ::syscall(SYS_capset, &header_, saved_);
    }
    WithoutPermissionOverride(const WithoutPermissionOverride&) = delete;
    WithoutPermissionOverride& operator=(const WithoutPermissionOverride&) = delete;

    bool Active() const { return active_; }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool active_ = false;
};

// OK on an item that is no folder: the warning, and the chooser stays open
// with the same selection until "Storno".
TEST_F(Warnings, OkOnAnItemThatIsNoFolderWarnsAndKeepsTheChooserOpen) {
    const std::string vanishing = MakeFolder("vanishing");
    const struct {
        const char* Name;
        QString Path;
        std::function<void()> Prepare;
    } cases[] = {
        {"Computer", QStringLiteral("computer:///"), {}},
        {"Network", QStringLiteral("network:///"), {}},
        {"folder removed after the tree was filled", FromBytes(vanishing),
         [vanishing] { std::filesystem::remove(vanishing); }},
    };
    TForm1& window = Window();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const WindowState before = State();
        bool stayedOpen = false;
        const std::vector<SeenBox> boxes =
            Run([&] { window.Vybratostatn1->trigger(); },
                [&](ModalDriver& driver) {
                    driver.Then<TForm2>("select and OK", [&](TForm2* chooser) {
                        QTreeWidgetItem* item = RevealFolder(chooser->ShellTreeView1, c.Path);
                        ASSERT_NE(item, nullptr);
                        ClickItem(chooser->ShellTreeView1, item);
                        if (c.Prepare)
                            c.Prepare();
                        QTest::mouseClick(chooser->Button1, Qt::LeftButton);
                    });
                    driver.Then<TForm2>("Storno", [&](TForm2* chooser) {
                        stayedOpen = chooser->isVisible();
                        EXPECT_EQ(chooser->SelectedPath(), c.Path);
                        QTest::mouseClick(chooser->Button2, Qt::LeftButton);
                    });
                });
        ExpectWarning(boxes, kNotAFolder);
        EXPECT_TRUE(stayedOpen);
        EXPECT_EQ(window.DirectoryBrowser()->result(), 2);
        EXPECT_EQ(State(), before);
    }
}

// A folder that passed the chooser's check but cannot be entered: the
// warning, the viewer panel hidden, the list and working directory kept.
TEST_F(Warnings, AFolderThatCannotBeEnteredWarnsAndHidesThePanel) {
    const std::string pictures = MakeFolder("pictures");
    PutJpeg(pictures + "/a.jpg", {});
    const std::string locked = MakeFolder("locked");
    PutJpeg(locked + "/b.jpg", {});
    const std::string doomed = MakeFolder("doomed");
    PutJpeg(doomed + "/c.jpg", {});
    TForm1& window = Window();

    {
        SCOPED_TRACE("a folder without permissions");
        ASSERT_TRUE(ChooseSource(pictures).empty());
        ASSERT_TRUE(window.Panel1->isVisible());
        WindowState before = State();
        ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
        std::vector<SeenBox> boxes;
        {
            WithoutPermissionOverride lowered;
            if (!lowered.Active() || ::chdir(locked.c_str()) == 0) {
                ::chdir(pictures.c_str());
                ::chmod(locked.c_str(), 0755);
                GTEST_SKIP() << "this machine lets the test process enter a folder without "
                                "permissions (cannot drop CAP_DAC_OVERRIDE/CAP_DAC_READ_SEARCH)";
            }
            boxes = ChooseSource(locked);
        }
        ::chmod(locked.c_str(), 0755);
        ExpectWarning(boxes, kCannotFind);
        before.PanelShown = false;
        EXPECT_EQ(State(), before);
    }
    {
        SCOPED_TRACE("a folder removed between OK and the scan");
        ASSERT_TRUE(ChooseSource(pictures).empty());
        ASSERT_TRUE(window.Panel1->isVisible());
        WindowState before = State();
        const std::vector<SeenBox> boxes =
            Run([&] { window.Vybratostatn1->trigger(); },
                [&](ModalDriver& driver) {
                    driver.Then<TForm2>("OK, then remove", [&](TForm2* chooser) {
                        ClickItem(chooser->ShellTreeView1,
                                  RevealFolder(chooser->ShellTreeView1, FromBytes(doomed)));
                        QTest::mouseClick(chooser->Button1, Qt::LeftButton);
                        // The chooser has accepted; the scan runs once this returns.
                        EXPECT_FALSE(chooser->isVisible());
                        std::filesystem::remove_all(doomed);
                    });
                });
        ExpectWarning(boxes, kCannotFind);
        before.PanelShown = false;
        EXPECT_EQ(State(), before);
    }
}

TEST_F(Warnings, AFolderWithoutPicturesAfterOneWithPicturesHidesThePanel) {
    const std::string pictures = MakeFolder("pictures");
    PutJpeg(pictures + "/a.jpg", {});
    const std::string none = MakeFolder("none");
    fixtures::WriteFile(none + "/readme.txt", {'x'});
    fixtures::WriteFile(none + "/photo.jpeg", fixtures::MakeJpeg({}));
    fixtures::WriteFile(none + "/photo.jpg.bak", fixtures::MakeJpeg({}));
    TForm1& window = Window();

    ASSERT_TRUE(ChooseSource(pictures).empty());
    ASSERT_TRUE(window.Panel1->isVisible());
    ExpectWarning(ChooseSource(none), kNoPictures);
    EXPECT_FALSE(window.Panel1->isVisible());
    EXPECT_FALSE(window.Button1->isVisible());
    EXPECT_FALSE(window.Memo1->isVisible());
    EXPECT_EQ(window.Images().sourceDir(), none);
    EXPECT_EQ(WorkingDirectory(), none);

    SCOPED_TRACE("the folder with pictures again");
    EXPECT_TRUE(ChooseSource(pictures).empty());
    EXPECT_TRUE(window.Panel1->isVisible());
    EXPECT_EQ(window.Edit1->text(), "1");
    EXPECT_EQ(window.Images().sourceDir(), pictures);
}

} // namespace
