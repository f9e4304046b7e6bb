#include "messageBoxes.h"

#include <QMessageBox>

#include <exception>
#include <new>

void ShowWarning(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), text, QMessageBox::Ok, parent);
    box.exec();
}

void ShowError(QWidget* parent, const QString& message) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Tollvane"), message, QMessageBox::Ok,
                    parent);
    box.exec();
}

void ShowFailure(QWidget* parent, const std::exception_ptr& failure) {
    QString message;
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        message = QStringLiteral("Out of memory");
    } catch (const std::exception& error) {
        // File names inside the message are bytes of the file system.
        message = QString::fromLocal8Bit(error.what());
    } catch (...) {
        message = QStringLiteral("Unknown error");
    }
    ShowError(parent, message);
}
