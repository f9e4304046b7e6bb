#pragma once

#include "jpegFixtures.h"
#include "mainWindow.h"
#include "modalDriver.h"

#include <gtest/gtest.h>

#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

class FolderTree;
class QTreeWidgetItem;
class QWidget;

// Everything a user can see of the main window, plus the state behind it,
// so a test can say "nothing changed" in one comparison.
struct WindowState {
    bool PanelShown = false;
    QString Position;
    QString Info;
    bool CopyShown = false;
    bool CopyEnabled = false;
    QString CopyCaption;
    QSize PictureSize;
    std::string LoadedName;
    std::vector<std::string> Names;
    int Index = 0;
    std::string SourceDir;
    std::string Target;
    std::string WorkingDirectory;

    bool operator==(const WindowState&) const = default;
};
std::ostream& operator<<(std::ostream& out, const WindowState& state);

// A main window over a home folder of the test's own, with a desktop folder
// in it that holds the folders the test makes, so each appears as a child of
// the chooser's root item. The working directory is restored afterwards.
class UiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    const std::string& Home() const { return home_->Path(); }
    std::string Desktop() const { return Home() + "/Desktop"; }
    // Creates a folder (and its parents) under the desktop; returns its path.
    std::string MakeFolder(const std::string& relative) const;
    // Writes a JPEG with the given size, colour and coding; returns its bytes.
    static std::vector<unsigned char> PutJpeg(const std::string& path,
                                              const fixtures::JpegSpec& spec);

    // The main window, built and shown on first use: make the folders first.
    TForm1& Window();
    WindowState State();

    // Runs a command that may open modal windows: `queue` adds the steps that
    // answer them; message boxes no step claims are answered with OK. Returns
    // every box seen.
    std::vector<SeenBox> Run(const std::function<void()>& command,
                             const std::function<void(ModalDriver&)>& queue = {});
    std::vector<SeenBox> ChooseSource(const std::string& folder);
    std::vector<SeenBox> ChooseTarget(const std::string& folder);
    std::vector<SeenBox> Next();
    std::vector<SeenBox> Previous();
    std::vector<SeenBox> Copy();

private:
    std::unique_ptr<fixtures::TempDir> home_;
    std::string savedDirectory_;
    std::unique_ptr<TForm1> window_;
};

// The item for a folder, listing the sub-folders of its ancestors on the way.
QTreeWidgetItem* RevealFolder(FolderTree* tree, const QString& path);
// Selects an item as the user does, with a click on it.
void ClickItem(FolderTree* tree, QTreeWidgetItem* item, Qt::MouseButton button = Qt::LeftButton);
// Queues: in the chooser, select the folder and press OK.
void QueueChoose(ModalDriver& driver, const std::string& folder);

std::string WorkingDirectory();
QString FromBytes(const std::string& bytes);

// The widget's pixels, as painted, against djpeg's decode of the file.
::testing::AssertionResult ShowsPixels(QWidget* widget, const fixtures::Pnm& expected);
// True when every pixel of the widget, as painted, has the same colour.
bool PaintedPlain(QWidget* widget);

std::ostream& operator<<(std::ostream& out, const QString& text);
std::ostream& operator<<(std::ostream& out, const SeenBox& box);
