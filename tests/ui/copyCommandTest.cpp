// The target folder command and the copy button.

#include "uiFixture.h"

#include "directoryBrowser.h"
#include "directorySearch.h"
#include "pictureView.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <jerror.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

namespace {

using Copying = UiTest;

const QString kCaptionPrefix = QString::fromUtf8("Kopírovat soubor do ");

using fixtures::Listing;

fixtures::JpegSpec Spec(int width, int height, std::uint32_t seed) {
    fixtures::JpegSpec spec;
    spec.Width = width;
    spec.Height = height;
    spec.Seed = seed;
    spec.Fill = fixtures::Pattern::Noise;
    return spec;
}

TEST_F(Copying, ChoosingATargetShowsTheButtonWithItsPath) {
    const std::string pictures = MakeFolder("pictures");
    PutJpeg(pictures + "/a.jpg", {});
    const std::string first = MakeFolder("Cílová složka");
    const std::string longTarget = MakeFolder(std::string(60, 'x') + "/" + std::string(60, 'y') +
                                              "/Velmi dlouhý název " + std::string(60, 'z'));
    TForm1& window = Window();

    SCOPED_TRACE("before any pictures are listed");
    EXPECT_TRUE(ChooseTarget(first).empty());
    EXPECT_EQ(window.TargetDir(), first);
    EXPECT_FALSE(window.CopyBtn->isHidden());
    EXPECT_FALSE(window.CopyBtn->isVisible()) << "its panel is still hidden";
    EXPECT_EQ(window.CopyBtn->text(), kCaptionPrefix + FromBytes(first));

    SCOPED_TRACE("once the panel shows");
    ASSERT_TRUE(ChooseSource(pictures).empty());
    EXPECT_TRUE(window.CopyBtn->isVisible());
    EXPECT_TRUE(window.CopyBtn->isEnabled());

    SCOPED_TRACE("a long path, chosen again");
    EXPECT_TRUE(ChooseTarget(longTarget).empty());
    EXPECT_EQ(window.TargetDir(), longTarget);
    EXPECT_EQ(window.CopyBtn->text(), kCaptionPrefix + FromBytes(longTarget));
    EXPECT_EQ(window.CopyBtn->size(), QSize(641, 33));
    EXPECT_EQ(WorkingDirectory(), pictures) << "choosing a target does not change it";
}

// The copy is the file as it was read for showing, byte for byte, under the
// name of the picture on show; nothing else changes.
TEST_F(Copying, CopyWritesThePictureOnShowByteForByte) {
    const std::string pictures = MakeFolder("pictures");
    const std::vector<unsigned char> a = PutJpeg(pictures + "/a.jpg", Spec(64, 48, 1));
    const std::vector<unsigned char> b = PutJpeg(pictures + "/b.jpg", Spec(30, 20, 2));
    const std::string target = MakeFolder("target");
    TForm1& window = Window();
    ASSERT_TRUE(ChooseSource(pictures).empty());
    ASSERT_TRUE(ChooseTarget(target).empty());
    const std::string shown = window.Image2->Picture().LoadedName();
    const std::vector<unsigned char>& shownBytes = shown == "a.jpg" ? a : b;

    const WindowState before = State();
    EXPECT_TRUE(Copy().empty());
    EXPECT_EQ(fixtures::ReadFile(target + "/" + shown), shownBytes);
    EXPECT_EQ(Listing(target), std::vector<std::string>{shown});
    EXPECT_EQ(State(), before);

    SCOPED_TRACE("twice");
    EXPECT_TRUE(Copy().empty());
    EXPECT_EQ(fixtures::ReadFile(target + "/" + shown), shownBytes);
    EXPECT_EQ(Listing(target), std::vector<std::string>{shown});

    SCOPED_TRACE("over a longer file of that name");
    std::vector<unsigned char> longer(shownBytes.size() * 3, 0x5A);
    fixtures::WriteFile(target + "/" + shown, longer);
    EXPECT_TRUE(Copy().empty());
    EXPECT_EQ(fixtures::ReadFile(target + "/" + shown), shownBytes);

    SCOPED_TRACE("the source changed on disk after it was shown");
    fixtures::WriteFile(pictures + "/" + shown, fixtures::MakeJpeg(Spec(90, 90, 7)));
    EXPECT_TRUE(Copy().empty());
    EXPECT_EQ(fixtures::ReadFile(target + "/" + shown), shownBytes);
    EXPECT_EQ(State(), before);

    SCOPED_TRACE("the next picture");
    ASSERT_TRUE(Next().empty());
    const std::string next = window.Image2->Picture().LoadedName();
    ASSERT_NE(next, shown);
    EXPECT_TRUE(Copy().empty());
    EXPECT_EQ(fixtures::ReadFile(target + "/" + next), next == "a.jpg" ? a : b);
    EXPECT_EQ(Listing(target).size(), 2u);
}

// Copying into the source folder rewrites the file with the same bytes;
// only its modification time changes.
TEST_F(Copying, TargetEqualToTheSourceRewritesTheFileUnchanged) {
    const std::string pictures = MakeFolder("pictures");
    const std::vector<unsigned char> bytes = PutJpeg(pictures + "/a.jpg", Spec(64, 48, 3));
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    std::filesystem::last_write_time(pictures + "/a.jpg", old);
    TForm1& window = Window();
    ASSERT_TRUE(ChooseSource(pictures).empty());
    ASSERT_TRUE(ChooseTarget(pictures).empty());
    EXPECT_EQ(window.TargetDir(), pictures);

    const auto copiedAt = std::filesystem::file_time_type::clock::now();
    EXPECT_TRUE(Copy().empty());
    EXPECT_EQ(fixtures::ReadFile(pictures + "/a.jpg"), bytes);
    EXPECT_GE(std::filesystem::last_write_time(pictures + "/a.jpg"),
              copiedAt - std::chrono::seconds(2));
    EXPECT_EQ(Listing(pictures), std::vector<std::string>{"a.jpg"});
    EXPECT_EQ(window.Edit1->text(), "1");
}

TEST_F(Copying, ATargetRemovedBeforeTheCopyReportsAndChangesNothing) {
    const std::string pictures = MakeFolder("pictures");
    const std::vector<unsigned char> bytes = PutJpeg(pictures + "/a.jpg", {});
    const std::string target = MakeFolder("target");
    Window();
    ASSERT_TRUE(ChooseSource(pictures).empty());
    ASSERT_TRUE(ChooseTarget(target).empty());
    std::filesystem::remove(target);

    const WindowState before = State();
    const std::vector<SeenBox> boxes = Copy();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text,
              FromBytes("Cannot create file \"" + target + "/a.jpg\". No such file or directory"));
    EXPECT_EQ(boxes[0].Title, "Tollvane");
    EXPECT_EQ(boxes[0].Icon, QMessageBox::Critical);
    EXPECT_EQ(boxes[0].Buttons, QStringList{"OK"});
    EXPECT_EQ(State(), before);
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(fixtures::ReadFile(pictures + "/a.jpg"), bytes);
    EXPECT_EQ(Listing(pictures), std::vector<std::string>{"a.jpg"});
}

