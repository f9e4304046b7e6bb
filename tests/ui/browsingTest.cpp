// Choosing the source folder, stepping through its pictures, and what the
// picture area paints.

#include "uiFixture.h"

#include "damagedJpeg.h"
#include "directorySearch.h"
#include "pictureView.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <jerror.h>

#include <filesystem>
#include <map>
#include <unistd.h>

namespace {

using Browsing = UiTest;

QString InfoText(const std::string& folder, const browser::TSearchRec& entry) {
    return QString::fromUtf8("Jméno: ") + FromBytes(folder + "/" + entry.Name) +
           QString::fromUtf8("\nVelikost: ") + QString::number(entry.Size);
}

std::string JpegError(int code) {
    return "JPEG error #" + std::to_string(code);
}

TEST_F(Browsing, ChoosingAFolderShowsItsFirstPictureAndTheButtonsWrapAround) {
    const std::string folder = MakeFolder("Obrázky z výletu");
    const std::map<std::string, QSize> sizes = {{"první.jpg", {64, 48}},
                                                {"B.JPG", {80, 60}},
                                                {".skrytý.jpg", {30, 90}},
                                                {"c.jpg", {17, 9}}};
    for (const auto& [name, size] : sizes) {
        fixtures::JpegSpec spec;
        spec.Width = size.width();
        spec.Height = size.height();
        spec.Seed = static_cast<std::uint32_t>(size.width());
        PutJpeg(folder + "/" + name, spec);
    }
    fixtures::WriteFile(folder + "/notes.txt", {'x'});
    const std::vector<browser::TSearchRec> order = browser::FindPictures(folder);
    ASSERT_EQ(order.size(), sizes.size());
    const int count = static_cast<int>(order.size());

    TForm1& window = Window();
    ASSERT_EQ(window.devicePixelRatioF(), 1.0);
    const auto expectShowing = [&](int index) {
        SCOPED_TRACE("entry " + std::to_string(index) + " " + order[index].Name);
        EXPECT_TRUE(window.Panel1->isVisible());
        EXPECT_EQ(window.Edit1->text(), QString::number(index + 1));
        EXPECT_EQ(window.Memo1->toPlainText(), InfoText(folder, order[index]));
        EXPECT_EQ(window.Image2->size(), sizes.at(order[index].Name));
        EXPECT_EQ(window.Image2->Picture().LoadedName(), order[index].Name);
        EXPECT_EQ(window.Images().fileIndex(), index);
    };

    EXPECT_TRUE(ChooseSource(folder).empty());
    EXPECT_EQ(WorkingDirectory(), folder);
    EXPECT_EQ(window.Images().sourceDir(), folder);
    expectShowing(0);
    for (QWidget* part :
         {static_cast<QWidget*>(window.Button1), static_cast<QWidget*>(window.Button2),
          static_cast<QWidget*>(window.ScrollBox2), static_cast<QWidget*>(window.Memo1)})
        EXPECT_TRUE(part->isVisible()) << part->objectName().toStdString();
    EXPECT_FALSE(window.CopyBtn->isVisible()) << "no target chosen yet";

    for (int step = 1; step <= count; ++step) {
        SCOPED_TRACE("> number " + std::to_string(step));
        EXPECT_TRUE(Next().empty());
        expectShowing(step % count);
    }
    SCOPED_TRACE("< from the first");
    EXPECT_TRUE(Previous().empty());
    expectShowing(count - 1);
    EXPECT_TRUE(Previous().empty());
    expectShowing(count - 2);
}

TEST_F(Browsing, WithOnePictureBothButtonsStayOnIt) {
    const std::string folder = MakeFolder("one");
    PutJpeg(folder + "/only.jpg", {});
    TForm1& window = Window();
    ChooseSource(folder);
    for (const bool forward : {true, false, true}) {
        EXPECT_TRUE((forward ? Next() : Previous()).empty());
        EXPECT_EQ(window.Edit1->text(), "1");
        EXPECT_EQ(window.Images().fileIndex(), 0);
        EXPECT_EQ(window.Image2->size(), QSize(64, 48));
    }
}

// The picture area paints exactly what djpeg decodes, at natural size from
// the top-left corner, with scroll bars only for a picture larger than it.
TEST_F(Browsing, PaintsThePictureAtNaturalSize) {
    struct Case {
        const char* Name;
        fixtures::JpegSpec Spec;
    };
    const auto spec = [](int width, int height, fixtures::Colour space, bool progressive) {
        fixtures::JpegSpec made;
        made.Width = width;
        made.Height = height;
        made.Space = space;
        made.Fill = fixtures::Pattern::Noise;
        made.Progressive = progressive;
        return made;
    };
    const Case cases[] = {
        {"colour", spec(121, 83, fixtures::Colour::Rgb, false)},
        {"gray", spec(99, 70, fixtures::Colour::Gray, false)},
        {"progressive colour", spec(45, 140, fixtures::Colour::Rgb, true)},
        {"larger than the area", spec(1100, 900, fixtures::Colour::Rgb, false)},
        {"wider than the area", spec(1300, 40, fixtures::Colour::Gray, false)},
    };
    for (const Case& c : cases)
        PutJpeg(MakeFolder(c.Name) + "/picture.jpg", c.Spec);
    TForm1& window = Window();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string folder = Desktop() + "/" + c.Name;
        EXPECT_TRUE(ChooseSource(folder).empty());
        ASSERT_EQ(window.Image2->size(), QSize(c.Spec.Width, c.Spec.Height));
        QCoreApplication::processEvents();
        EXPECT_TRUE(ShowsPixels(window.Image2, fixtures::DjpegDecode(folder + "/picture.jpg")));

        const QSize area = window.ScrollBox2->viewport()->size();
        const bool wider = c.Spec.Width > window.ScrollBox2->width();
        const bool taller = c.Spec.Height > window.ScrollBox2->height();
        EXPECT_EQ(window.ScrollBox2->horizontalScrollBar()->maximum() > 0, wider);
        EXPECT_EQ(window.ScrollBox2->verticalScrollBar()->maximum() > 0, taller);
        if (wider) {
            EXPECT_EQ(window.ScrollBox2->horizontalScrollBar()->maximum(),
                      c.Spec.Width - area.width());
        }
        if (taller) {
            EXPECT_EQ(window.ScrollBox2->verticalScrollBar()->maximum(),
                      c.Spec.Height - area.height());
        }
        EXPECT_EQ(window.Image2->pos(), QPoint(0, 0));
    }
}

