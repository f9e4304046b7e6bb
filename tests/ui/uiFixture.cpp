#include "uiFixture.h"

#include "directoryBrowser.h"
#include "folderTree.h"
#include "pictureView.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidgetItem>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

std::string WorkingDirectory() {
    std::error_code error;
    return std::filesystem::current_path(error).string();
}

QString FromBytes(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

std::ostream& operator<<(std::ostream& out, const QString& text) {
    return out << '"' << text.toStdString() << '"';
}

std::ostream& operator<<(std::ostream& out, const SeenBox& box) {
    out << "{title " << box.Title << ", text " << box.Text << ", icon " << int(box.Icon)
        << ", buttons";
    for (const QString& button : box.Buttons)
        out << ' ' << button;
    return out << '}';
}

std::ostream& operator<<(std::ostream& out, const WindowState& state) {
    out << "{panel " << state.PanelShown << ", position " << state.Position << ", info "
        << state.Info << ", copy " << state.CopyShown << '/' << state.CopyEnabled << ' '
        << state.CopyCaption << ", picture " << state.PictureSize.width() << 'x'
        << state.PictureSize.height() << " from \"" << state.LoadedName << "\", entries";
    for (const std::string& name : state.Names)
        out << " \"" << name << '"';
    return out << ", index " << state.Index << ", source \"" << state.SourceDir << "\", target \""
               << state.Target << "\", cwd \"" << state.WorkingDirectory << "\"}";
}

void UiTest::SetUp() {
    savedDirectory_ = WorkingDirectory();
    home_ = std::make_unique<fixtures::TempDir>();
    ::setenv("HOME", home_->Path().c_str(), 1);
    std::filesystem::create_directory(Desktop());
}

void UiTest::TearDown() {
    window_.reset();
    if (::chdir(savedDirectory_.c_str()) != 0)
        ADD_FAILURE() << "cannot return to " << savedDirectory_;
    home_.reset();
}

std::string UiTest::MakeFolder(const std::string& relative) const {
    const std::string path = Desktop() + "/" + relative;
    std::filesystem::create_directories(path);
    return path;
}

std::vector<unsigned char> UiTest::PutJpeg(const std::string& path,
                                           const fixtures::JpegSpec& spec) {
    std::vector<unsigned char> bytes = fixtures::MakeJpeg(spec);
    fixtures::WriteFile(path, bytes);
    return bytes;
}

TForm1& UiTest::Window() {
    if (!window_) {
        window_ = std::make_unique<TForm1>();
        window_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    return *window_;
}

WindowState UiTest::State() {
    TForm1& window = Window();
    WindowState state;
    state.PanelShown = window.Panel1->isVisible();
    state.Position = window.Edit1->text();
    state.Info = window.Memo1->toPlainText();
    state.CopyShown = window.CopyBtn->isVisible();
    state.CopyEnabled = window.CopyBtn->isEnabled();
    state.CopyCaption = window.CopyBtn->text();
    state.PictureSize = window.Image2->size();
    state.LoadedName = window.Image2->Picture().LoadedName();
    for (const browser::TSearchRec& entry : window.Images().files())
        state.Names.push_back(entry.Name);
    state.Index = window.Images().fileIndex();
    state.SourceDir = window.Images().sourceDir();
    state.Target = window.TargetDir();
    state.WorkingDirectory = WorkingDirectory();
    return state;
}

std::vector<SeenBox> UiTest::Run(const std::function<void()>& command,
                                 const std::function<void(ModalDriver&)>& queue) {
    Window();
    ModalDriver driver;
    driver.AnswerAllBoxes();
    if (queue)
        queue(driver);
    command();
    EXPECT_TRUE(driver.WaitFinished()) << "modal steps never reached: " << driver.Pending();
    // Boxes queued from a paint come a turn later; let them through.
    QCoreApplication::processEvents();
    return driver.Boxes();
}

void QueueChoose(ModalDriver& driver, const std::string& folder) {
    driver.Then<TForm2>("choose " + folder, [folder](TForm2* chooser) {
        QTreeWidgetItem* item = RevealFolder(chooser->ShellTreeView1, FromBytes(folder));
        if (item == nullptr) {
            ADD_FAILURE() << "no tree item for " << folder;
            chooser->reject();
            return;
        }
        ClickItem(chooser->ShellTreeView1, item);
        EXPECT_EQ(chooser->SelectedPath(), FromBytes(folder));
        QTest::mouseClick(chooser->Button1, Qt::LeftButton);
    });
}

std::vector<SeenBox> UiTest::ChooseSource(const std::string& folder) {
    return Run([this] { Window().Vybratostatn1->trigger(); },
               [folder](ModalDriver& driver) { QueueChoose(driver, folder); });
}

std::vector<SeenBox> UiTest::ChooseTarget(const std::string& folder) {
    return Run([this] { Window().Vybratvzor1->trigger(); },
               [folder](ModalDriver& driver) { QueueChoose(driver, folder); });
}

std::vector<SeenBox> UiTest::Next() {
    return Run([this] { QTest::mouseClick(Window().Button1, Qt::LeftButton); });
}

std::vector<SeenBox> UiTest::Previous() {
    return Run([this] { QTest::mouseClick(Window().Button2, Qt::LeftButton); });
}

std::vector<SeenBox> UiTest::Copy() {
    return Run([this] { QTest::mouseClick(Window().CopyBtn, Qt::LeftButton); });
}

QTreeWidgetItem* RevealFolder(FolderTree* tree, const QString& path) {
    if (QTreeWidgetItem* item = tree->FindItem(path))
        return item;
    if (path == QLatin1String("/")) {
        // The file system's root sits under the virtual "Computer" item.
        if (QTreeWidgetItem* computer = tree->FindItem(QStringLiteral("computer:///")))
            computer->setExpanded(true);
        return tree->FindItem(path);
    }
    const QString parent = QFileInfo(path).path();
    if (parent == path)
        return nullptr;
    QTreeWidgetItem* above = RevealFolder(tree, parent);
    if (above == nullptr)
        return nullptr;
    above->setExpanded(true);
    return tree->FindItem(path);
}

void ClickItem(FolderTree* tree, QTreeWidgetItem* item, Qt::MouseButton button) {
    tree->scrollToItem(item);
    const QRect bounds = tree->visualItemRect(item);
    // Near the left end: the icon and caption start there, whatever the depth.
    const QPoint spot(bounds.left() + 8, bounds.center().y());
    QTest::mouseClick(tree->viewport(), button, {}, spot);
    EXPECT_EQ(tree->currentItem(), item) << "the click missed " << item->text(0);
}

::testing::AssertionResult ShowsPixels(QWidget* widget, const fixtures::Pnm& expected) {
    const QImage painted = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (painted.width() != expected.Width || painted.height() != expected.Height)
        return ::testing::AssertionFailure()
               << "painted " << painted.width() << 'x' << painted.height() << ", expected "
               << expected.Width << 'x' << expected.Height;
    long mismatches = 0;
    std::string first;
    for (int y = 0; y < expected.Height; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(painted.constScanLine(y));
        for (int x = 0; x < expected.Width; ++x) {
            const size_t at = (static_cast<size_t>(y) * expected.Width + x) *
                              static_cast<size_t>(expected.Components);
            const int r = expected.Samples[at];
            const int g = expected.Components == 3 ? expected.Samples[at + 1] : r;
            const int b = expected.Components == 3 ? expected.Samples[at + 2] : r;
            if (qRed(row[x]) == r && qGreen(row[x]) == g && qBlue(row[x]) == b)
                continue;
            if (mismatches++ == 0)
                first = "at (" + std::to_string(x) + "," + std::to_string(y) + ") painted " +
                        std::to_string(qRed(row[x])) + "/" + std::to_string(qGreen(row[x])) + "/" +
                        std::to_string(qBlue(row[x])) + ", djpeg " + std::to_string(r) + "/" +
                        std::to_string(g) + "/" + std::to_string(b);
        }
    }
    if (mismatches != 0)
        return ::testing::AssertionFailure() << mismatches << " pixels differ, first " << first;
    return ::testing::AssertionSuccess();
}

bool PaintedPlain(QWidget* widget) {
    const QImage painted = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < painted.height(); ++y)
        for (int x = 0; x < painted.width(); ++x)
            if (painted.pixel(x, y) != painted.pixel(0, 0))
                return false;
    return true;
}
