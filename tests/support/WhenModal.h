#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

// Answers a dialog from inside its own loop, and never hangs the test: a
// dialog not answered by the deadline fails the test and is rejected, so its
// exec() returns.
namespace when_modal {

inline constexpr std::chrono::milliseconds kDeadline{15000};

// One whenModal waiting for its dialog, or for the dialog it answered to go.
struct Watch {
    std::function<bool(QWidget*)> act;
    std::chrono::milliseconds timeout;
    QDeadlineTimer deadline;
    QTimer* timer = nullptr;
    QPointer<QWidget> seen;      // the last modal widget offered to act
    QPointer<QWidget> answered;  // the one act took
    std::string seenName;
    bool took = false;
    bool busy = false;  // act runs; it may spin the event loop
};

// At most one: each whenModal answers the next dialog of the test.
inline std::shared_ptr<Watch>& current() {
    static std::shared_ptr<Watch> watch;
    return watch;
}

inline std::string describe(const QWidget* w) {
    return std::string(w->metaObject()->className()) + " \"" + w->windowTitle().toStdString() + "\"";
}

// Ends every modal widget, innermost first.
inline void endModals() {
    for (int i = 0; i < 16; ++i) {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) return;
        if (auto* dialog = qobject_cast<QDialog*>(w)) {
            dialog->reject();
        } else {
            w->close();
        }
        if (QApplication::activeModalWidget() == w) w->hide();  // it refused to close
    }
}

inline bool answeredAndGone(const Watch& w) { return w.took && (!w.answered || !w.answered->isVisible()); }

inline void stop(const std::shared_ptr<Watch>& w) {
    w->timer->stop();
    w->timer->deleteLater();
    if (current() == w) current().reset();
}

inline void fail(const std::shared_ptr<Watch>& w, const std::string& when) {
    if (w->took) {
        ADD_FAILURE() << "whenModal: " << when << ", the " << w->seenName << " it answered was still open";
    } else {
        ADD_FAILURE() << "whenModal: " << when << ", no dialog had been answered ("
                      << (w->seenName.empty() ? "no modal widget appeared"
                                              : "the last modal widget offered was " + w->seenName)
                      << ")";
    }
    // The test may be inside the loop of what is up: end it, so that it goes on.
    endModals();
    stop(w);
}

// The previous whenModal must be done: its act holds references into a scope
// that may be gone.
inline void settle(const std::string& when) {
    std::shared_ptr<Watch> w = current();
    if (!w) return;
    if (answeredAndGone(*w)) {
        stop(w);
    } else {
        fail(w, when);
    }
}

inline void tick(const std::weak_ptr<Watch>& weak) {
    const std::shared_ptr<Watch> w = weak.lock();
    if (!w || w->busy) return;
    if (answeredAndGone(*w)) return stop(w);
    if (w->deadline.hasExpired()) {
        return fail(w, "after " + std::to_string(w->timeout.count()) + " ms");
    }
    if (w->took) return;
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == w->seen) return;
    w->seen = modal;
    w->seenName = describe(modal);
    w->busy = true;
    w->took = w->act(modal);
    w->busy = false;
    if (w->took) {
        w->answered = modal;
        if (answeredAndGone(*w)) stop(w);
    }
}

// A test that ends with its dialog never seen fails there, and its act is
// never called into the next test.
class EndOfTest : public ::testing::EmptyTestEventListener {
public:
    void OnTestEnd(const ::testing::TestInfo&) override { settle("when the test ended"); }
};

inline void listenForTestEnds() {
    static const bool listening = [] {
        ::testing::UnitTest::GetInstance()->listeners().Append(new EndOfTest);
        return true;
    }();
    (void)listening;
}

}  // namespace when_modal

// Calls `act` with each new modal widget until it returns true, then waits for
// that widget to close. Start it before the call that runs a dialog's own
// loop; the dialog is then answered from inside that loop. Past `deadline`,
// or when the next whenModal starts or the test ends first, the test fails
// and the modal widgets still up are rejected.
inline void whenModal(std::function<bool(QWidget*)> act, std::chrono::milliseconds deadline = when_modal::kDeadline) {
    using namespace when_modal;
    listenForTestEnds();
    settle("when the next whenModal started");
    auto w = std::make_shared<Watch>();
    w->act = std::move(act);
    w->timeout = deadline;
    w->deadline = QDeadlineTimer(deadline);
    w->timer = new QTimer;
    QObject::connect(w->timer, &QTimer::timeout, [weak = std::weak_ptr<Watch>(w)] { tick(weak); });
    w->timer->start(10);
    current() = w;
}
