#include "mainWindow.h"
#include "memoryPolicy.h"

#include <QApplication>

#include <csignal>

int main(int argc, char* argv[]) {
    // A copy that meets a file-size limit must fail with an error the user
    // sees, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    browser::KeepFreedMemoryForReuse();
    QApplication application(argc, argv);
    TForm1 form;
    form.show();
    return application.exec();
}
