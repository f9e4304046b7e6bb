#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class QWidget;

// What a message box showed when the test answered it.
struct SeenBox {
    QString Title;
    QString Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QStringList Buttons;
};

// Answers modal windows that the program opens with exec(): the test queues
// steps before the command that opens them, and each step waits until a
// matching window is the active modal one, then acts on it. A step's action
// runs from its own zero-time timer, so a modal window it opens in turn (a
// warning above the chooser) is answered by the next step meanwhile.
//
// A modal window no step claims for a while is closed and reported as a
// failure, so a test that goes wrong fails instead of hanging.
class ModalDriver : public QObject {
public:
    using Match = std::function<bool(QWidget*)>;
    using Action = std::function<void(QWidget*)>;

    ModalDriver();
    ~ModalDriver() override;

    // When the next modal window satisfying `match` appears, run `action`.
    void Then(std::string what, Match match, Action action);

    // When the next window of class T is the modal one, run `action` on it.
    template <typename T> void Then(std::string what, std::function<void(T*)> action) {
        Then(
            std::move(what), [](QWidget* w) { return qobject_cast<T*>(w) != nullptr; },
            [action](QWidget* w) { action(qobject_cast<T*>(w)); });
    }

    // The next message box: record it and press its first button.
    void AnswerBox();

    // Every message box no step claims is recorded and answered with its
    // first button, however many appear.
    void AnswerAllBoxes() { answerAll_ = true; }

    const std::vector<SeenBox>& Boxes() const { return boxes_; }
    bool Finished() const { return steps_.empty() && running_ == 0; }
    // Processes events until every step has run; false after the timeout.
    bool WaitFinished(int timeoutMs = 10000);
    // Names of steps still waiting, for failure messages.
    std::string Pending() const;

    static SeenBox Describe(QMessageBox* box);
    static void PressFirstButton(QMessageBox* box);

private:
    struct Step {
        std::string What;
        Match Matches;
        Action Act;
    };

    void poll();

    QTimer timer_;
    std::deque<Step> steps_;
    std::vector<SeenBox> boxes_;
    bool answerAll_ = false;
    int running_ = 0;
    // The window whose step action is still running; the next step must
    // match another window until that action returns.
    QPointer<QWidget> busyWith_;
    QPointer<QWidget> unclaimed_;
    int unclaimedTicks_ = 0;
};
