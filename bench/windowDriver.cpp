#include "windowDriver.h"

#include "directoryBrowser.h"
#include "folderTree.h"
#include "mainWindow.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <sys/resource.h>
#include <unistd.h>

namespace bench {

void PrepareWindowEnvironment(const std::string& home) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("HOME", home.c_str(), 1);
    // The desktop folder is read from the user's settings when they name
    // one; without them it is $HOME/Desktop.
    ::unsetenv("XDG_CONFIG_HOME");
}

void ShowMainWindow(TForm1& form) {
    form.resize(1280, 900);
    form.show();
    QApplication::processEvents();
}

void OpenPictureFolder(TForm1& form, const std::string& folder) {
    bool found = false;
    // Runs inside the folder chooser's own event loop once it is open.
    QTimer::singleShot(0, &form, [&form, &folder, &found] {
        TForm2* chooser = form.DirectoryBrowser();
        QTreeWidgetItem* item = chooser->ShellTreeView1->FindItem(QString::fromStdString(folder));
        if (item == nullptr) {
            chooser->Button2->click(); // "Storno": nothing to choose
            return;
        }
        found = true;
        chooser->ShellTreeView1->setCurrentItem(item);
        chooser->Button1->click();
    });
    form.Vybratostatn1->trigger();
    if (!found)
        throw std::runtime_error("the folder chooser does not show " + folder);
    if (form.Images().Empty())
        throw std::runtime_error("opening " + folder + " listed no pictures");
    QApplication::processEvents(); // paints the first picture
}

long CurrentResidentKb() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr)
        return 0;
    long size = 0, resident = 0;
    const int read = std::fscanf(statm, "%ld %ld", &size, &resident);
    std::fclose(statm);
    return read == 2 ? resident * (::sysconf(_SC_PAGESIZE) / 1024) : 0;
}

long PeakResidentKb() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss; // KiB on Linux
}

} // namespace bench