// After a failed load the position names an entry that is not on show; the
// copy still writes the picture on show, under the name it was loaded from.
TEST_F(Copying, AfterAFailedLoadTheCopyKeepsToThePictureOnShow) {
    const std::string pictures = MakeFolder("pictures");
    const std::vector<unsigned char> good = PutJpeg(pictures + "/good.jpg", {});
    fixtures::WriteFile(pictures + "/bad.jpg", {'n', 'o', 't', ' ', 'a', ' ', 'J', 'P', 'E', 'G'});
    const std::string target = MakeFolder("target");
    TForm1& window = Window();
    ASSERT_TRUE(ChooseTarget(target).empty());
    // Whatever the folder's order, stepping once or twice reaches the bad
    // entry right after the good one is on show.
    ChooseSource(pictures);
    if (window.Image2->Picture().LoadedName() != "good.jpg") {
        ASSERT_TRUE(Next().empty());
    }
    ASSERT_EQ(window.Image2->Picture().LoadedName(), "good.jpg");
    const std::vector<SeenBox> failure = Next();
    ASSERT_EQ(failure.size(), 1u);
    EXPECT_EQ(failure[0].Text, FromBytes("JPEG error #" + std::to_string(JERR_NO_SOI)));
    ASSERT_EQ(window.Images().CurrentEntry().Name, "bad.jpg");
    ASSERT_EQ(window.Image2->Picture().LoadedName(), "good.jpg");
    EXPECT_TRUE(window.CopyBtn->isEnabled());

    EXPECT_TRUE(Copy().empty());
    EXPECT_EQ(Listing(target), std::vector<std::string>{"good.jpg"});
    EXPECT_EQ(fixtures::ReadFile(target + "/good.jpg"), good);
}

// When the first load of the first list fails there is no picture on show,
// and nothing to copy.
TEST_F(Copying, NothingOnShowNothingToCopy) {
    const std::string pictures = MakeFolder("pictures");
    fixtures::WriteFile(pictures + "/bad.jpg", {'x'});
    const std::string target = MakeFolder("target");
    TForm1& window = Window();
    EXPECT_FALSE(window.CopyBtn->isEnabled());
    ASSERT_TRUE(ChooseTarget(target).empty());
    const std::vector<SeenBox> failure = ChooseSource(pictures);
    ASSERT_EQ(failure.size(), 1u);
    EXPECT_TRUE(window.CopyBtn->isVisible());
    EXPECT_FALSE(window.CopyBtn->isEnabled());
    EXPECT_TRUE(Copy().empty());
    EXPECT_TRUE(Listing(target).empty());
}

} // namespace