// Entries that cannot be shown, beside good pictures. The folder's order is
// the file system's, so the walk follows a model of what the window must
// show at each step, whatever that order is.
TEST_F(Browsing, AFailedLoadKeepsThePreviousPictureButMovesOn) {
    const std::string folder = MakeFolder("mixed");
    struct Entry {
        std::string Name;
        std::string Error; // empty for an entry that loads
        QSize Size;
    };
    std::vector<Entry> entries = {
        {"a.jpg", "", {64, 48}},
        {"c.jpg", "", {40, 30}},
        {"empty.jpg", "", {0, 0}},
        {"text.jpg", JpegError(JERR_NO_SOI), {}},
        {"markers only.jpg", JpegError(JERR_NO_IMAGE), {}},
        {"folder.jpg", "Cannot open file \"" + folder + "/folder.jpg\". Is a directory", {}},
        {"gone.jpg", "Cannot open file \"" + folder + "/gone.jpg\". No such file or directory", {}},
    };
    fixtures::JpegSpec spec;
    PutJpeg(folder + "/a.jpg", spec);
    spec.Width = 40;
    spec.Height = 30;
    spec.Space = fixtures::Colour::Gray;
    PutJpeg(folder + "/c.jpg", spec);
    fixtures::WriteFile(folder + "/empty.jpg", {});
    fixtures::WriteFile(folder + "/text.jpg", {'h', 'e', 'l', 'l', 'o', '\n'});
    fixtures::WriteFile(folder + "/markers only.jpg", {0xFF, 0xD8, 0xFF, 0xD9});
    std::filesystem::create_directory(folder + "/folder.jpg");
    std::filesystem::create_symlink(folder + "/nowhere", folder + "/gone.jpg");

    const std::vector<browser::TSearchRec> order = browser::FindPictures(folder);
    ASSERT_EQ(order.size(), entries.size());
    std::map<std::string, Entry> byName;
    for (const Entry& entry : entries)
        byName[entry.Name] = entry;

    TForm1& window = Window();
    const int count = static_cast<int>(order.size());
    int index = 0;
    int shown = -1; // the entry whose picture is on show
    const auto check = [&](const std::vector<SeenBox>& boxes) {
        const browser::TSearchRec& current = order[index];
        const Entry& entry = byName.at(current.Name);
        SCOPED_TRACE("on entry " + std::to_string(index) + " \"" + current.Name + "\"");
        EXPECT_EQ(window.Images().fileIndex(), index);
        if (entry.Error.empty()) {
            EXPECT_TRUE(boxes.empty()) << boxes.front();
            shown = index;
        } else {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].Text, FromBytes(entry.Error));
            EXPECT_EQ(boxes[0].Title, "Tollvane");
            EXPECT_EQ(boxes[0].Icon, QMessageBox::Critical);
            EXPECT_EQ(boxes[0].Buttons, QStringList{"OK"});
        }
        if (shown < 0) {
            EXPECT_EQ(window.Edit1->text(), "");
            EXPECT_EQ(window.Memo1->toPlainText(), "");
            EXPECT_EQ(window.Image2->Picture().Graphic(), nullptr);
            return;
        }
        const std::string& shownName = order[shown].Name;
        EXPECT_EQ(window.Edit1->text(), QString::number(shown + 1));
        EXPECT_EQ(window.Memo1->toPlainText(), InfoText(folder, order[shown]));
        EXPECT_EQ(window.Image2->Picture().LoadedName(), shownName);
        EXPECT_EQ(window.Image2->size(), byName.at(shownName).Size);
        if (!byName.at(shownName).Size.isEmpty()) {
            EXPECT_TRUE(
                ShowsPixels(window.Image2, fixtures::DjpegDecode(folder + "/" + shownName)));
        }
    };

    check(ChooseSource(folder));
    EXPECT_TRUE(window.Panel1->isVisible());
    for (int step = 0; step < 2 * count; ++step) {
        SCOPED_TRACE("> number " + std::to_string(step + 1));
        index = (index + 1) % count;
        check(Next());
    }
    for (int step = 0; step < count + 1; ++step) {
        SCOPED_TRACE("< number " + std::to_string(step + 1));
        index = (index + count - 1) % count;
        check(Previous());
    }
}

