#include "core/Envelope.h"
#include "ui/dialogs/AdjustPointDialog.h"
#include "ui/dialogs/NoteList.h"
#include "ui/dialogs/NumberText.h"

#include "WhenModal.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <limits>
#include <string>

namespace {

// Replaces a field's text the way a user does: focus, select all, type.
void type(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

// What a freshly opened dialog shows for point i.
// What the editor does when the dialog ends: an accepted dialog's curve
// replaces the one it was opened on.
void takeBack(const AdjustPointDialog& dialog, Envelope& envelope) {
    if (dialog.result() == QDialog::Accepted) envelope = dialog.envelope();
}

struct Shown {
    QString time;
    QString value;
    bool timeEnabled;
};
Shown shown(const Envelope& envelope, int i) {
    AdjustPointDialog dialog(envelope, i);
    return {dialog.timeField()->text(), dialog.valueField()->text(), dialog.timeField()->isEnabled()};
}

// ---- numbers -------------------------------------------------------------

TEST(NumberText, ReadsTheLeadingNumberLikeAtof) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        QString text;
        double expected;
    } cases[] = {
        {"12.5", 12.5},
        {"  12.5abc", 12.5},
        {"\t7", 7},
        {"abc", 0},
        {"", 0},
        {"-5", -5},
        {"+3", 3},
        {"1e2", 100},
        {"1e", 1},
        {"2.5e-1x", 0.25},
        {".5", 0.5},
        {"5.", 5},
        {"12,5", 12},
        {"- 5", 0},
        {"0x10", 16},
        {"1e999", inf},
        {"-inf", -inf},
        {"nan", 0},
        {"NaN(1)", 0},
        {QString::fromUtf8("3\u00b5"), 3},
        {QString(253, '0') + "5", 5},  // the 254th character still counts
        {QString(254, '0') + "5", 0},  // the 255th does not
    };
    for (const Case& c : cases) EXPECT_EQ(number_text::read(c.text), c.expected) << c.text.toStdString();
}

TEST(NumberText, ShowsTwoTruncatedDecimals) {
    struct Case {
        double q;
        const char* expected;
    } cases[] = {
        {220.0, "220.00"},   {100.0 * double(0.199999988f), "19.99"},
        {50.0, "50.00"},     {0.0, "0.00"},
        {4.999, "4.99"},     {0.005, "0.00"},
        {4840.0, "4840.00"}, {16.351, "16.35"},
        {-0.5, "-0.50"},     {std::nan(""), "0.00"},
    };
    for (const Case& c : cases) EXPECT_EQ(number_text::twoDecimals(c.q).toStdString(), c.expected) << c.q;
}

// ---- notes ---------------------------------------------------------------

TEST(NoteList, NamesAndPitches) {
    struct Case {
        int k;
        const char* name;
        double hz;
    } cases[] = {
        {0, "[0] C", 16.3516}, {1, "[0] C#", 17.3239}, {8, "[0] Ab", 25.9565},  {11, "[0] B", 30.8677},
        {45, "[3] A", 220.0},  {57, "[4] A", 440.0},   {58, "[4] Bb", 466.164}, {98, "[8] D", 4698.636},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(note_list::name(c.k).toStdString(), c.name);
        EXPECT_NEAR(note_list::hz(c.k), c.hz, 0.001) << c.k;
    }
    EXPECT_TRUE(note_list::name(99).isEmpty());
}

TEST(NoteList, NearestNote) {
    struct Case {
        float hz;
        int expected;
    } cases[] = {
        {220.0f, 45},
        {440.0f, 57},
        {float(440.0 * std::pow(2.0, 0.49 / 12)), 57},  // just under half a semitone
        {float(440.0 * std::pow(2.0, 0.51 / 12)), 58},
        {float(440.0 * std::pow(2.0, -0.49 / 12)), 57},
        {float(440.0 * std::pow(2.0, -0.51 / 12)), 56},
        {10.0f, 0},
        {4840.0f, 98},
        {0.0f, 0},
        {-3.0f, 0},
        {std::numeric_limits<float>::quiet_NaN(), 0},
        {std::numeric_limits<float>::infinity(), 98},
    };
    for (const Case& c : cases) EXPECT_EQ(note_list::nearest(c.hz), c.expected) << c.hz;
}

