#pragma once

#include <QString>

#include <exception>

class QWidget;

// The program's warning box: warning icon, title "Warning", one "OK".
void ShowWarning(QWidget* parent, const QString& text);

// The error box for failures the program does not expect: the message, the
// application's title, an error icon and one "OK".
void ShowError(QWidget* parent, const QString& message);

// Shows the error box for a caught failure.
void ShowFailure(QWidget* parent, const std::exception_ptr& failure);

// Runs one event handler. A failure it raises is shown in the error box and
// ends the handler there; the state stays as the handler left it. Nothing
// escapes into Qt's frames.
template <typename Handler> void RunGuarded(QWidget* parent, Handler&& handler) {
    try {
        handler();
    } catch (...) {
        ShowFailure(parent, std::current_exception());
    }
}
