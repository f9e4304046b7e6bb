#include "modalDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kPollMs = 10;
// An unclaimed modal window is closed after this long.
constexpr int kUnclaimedTicks = 8000 / kPollMs;

} // namespace

ModalDriver::ModalDriver() {
    timer_.setInterval(kPollMs);
    connect(&timer_, &QTimer::timeout, this, &ModalDriver::poll);
    timer_.start();
}

ModalDriver::~ModalDriver() {
    timer_.stop();
    EXPECT_TRUE(steps_.empty()) << "modal steps never reached: " << Pending();
}

void ModalDriver::Then(std::string what, Match match, Action action) {
    steps_.push_back({std::move(what), std::move(match), std::move(action)});
}

void ModalDriver::AnswerBox() {
    Then<QMessageBox>("message box", [this](QMessageBox* box) {
        boxes_.push_back(Describe(box));
        PressFirstButton(box);
    });
}

SeenBox ModalDriver::Describe(QMessageBox* box) {
    SeenBox seen;
    seen.Title = box->windowTitle();
    seen.Text = box->text();
    seen.Icon = box->icon();
    for (QAbstractButton* button : box->buttons())
        seen.Buttons << button->text();
    return seen;
}

void ModalDriver::PressFirstButton(QMessageBox* box) {
    const QList<QAbstractButton*> buttons = box->buttons();
    if (buttons.isEmpty())
        box->done(0);
    else
        QTest::mouseClick(buttons.front(), Qt::LeftButton);
}

bool ModalDriver::WaitFinished(int timeoutMs) {
    return QTest::qWaitFor([this] { return Finished(); }, timeoutMs);
}

std::string ModalDriver::Pending() const {
    std::string names;
    for (const Step& step : steps_)
        names += (names.empty() ? "" : ", ") + step.What;
    return names.empty() ? "none" : names;
}

void ModalDriver::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible() || modal == busyWith_) {
        unclaimed_ = nullptr;
        return;
    }
    if (!steps_.empty() && steps_.front().Matches(modal)) {
        Action act = std::move(steps_.front().Act);
        steps_.pop_front();
        busyWith_ = modal;
        ++running_;
        QPointer<QWidget> target(modal);
        // A timer of its own: this polling timer must keep running while the
        // action waits inside a nested modal loop.
        QTimer::singleShot(0, this, [this, act, target] {
            if (target)
                act(target);
            else
                ADD_FAILURE() << "modal window went away before its step ran";
            if (busyWith_ == target)
                busyWith_ = nullptr;
            --running_;
        });
        unclaimed_ = nullptr;
        return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(modal); box != nullptr && answerAll_) {
        boxes_.push_back(Describe(box));
        busyWith_ = box;
        PressFirstButton(box);
        busyWith_ = nullptr;
        return;
    }
    if (modal != unclaimed_) {
        unclaimed_ = modal;
        unclaimedTicks_ = 0;
        return;
    }
    if (++unclaimedTicks_ < kUnclaimedTicks)
        return;
    QString description = modal->metaObject()->className();
    description += " \"" + modal->windowTitle() + "\"";
    if (auto* box = qobject_cast<QMessageBox*>(modal))
        description += " saying \"" + box->text() + "\"";
    ADD_FAILURE() << "no step for the modal window " << description.toStdString()
                  << "; waiting steps: " << Pending();
    unclaimed_ = nullptr;
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
    else
        modal->close();
}