// ---- layout --------------------------------------------------------------

TEST(AdjustPointLayout, DialogUnitsRoundToPixels) {
    const QSize base(6, 13);
    struct Case {
        QRect units;
        QRect pixels;
    } cases[] = {
        {{77, 25, 40, 14}, {116, 41, 60, 23}},  {{0, 0, 168, 158}, {0, 0, 252, 257}},
        {{30, 135, 50, 14}, {45, 219, 75, 23}}, {{1, 1, 1, 1}, {2, 2, 2, 2}},  // 1.5 and 1.625 round up
        {{-1, -1, 2, 4}, {-2, -2, 3, 7}},
    };
    for (const Case& c : cases) EXPECT_EQ(AdjustPointDialog::toPixels(c.units, base), c.pixels) << c.units.x();
}

TEST(AdjustPointLayout, PlacedOverTheOwnersClientArea) {
    struct Case {
        QRect client;
        QSize dialog;
        int menu, caption;
        QPoint expected;
    } cases[] = {
        {{100, 50, 1000, 700}, {252, 257}, 0, 0, {474, 271}},
        {{100, 50, 1000, 700}, {252, 257}, 20, 23, {474, 250}},
        {{0, 0, 1001, 701}, {250, 250}, 0, 0, {375, 225}},
        // Larger than the owner: the negative halves truncate toward zero.
        {{10, 10, 200, 100}, {253, 158}, 19, 0, {-16, -28}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AdjustPointDialog::placement(c.client, c.dialog, c.menu, c.caption), c.expected);
}

TEST(AdjustPointLayout, ControlsFitTheirDialog) {
    const QString family = QFontInfo(AdjustPointDialog::dialogFont()).family();
    EXPECT_TRUE(family == "Liberation Sans" || family == "DejaVu Sans") << family.toStdString();
    Envelope frequency = Envelope(EnvelopeKind::Frequency);
    Envelope amplitude = Envelope(EnvelopeKind::Amplitude);
    AdjustPointDialog f(frequency, 1), a(amplitude, 1);
    for (QDialog* d : {static_cast<QDialog*>(&f), static_cast<QDialog*>(&a)}) {
        EXPECT_EQ(d->windowTitle(), "Adjust Point");
        for (QWidget* w : d->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            EXPECT_TRUE(d->rect().contains(w->geometry())) << w->metaObject()->className();
    }
}

// ---- the dialogs, driven like a user --------------------------------------

class AdjustPointDialogTest : public ::testing::Test {
protected:
    Envelope frequency = Envelope(EnvelopeKind::Frequency);
    Envelope amplitude = Envelope(EnvelopeKind::Amplitude);
};

TEST_F(AdjustPointDialogTest, StartShowsThePoint) {
    AdjustPointDialog dialog(frequency, 2);
    EXPECT_EQ(dialog.valueField()->text(), "220.00");
    EXPECT_EQ(dialog.noteList()->count(), 99);
    EXPECT_EQ(dialog.noteList()->currentText(), "[3] A");
    EXPECT_TRUE(dialog.frequencyButton()->isChecked());
    EXPECT_FALSE(dialog.noteButton()->isChecked());

    struct Case {
        Envelope* envelope;
        int i;
        const char* time;
        const char* value;
        bool timeEnabled;
    } cases[] = {
        {&frequency, 0, "0.00", "220.00", false},   {&frequency, 1, "20.00", "220.00", true},
        {&frequency, 5, "100.00", "220.00", false}, {&amplitude, 0, "0.00", "75.00", false},
        {&amplitude, 1, "20.00", "75.00", true},    {&amplitude, 5, "100.00", "0.00", false},
    };
    for (const Case& c : cases) {
        const Shown s = shown(*c.envelope, c.i);
        EXPECT_EQ(s.time.toStdString(), c.time) << c.i;
        EXPECT_EQ(s.value.toStdString(), c.value) << c.i;
        EXPECT_EQ(s.timeEnabled, c.timeEnabled) << c.i;
    }
}

TEST_F(AdjustPointDialogTest, NoteListFollowsTheStoredPitch) {
    struct Case {
        const char* curve;
        const char* note;
    } cases[] = {
        {"0:0 50:0 100:0", "[0] C"},        // 10 Hz, below the list
        {"0:100 50:100 100:100", "[8] D"},  // 4840 Hz, above it
        {"0:50 50:61.212194 100:50", "[4] A"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(frequency.fromText(c.curve));
        AdjustPointDialog dialog(frequency, 1);
        EXPECT_EQ(dialog.noteList()->currentText().toStdString(), c.note) << c.curve;
    }
}

// Typed text, OK, and what the point holds and shows afterwards.
TEST_F(AdjustPointDialogTest, TypedValuesAreReadAndClamped) {
    enum Field { Time, Value };
    struct Case {
        bool isFrequency;
        int i;
        Field field;
        QString typed;
        float time;
        float value;
        const char* reshown;
    } cases[] = {
        {false, 1, Time, "20", 0.199999988f, 0.75f, "19.99"},
        {false, 1, Time, "50", 0.4f, 0.75f, "40.00"},  // beyond the next point
        {false, 2, Time, "50", 0.5f, 0.75f, "50.00"},
        {false, 2, Time, "150", 0.6f, 0.75f, "60.00"},
        {false, 2, Time, "-5", 0.2f, 0.75f, "20.00"},
        {false, 2, Time, "abc", 0.2f, 0.75f, "20.00"},
        {false, 2, Time, "inf", 0.6f, 0.75f, "60.00"},
        {false, 2, Time, "nan", 0.2f, 0.75f, "20.00"},
        {false, 2, Value, "20", 0.4f, 0.199999988f, "19.99"},
        {false, 2, Value, "50", 0.4f, 0.5f, "50.00"},
        {false, 2, Value, "150", 0.4f, 1.0f, "100.00"},
        {false, 2, Value, "-20", 0.4f, 0.0f, "0.00"},
        {false, 2, Value, "nan", 0.4f, 0.0f, "0.00"},
        {false, 0, Value, "33.3", 0.0f, 0.333f, "33.30"},
        {true, 1, Time, "20", 0.199999988f, 0.5f, "19.99"},
        {true, 3, Time, "12.5x", 0.4f, 0.5f, "40.00"},
        {true, 2, Value, "440", 0.4f, 0.61212194f, "440.00"},
        {true, 2, Value, "0", 0.4f, 0.0f, "10.00"},
        {true, 2, Value, "-5", 0.4f, 0.0f, "10.00"},
        {true, 2, Value, "abc", 0.4f, 0.0f, "10.00"},
        {true, 2, Value, "10000", 0.4f, 1.0f, "4840.00"},
        {true, 5, Value, "220 Hz", 1.0f, 0.5f, "220.00"},
    };
    for (const Case& c : cases) {
        Envelope envelope = Envelope(c.isFrequency ? EnvelopeKind::Frequency : EnvelopeKind::Amplitude);
        const std::string before = envelope.toText();
        AdjustPointDialog dialog(envelope, c.i);
        type(c.field == Time ? dialog.timeField() : dialog.valueField(), c.typed);
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        takeBack(dialog, envelope);
        const std::string what =
            (c.isFrequency ? "frequency " : "amplitude ") + std::to_string(c.i) + " " + c.typed.toStdString();
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << what;
        EXPECT_EQ(envelope.time(c.i), c.time) << what;
        EXPECT_FLOAT_EQ(envelope.value(c.i), c.value) << what;
        EXPECT_TRUE(envelope.isValid()) << what;
        // Nothing but point i changed.
        Envelope others = Envelope(envelope.kind());
        others.movePoint(c.i, envelope.time(c.i), envelope.value(c.i));
        EXPECT_EQ(envelope.toText(), others.toText()) << what << " was " << before;

        const Shown again = shown(envelope, c.i);
        EXPECT_EQ((c.field == Time ? again.time : again.value).toStdString(), c.reshown) << what;
    }
}

TEST_F(AdjustPointDialogTest, OkWithoutEditsKeepsEveryPoint) {
    // Two truncated decimals cannot give these numbers back; OK must not try.
    ASSERT_TRUE(frequency.fromText("0:13.37 33.3333:77.777 66.6667:0.1234 100:99.999"));
    ASSERT_TRUE(amplitude.fromText("0:13.37 33.3333:77.777 66.6667:0.1234 100:99.999"));
    for (Envelope* envelope : {&frequency, &amplitude}) {
        const Envelope before = *envelope;
        for (int round = 0; round < 3; ++round) {
            for (int i = 0; i < envelope->pointCount(); ++i) {
                AdjustPointDialog dialog(*envelope, i);
                QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
                takeBack(dialog, *envelope);
                ASSERT_EQ(dialog.result(), QDialog::Accepted);
            }
        }
        EXPECT_TRUE(*envelope == before) << envelope->toText();
    }
}

TEST_F(AdjustPointDialogTest, EndPointsKeepTheirTimes) {
    // A loaded curve may have its ends off 0 and 1; the dialog leaves them be.
    ASSERT_TRUE(amplitude.assign({0.1f, 0.5f, 0.9f}, {0.2f, 0.2f, 0.2f}));
    for (int i : {0, 2}) {
        AdjustPointDialog dialog(amplitude, i);
        dialog.timeField()->setEnabled(true);  // even if the field were typed into
        type(dialog.timeField(), "50");
        type(dialog.valueField(), "80");
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        takeBack(dialog, amplitude);
    }
    EXPECT_EQ(amplitude.toText(), "10:80 50:20 90:80");
}

TEST_F(AdjustPointDialogTest, ChoosingANoteSwitchesToIt) {
    AdjustPointDialog dialog(frequency, 2);
    type(dialog.valueField(), "1000");
    EXPECT_TRUE(dialog.frequencyButton()->isChecked());  // typing does not switch
    dialog.noteList()->setFocus();
    for (int step = 0; step < 12; ++step) QTest::keyClick(dialog.noteList(), Qt::Key_Down);
    EXPECT_EQ(dialog.noteList()->currentText(), "[4] A");
    EXPECT_TRUE(dialog.noteButton()->isChecked());
    EXPECT_FALSE(dialog.frequencyButton()->isChecked());
    EXPECT_EQ(dialog.valueField()->text(), "1000");  // and the field is left as typed
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    takeBack(dialog, frequency);
    EXPECT_EQ(frequency.value(2), 0.61212194f);
    EXPECT_EQ(shown(frequency, 2).value, "440.00");
}

TEST_F(AdjustPointDialogTest, FrequencyButtonBringsBackTheTypedPitch) {
    AdjustPointDialog dialog(frequency, 2);
    type(dialog.valueField(), "10000");
    dialog.noteList()->setFocus();
    QTest::keyClick(dialog.noteList(), Qt::Key_Up);
    ASSERT_TRUE(dialog.noteButton()->isChecked());
    QTest::mouseClick(dialog.frequencyButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.noteButton()->isChecked());
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    takeBack(dialog, frequency);
    EXPECT_EQ(frequency.value(2), 1.0f);
}

// Every way out of the dialog after the same edits: only OK and Enter write.
TEST_F(AdjustPointDialogTest, OnlyOkAndEnterWrite) {
    struct Case {
        const char* how;
        std::function<void(AdjustPointDialog&)> end;
        bool accepted;
    } cases[] = {
        {"OK", [](AdjustPointDialog& d) { QTest::mouseClick(d.okButton(), Qt::LeftButton); }, true},
        {"Enter", [](AdjustPointDialog& d) { QTest::keyClick(d.valueField(), Qt::Key_Return); }, true},
        {"Cancel", [](AdjustPointDialog& d) { QTest::mouseClick(d.cancelButton(), Qt::LeftButton); }, false},
        {"Escape", [](AdjustPointDialog& d) { QTest::keyClick(d.valueField(), Qt::Key_Escape); }, false},
        {"close box", [](AdjustPointDialog& d) { d.close(); }, false},
    };
    for (const Case& c : cases) {
        for (bool isFrequency : {false, true}) {
            Envelope envelope = Envelope(isFrequency ? EnvelopeKind::Frequency : EnvelopeKind::Amplitude);
            const std::string before = envelope.toText();
            AdjustPointDialog dialog(envelope, 2);
            dialog.show();  // the default button acts only when shown
            type(dialog.timeField(), "55");
            type(dialog.valueField(), "7");
            c.end(dialog);
            takeBack(dialog, envelope);
            EXPECT_EQ(dialog.result(), c.accepted ? QDialog::Accepted : QDialog::Rejected) << c.how;
            EXPECT_EQ(envelope.toText() != before, c.accepted) << c.how << " " << envelope.toText();
        }
    }
}

// Enter presses the button that has the focus, reached with Tab as a user
// does; from a field, the note list or a radio button it presses OK.
TEST_F(AdjustPointDialogTest, EnterPressesTheFocusedButton) {
    using Target = std::function<QWidget*(AdjustPointDialog&)>;
    const Target ok = [](AdjustPointDialog& d) { return d.okButton(); };
    const Target cancel = [](AdjustPointDialog& d) { return d.cancelButton(); };
    const Target value = [](AdjustPointDialog& d) { return d.valueField(); };
    const Target notes = [](AdjustPointDialog& d) { return d.noteList(); };
    const Target radio = [](AdjustPointDialog& d) { return d.noteButton(); };
    struct Case {
        const char* how;
        bool isFrequency;
        Target target;
        Qt::Key key;
        bool accepted;
    } cases[] = {
        {"amplitude: Cancel", false, cancel, Qt::Key_Return, false},
        {"amplitude: Cancel, keypad Enter", false, cancel, Qt::Key_Enter, false},
        {"amplitude: OK", false, ok, Qt::Key_Return, true},
        {"amplitude: the field after Cancel", false, value, Qt::Key_Return, true},
        {"frequency: Cancel", true, cancel, Qt::Key_Return, false},
        {"frequency: OK", true, ok, Qt::Key_Return, true},
        {"frequency: note list", true, notes, Qt::Key_Return, true},
        {"frequency: radio button after Cancel", true, radio, Qt::Key_Return, true},
    };
    for (const Case& c : cases) {
        Envelope envelope = Envelope(c.isFrequency ? EnvelopeKind::Frequency : EnvelopeKind::Amplitude);
        const std::string before = envelope.toText();
        AdjustPointDialog dialog(envelope, 2);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog)) << c.how;
        type(dialog.valueField(), "7");
        type(dialog.timeField(), "55");
        QWidget* const target = c.target(dialog);
        for (int step = 0; step < 8 && QApplication::focusWidget() != target; ++step)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), target) << c.how;
        QTest::keyClick(target, c.key);
        takeBack(dialog, envelope);
        EXPECT_FALSE(dialog.isVisible()) << c.how;
        EXPECT_EQ(dialog.result(), c.accepted ? QDialog::Accepted : QDialog::Rejected) << c.how;
        EXPECT_EQ(envelope.toText() != before, c.accepted) << c.how << " " << envelope.toText();
    }
}

