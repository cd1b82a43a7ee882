// The document commands' real dialogs, answered by a timer once each is up.

#include "QtPrompts.h"

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

TEST(QtPrompts, AnErrorIsCaptionedWithTheProgramName) {
    QString title;
    QMessageBox::StandardButtons buttons;
    whenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box) return false;
        title = box->windowTitle();
        buttons = box->standardButtons();
        box->button(QMessageBox::Ok)->click();
        return true;
    });
    QtPrompts().error(QStringLiteral("Couldn't save file"));
    EXPECT_EQ(title, QStringLiteral("Zindle"));
    EXPECT_EQ(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
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
        seen->selectFile(QStringLiteral("B.ZDL"));
        static_cast<QDialog*>(seen)->accept();
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
        d->selectFile(QStringLiteral("boom"));
        static_cast<QDialog*>(d)->accept();
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

// The suffix added to a bare name is that of the type the user picked.
TEST_F(FileDialogs, SaveAddsTheSuffixOfTheChosenType) {
    FileDialogRequest r = request();
    r.filters[1] = {QStringLiteral("Sound Text Files"), {QStringLiteral("*.json"), QStringLiteral("*.JSON")}};
    for (const int type : {1, 0}) {
        whenModal([type](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            if (!d) return false;
            // Answered once the dialog is up and waiting in its own loop.
            QTimer::singleShot(50, d, [d, type] {
                auto* types = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
                if (!types || !d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
                    ADD_FAILURE() << "no file type list or name field";
                    d->reject();
                    return;
                }
                // The signals of a user's choice in the list.
                types->setCurrentIndex(type);
                emit types->activated(type);
                emit types->textActivated(types->itemText(type));
                // Typed, as selectFile() leaves a focused name field as it is.
                auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                if (name) name->setText(QStringLiteral("boom"));
                static_cast<QDialog*>(d)->accept();
            });
            return true;
        });
        EXPECT_EQ(QFileInfo(QtPrompts().saveFileName(r)).fileName(),
                  type == 1 ? QStringLiteral("boom.json") : QStringLiteral("boom.zdl"));
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