// A picture whose header is sound but whose second scan is not: it loads,
// fails when first painted, reports that once, and then paints nothing.
TEST_F(Browsing, ADecodeFailureIsReportedOnceAndLeavesTheAreaEmpty) {
    const std::string folder = MakeFolder("damaged");
    fixtures::JpegSpec spec;
    spec.Width = 150;
    spec.Height = 100;
    spec.Progressive = true;
    spec.Fill = fixtures::Pattern::Noise;
    fixtures::WriteFile(folder + "/damaged.jpg",
                        WithForeignComponentInSecondScan(fixtures::MakeJpeg(spec)));

    TForm1& window = Window();
    std::vector<SeenBox> boxes = ChooseSource(folder);
    EXPECT_EQ(window.Edit1->text(), "1");
    EXPECT_EQ(window.Image2->size(), QSize(150, 100));
    {
        ModalDriver driver;
        driver.AnswerAllBoxes();
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return boxes.size() + driver.Boxes().size() >= 1; }, 5000));
        for (int round = 0; round < 5; ++round) {
            window.Image2->repaint();
            window.Image2->update();
            window.Image2->grab();
            window.resize(800 + 10 * round, 600);
            QTest::qWait(20);
        }
        QTest::qWait(100);
        boxes.insert(boxes.end(), driver.Boxes().begin(), driver.Boxes().end());
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, FromBytes(JpegError(JERR_BAD_COMPONENT_ID)));
    EXPECT_EQ(boxes[0].Title, "Tollvane");
    EXPECT_EQ(boxes[0].Icon, QMessageBox::Critical);
    EXPECT_EQ(boxes[0].Buttons, QStringList{"OK"});
    EXPECT_TRUE(PaintedPlain(window.Image2));
    EXPECT_EQ(window.Edit1->text(), "1");
}

} // namespace