TEST_F(AdjustPointDialogTest, FieldsTakeClicksThroughTheirFrames) {
    // The group boxes are drawn around the fields; a click must still reach them.
    for (Envelope* envelope : {&frequency, &amplitude}) {
        AdjustPointDialog dialog(*envelope, 2);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        for (QWidget* field : {static_cast<QWidget*>(dialog.timeField()), static_cast<QWidget*>(dialog.valueField())}) {
            const QPoint centre = field->geometry().center();
            EXPECT_EQ(dialog.childAt(centre), field);
        }
        EXPECT_EQ(dialog.childAt(dialog.okButton()->geometry().center()), dialog.okButton());
    }
}

TEST_F(AdjustPointDialogTest, TabVisitsTheControlsInLayoutOrder) {
    AdjustPointDialog f(frequency, 2);
    AdjustPointDialog a(amplitude, 2);
    const QList<QWidget*> orders[] = {
        // The two radio buttons make one stop, as a group does.
        {f.timeField(), f.valueField(), f.noteList(), f.okButton(), f.cancelButton(), f.noteButton(), f.timeField()},
        {a.timeField(), a.okButton(), a.cancelButton(), a.valueField(), a.timeField()},
    };
    for (const QList<QWidget*>& order : orders) {
        QWidget* dialog = order.first()->window();
        dialog->show();
        QApplication::setActiveWindow(dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
        EXPECT_EQ(QApplication::focusWidget(), order.first());
        for (int k = 1; k < order.size(); ++k) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            EXPECT_EQ(QApplication::focusWidget(), order[k]) << k;
        }
        dialog->hide();
    }
}

