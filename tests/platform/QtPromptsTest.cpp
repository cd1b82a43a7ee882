// The document commands' real dialogs, answered by a timer once each is up.

#include "platform/QtPrompts.h"

#include "WhenModal.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Types `name` into the dialog's name field and accepts it. Typed, because
// selectFile() leaves the field alone once it has focus, and focus comes when
// the window pleases (the dialog then waited for ever now and then).
void acceptTyped(QFileDialog* dialog, const char* name) {
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!field) {
        ADD_FAILURE() << "no name field in the dialog";
        dialog->reject();
        return;
    }
    field->setText(QString::fromUtf8(name));
    static_cast<QDialog*>(dialog)->accept();
}

TEST(QtPrompts, TheQuestionMapsEachWayOfAnswering) {
    struct Case {
        const char* how;
        std::function<void(QMessageBox*)> answer;
        Prompts::Answer expected;
    };
    const Case cases[] = {
        {"Yes", [](QMessageBox* b) { b->button(QMessageBox::Yes)->click(); }, Prompts::Answer::Yes},
        {"No", [](QMessageBox* b) { b->button(QMessageBox::No)->click(); }, Prompts::Answer::No},
        {"Cancel", [](QMessageBox* b) { b->button(QMessageBox::Cancel)->click(); }, Prompts::Answer::Cancel},
        {"Escape", [](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Escape); }, Prompts::Answer::Cancel},
        {"closed", [](QMessageBox* b) { b->close(); }, Prompts::Answer::Cancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        QMessageBox* shown = nullptr;
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        whenModal([&](QWidget* w) {
            shown = qobject_cast<QMessageBox*>(w);
            if (!shown) return false;
            title = shown->windowTitle();
            text = shown->text();
            icon = shown->icon();
            buttons = shown->standardButtons();
            c.answer(shown);
            return true;
        });
        QtPrompts prompts;
        EXPECT_EQ(prompts.question(QStringLiteral("Save changes to this file?")), c.expected);
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(title, QStringLiteral("Zindle"));
        EXPECT_EQ(text, QStringLiteral("Save changes to this file?"));
        EXPECT_EQ(icon, QMessageBox::Question);
        EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    }
}

// Replace or Cancel, with Cancel the default: only the action's button says yes.
TEST(QtPrompts, TheTwoWayQuestionIsYesOnlyForItsAction) {
    const struct {
        const char* how;
        std::function<void(QMessageBox*)> answer;
        bool expected;
    } cases[] = {
        {"Replace", [](QMessageBox* b) { b->buttons().first()->click(); }, true},
        {"Cancel", [](QMessageBox* b) { b->button(QMessageBox::Cancel)->click(); }, false},
        {"Enter", [](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Return); }, false},
        {"Escape", [](QMessageBox* b) { QTest::keyClick(b, Qt::Key_Escape); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        QStringList labels;
        bool shown = false;
        whenModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box) return false;
            shown = true;
            for (QAbstractButton* b : box->buttons()) labels << b->text().remove(QLatin1Char('&'));
            c.answer(box);
            return true;
        });
        EXPECT_EQ(QtPrompts().confirm(QStringLiteral("x.wav already exists."), QStringLiteral("Replace")), c.expected);
        ASSERT_TRUE(shown);
        EXPECT_EQ(labels, QStringList({"Replace", "Cancel"}));
    }
}

TEST(QtPrompts, AnErrorIsAWarningCaptionedWithTheProgramName) {
    QString title;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    whenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box) return false;
        title = box->windowTitle();
        buttons = box->standardButtons();
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
        return true;
    });
    QtPrompts().error(QStringLiteral("Couldn't save file"));
    EXPECT_EQ(title, QStringLiteral("Zindle"));
    EXPECT_EQ(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(icon, QMessageBox::Warning);
}

class FileDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"a.zdl", "B.ZDL", "c.efc"}) {
            QFile f(dir.filePath(QString::fromLatin1(name)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("x");
        }
    }
    FileDialogRequest request() const {
        FileDialogRequest r;
        r.filters = {{QStringLiteral("Sound Effects Files"), {QStringLiteral("*.zdl"), QStringLiteral("*.ZDL")}},
                     {QStringLiteral("Old Style Files"), {QStringLiteral("*.efc"), QStringLiteral("*.EFC")}}};
        r.directory = dir.path();
        r.defaultSuffix = QStringLiteral("zdl");
        return r;
    }
    QTemporaryDir dir;
};

