// The dialog helper of the tests: a dialog it does not answer, and one that
// never comes, fail the test instead of hanging it.

#include "WhenModal.h"

#include <QDialog>
#include <QTest>
#include <QTimer>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

namespace {

using namespace std::chrono_literals;

// Keeps the failures reported while it lives from the test's own result.
struct Intercept {
    explicit Intercept(::testing::TestPartResultArray* into)
        : reporter(::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, into) {}
    ::testing::ScopedFakeTestPartResultReporter reporter;
};

bool acceptAny(QWidget* w) {
    static_cast<QDialog*>(w)->accept();
    return true;
}

void expectReported(const ::testing::TestPartResultArray& results, const char* expected) {
    if (!expected) {
        EXPECT_EQ(results.size(), 0) << results.GetTestPartResult(0).message();
        return;
    }
    ASSERT_EQ(results.size(), 1);
    const ::testing::TestPartResult& r = results.GetTestPartResult(0);
    EXPECT_TRUE(r.nonfatally_failed());
    EXPECT_NE(std::string(r.message()).find(expected), std::string::npos) << r.message();
}

// Runs a dialog's loop; if the helper does not end it, a backstop does, and
// says so.
int runDialog(QDialog& dialog) {
    dialog.setWindowTitle(QStringLiteral("Wanted"));
    QTimer::singleShot(5000, &dialog, [&dialog] {
        ADD_FAILURE() << "the backstop ended the dialog";
        dialog.reject();
    });
    return dialog.exec();
}

TEST(WhenModal, ADialogNotAnsweredByTheDeadlineFailsAndIsRejected) {
    const struct {
        const char* how;
        std::function<bool(QWidget*)> act;
        int result;
        const char* reported;  // nullptr: nothing
    } cases[] = {
        {"answered", acceptAny, QDialog::Accepted, nullptr},
        {"never taken", [](QWidget*) { return false; }, QDialog::Rejected,
         "after 200 ms, no dialog had been answered (the last modal widget offered was QDialog \"Wanted\")"},
        {"taken, left open", [](QWidget*) { return true; }, QDialog::Rejected,
         "after 200 ms, the QDialog \"Wanted\" it answered was still open"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        QDialog dialog;
        ::testing::TestPartResultArray reported;
        int result = -1;
        {
            Intercept intercept(&reported);
            whenModal(c.act, 200ms);
            result = runDialog(dialog);
        }
        expectReported(reported, c.reported);
        EXPECT_EQ(result, c.result);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(when_modal::current()) << "done with the dialog's loop";
    }
}

// Its act is never called past the failure: it would reach into a scope that
// may be gone.
TEST(WhenModal, ADialogThatNeverComesFailsTheTest) {
    const struct {
        const char* how;
        std::function<void()> after;  // what ends the wait
        const char* reported;
    } cases[] = {
        {"the deadline passes", [] { EXPECT_TRUE(QTest::qWaitFor([] { return !when_modal::current(); })); },
         "after 200 ms, no dialog had been answered (no modal widget appeared)"},
        {"the next whenModal starts", [] { whenModal(acceptAny); },
         "when the next whenModal started, no dialog had been answered (no modal widget appeared)"},
        {"the test ends",
         [] { when_modal::EndOfTest().OnTestEnd(*::testing::UnitTest::GetInstance()->current_test_info()); },
         "when the test ended, no dialog had been answered (no modal widget appeared)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        bool called = false;
        ::testing::TestPartResultArray reported;
        {
            Intercept intercept(&reported);
            whenModal(
                [&called](QWidget*) {
                    called = true;
                    return false;
                },
                200ms);
            c.after();
        }
        expectReported(reported, c.reported);
        // A dialog after the failure is left to a whenModal of its own.
        if (!when_modal::current()) whenModal(acceptAny);
        QDialog dialog;
        EXPECT_EQ(runDialog(dialog), QDialog::Accepted);
        EXPECT_FALSE(called);
    }
}

}  // namespace