TEST_F(AdjustPointDialogTest, DecimalCommaLocaleStillReadsAPoint) {
    const QLocale savedQt;
    const std::string savedC = std::setlocale(LC_NUMERIC, nullptr);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const bool cLocale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    if (cLocale) {
        EXPECT_EQ(std::atof("12.5"), 12.0);  // the locale really reads a comma
    }

    AdjustPointDialog dialog(amplitude, 1);
    type(dialog.timeField(), "12.5");
    type(dialog.valueField(), "12,5");
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    takeBack(dialog, amplitude);
    const std::string shownTime = shown(amplitude, 1).time.toStdString();

    std::setlocale(LC_NUMERIC, savedC.c_str());
    QLocale::setDefault(savedQt);
    const std::string after = amplitude.toText();  // printed in the "C" locale again
    EXPECT_EQ(after, "0:75 12.5:12 40:75 60:75 80:75 100:0");
    EXPECT_EQ(shownTime, "12.50");
    if (!cLocale) std::cout << "[ note ] de_DE.UTF-8 not available; only the Qt locale was German\n";
}

// ---- the entry point the window uses --------------------------------------

// Acts on the modal dialog once it is open; a dialog left open fails the test.
void whenOpen(std::function<void(AdjustPointDialog*)> act) {
    whenModal([act](QWidget* w) {
        auto* dialog = qobject_cast<AdjustPointDialog*>(w);
        if (!dialog) return false;
        act(dialog);
        return true;
    });
}