TEST_F(FileDialogs, OpenStartsInTheDirectoryAndTakesOnlyExistingFiles) {
    QFileDialog* seen = nullptr;
    whenModal([&](QWidget* w) {
        seen = qobject_cast<QFileDialog*>(w);
        if (!seen) return false;
        EXPECT_EQ(seen->acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(seen->fileMode(), QFileDialog::ExistingFile);
        EXPECT_EQ(seen->nameFilters(),
                  QStringList({"Sound Effects Files (*.zdl *.ZDL)", "Old Style Files (*.efc *.EFC)"}));
        EXPECT_EQ(seen->selectedNameFilter(), QStringLiteral("Sound Effects Files (*.zdl *.ZDL)"));
        EXPECT_EQ(QDir(seen->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        acceptTyped(seen, "B.ZDL");
        return true;
    });
    const QString chosen = QtPrompts().openFileName(request());
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(QFileInfo(chosen).canonicalFilePath(), QFileInfo(dir.filePath("B.ZDL")).canonicalFilePath());

    whenModal([](QWidget* w) {
        if (auto* d = qobject_cast<QFileDialog*>(w)) d->reject();
        return true;
    });
    EXPECT_EQ(QtPrompts().openFileName(request()), QString());
}

TEST_F(FileDialogs, SaveAddsTheSuffixAndAsksBeforeReplacing) {
    FileDialogRequest r = request();
    r.filters.removeLast();
    // A typed name without a suffix gets the default one.
    whenModal([](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        if (!d) return false;
        EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_FALSE(d->testOption(QFileDialog::DontConfirmOverwrite));
        acceptTyped(d, "boom");
        return true;
    });
    EXPECT_EQ(QFileInfo(QtPrompts().saveFileName(r)).fileName(), QStringLiteral("boom.zdl"));

    // The proposed file exists: the dialog asks; No keeps it open, then it is cancelled.
    r.fileName = dir.filePath(QStringLiteral("a.zdl"));
    QFileDialog* dialog = nullptr;
    bool asked = false;
    whenModal([&](QWidget* w) {
        if (auto* d = qobject_cast<QFileDialog*>(w)) {
            dialog = d;
            EXPECT_EQ(QFileInfo(d->selectedFiles().value(0)).fileName(), QStringLiteral("a.zdl"));
            QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
            return false;
        }
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            asked = true;
            box->button(QMessageBox::No)->click();
            QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
            return true;
        }
        return false;
    });
    EXPECT_EQ(QtPrompts().saveFileName(r), QString());
    EXPECT_TRUE(asked) << "replacing a.zdl was not confirmed";
}

// The export dialog's three file types: a name typed without an extension
// gets the one of the type picked, by keyboard in the type list as a user
// would pick it; a typed extension is kept.
TEST_F(FileDialogs, SaveAddsTheExtensionOfTheFileTypePicked) {
    FileDialogRequest r;
    r.filters = {{QStringLiteral("WAV Files"), {QStringLiteral("*.wav"), QStringLiteral("*.WAV")}},
                 {QStringLiteral("FLAC Files"), {QStringLiteral("*.flac"), QStringLiteral("*.FLAC")}},
                 {QStringLiteral("Ogg Vorbis Files"), {QStringLiteral("*.ogg"), QStringLiteral("*.OGG")}}};
    r.directory = dir.path();
    r.defaultSuffix = QStringLiteral("wav");
    r.title = QStringLiteral("Export");
    const struct {
        int typesDown;  // Down presses in the file-type list
        const char* typed;
        const char* chosen;
        int filter;  // the type handed back
    } cases[] = {
        {0, "boom", "boom.wav", 0},       {1, "boom", "boom.flac", 1},
        {2, "boom", "boom.ogg", 2},       {2, "boom.wav", "boom.wav", 2},
        {1, "Boom.FLAC", "Boom.FLAC", 1}, {3, "x", "x.ogg", 2},  // Down past the last type stays on it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " after " + std::to_string(c.typesDown) + " Down");
        bool found = false;
        QString title;
        whenModal([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            if (!d) return false;
            title = d->windowTitle();
            auto* types = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            found = types != nullptr;
            if (!found) {
                d->reject();
                return true;
            }
            for (int i = 0; i < c.typesDown; ++i) QTest::keyClick(types, Qt::Key_Down);
            acceptTyped(d, c.typed);
            return true;
        });
        const SaveChoice chosen = QtPrompts().saveFile(r);
        ASSERT_TRUE(found) << "no file-type list or name field in the dialog";
        EXPECT_EQ(QFileInfo(chosen.path).fileName().toStdString(), c.chosen);
        EXPECT_EQ(chosen.filter, c.filter);
        EXPECT_EQ(title, QStringLiteral("Export"));
    }
    EXPECT_EQ(QtPrompts::filterSuffix(r, QStringLiteral("Ogg Vorbis Files (*.ogg *.OGG)")), QStringLiteral("ogg"));
    r.filters = {{QStringLiteral("All Files"), {QStringLiteral("*")}}};
    EXPECT_EQ(QtPrompts::filterSuffix(r, QStringLiteral("All Files (*)")), QString());
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