TEST_F(AdjustPointDialogTest, RunReportsWhetherThePointChanged) {
    QMainWindow owner;
    owner.setCentralWidget(new QWidget);
    owner.setGeometry(100, 80, 900, 650);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));

    QPoint where;
    whenOpen([&](AdjustPointDialog* d) {
        where = d->pos();
        // The time field has the focus, and typing replaces what it shows.
        ASSERT_TRUE(QTest::qWaitFor([d] { return QApplication::focusWidget() == d->timeField(); }));
        QTest::keyClicks(d->timeField(), "50");
        type(d->valueField(), "25");
        QTest::mouseClick(d->okButton(), Qt::LeftButton);
    });
    const std::optional<Envelope> edited = AdjustPointDialog::run(&owner, amplitude, 2);
    ASSERT_TRUE(edited);
    EXPECT_FLOAT_EQ(amplitude.time(2), 0.4f) << "the dialog gives the curve back, it never writes it";
    amplitude = *edited;
    EXPECT_EQ(amplitude.time(2), 0.5f);
    EXPECT_EQ(amplitude.value(2), 0.25f);
    // Centred across the client area, a little above its middle.
    const QRect client(owner.centralWidget()->mapToGlobal(QPoint(0, 0)), owner.centralWidget()->size());
    EXPECT_NEAR(where.x() + 126, client.center().x(), 3);
    EXPECT_LT(where.y(), client.center().y() - 100);

    whenOpen([](AdjustPointDialog* d) {
        type(d->valueField(), "90");
        QTest::mouseClick(d->cancelButton(), Qt::LeftButton);
    });
    EXPECT_FALSE(AdjustPointDialog::run(&owner, amplitude, 2));
    EXPECT_EQ(amplitude.value(2), 0.25f);

    for (int bad : {-1, 6}) {
        EXPECT_FALSE(AdjustPointDialog::run(&owner, amplitude, bad));
    }
    EXPECT_EQ(amplitude.toText(), "0:75 20:75 50:25 60:75 80:75 100:0");
}

}  // namespace
