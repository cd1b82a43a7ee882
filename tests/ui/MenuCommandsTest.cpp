// The menu's items and keys, Export, and the help and About entries.

#include "DocumentHarness.h"
#include "WhenModal.h"

#include "ui/dialogs/AdjustPointDialog.h"

#include "formats/ZdlFormat.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

using Kind = ScriptedPrompts::Kind;

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(MainMenu, ItemsInOrderWithTheirTexts) {
    DocumentHarness d;
    QStringList texts;
    for (QAction* top : d.h.window->menuBar()->actions()) {
        texts << top->text();
        for (QAction* item : top->menu()->actions())
            texts << (item->isSeparator() ? QStringLiteral("-") : item->text());
    }
    EXPECT_EQ(texts.join(QLatin1Char('|')),
              QStringLiteral("&File|&New\tCtrl+N|New Sound in &Bank...\tCtrl+Shift+N|-|&Open...\tCtrl+O|Open "
                             "&Folder...\tCtrl+Shift+O|Open &Recent|"
                             "&Save\tCtrl+S|Save &as...\tCtrl+A|"
                             "Export...\tCtrl+E|Export A&ll...\tCtrl+Shift+E|Normali&ze Exports|-|E&xit\tCtrl+X|"
                             "&Edit|&Undo\tCtrl+Z|&Redo\tCtrl+Shift+Z|-|&Copy Sound\tCtrl+C|"
                             "Copy S&hare Code\tCtrl+Shift+C|&Paste Sound\tCtrl+V|"
                             "&View|Sound &Bank|"
                             "&Generate|&Coin\tCtrl+1|&Laser\tCtrl+2|&Explosion\tCtrl+3|&Powerup\tCtrl+4|&Hit\tCtrl+5|"
                             "&Jump\tCtrl+6|&Blip\tCtrl+7|-|&Randomize\tCtrl+8|&Mutate\tM|-|&Keep|"
                             "&Play|&Play\tSpace|&Stop\tEsc|-|Play on &Change\tP|&Loop\tL|&Live Preview|"
                             "&Help|Instructions|-|&About"));
}

enum class Ran { Nothing, New, Open, Save, SaveAs, Export, About, Exit };

struct KeyCase {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    Ran expected;
};

const KeyCase kKeys[] = {
    {Qt::Key_N, Qt::NoModifier, Ran::New},         {Qt::Key_N, Qt::ControlModifier, Ran::New},
    {Qt::Key_O, Qt::NoModifier, Ran::Open},        {Qt::Key_O, Qt::ControlModifier, Ran::Open},
    {Qt::Key_S, Qt::NoModifier, Ran::Save},        {Qt::Key_S, Qt::ControlModifier, Ran::Save},
    {Qt::Key_A, Qt::NoModifier, Ran::SaveAs},      {Qt::Key_A, Qt::ControlModifier, Ran::SaveAs},
    {Qt::Key_E, Qt::NoModifier, Ran::Export},      {Qt::Key_E, Qt::ControlModifier, Ran::Export},
    {Qt::Key_Slash, Qt::AltModifier, Ran::About},  {Qt::Key_Question, Qt::AltModifier, Ran::About},
    {Qt::Key_X, Qt::ControlModifier, Ran::Exit},   {Qt::Key_X, Qt::NoModifier, Ran::Nothing},
    {Qt::Key_N, Qt::ShiftModifier, Ran::Nothing},  {Qt::Key_N, Qt::AltModifier, Ran::Nothing},
    {Qt::Key_Slash, Qt::NoModifier, Ran::Nothing},
};

TEST(MainMenu, PlainAndCtrlKeysRunTheItems) {
    for (const KeyCase& k : kKeys) {
        SCOPED_TRACE(QKeySequence(k.modifiers | k.key).toString().toStdString());
        DocumentHarness d;
        int abouts = 0;
        d.h.window->setAboutHandler([&] { ++abouts; });
        d.saveAs(QStringLiteral("a.zdl"));  // named and unmodified: New and Exit ask nothing
        d.prompts.shown.clear();
        const QString saved = d.file(QStringLiteral("a.zdl"));
        QFile::remove(saved);
        // The dialog the key should open is cancelled; any other fails the test.
        if (k.expected == Ran::Open) d.prompts.openName(QString());
        if (k.expected == Ran::SaveAs || k.expected == Ran::Export) d.prompts.saveName(QString());

        d.key(k.key, k.modifiers);

        Ran ran = Ran::Nothing;
        if (abouts > 0)
            ran = Ran::About;
        else if (!d.h.window->isVisible())
            ran = Ran::Exit;
        else if (!d.prompts.shown.empty() && d.prompts.shown[0].kind == Kind::Open)
            ran = Ran::Open;
        else if (!d.prompts.shown.empty() && d.prompts.shown[0].kind == Kind::Save)
            ran = d.prompts.shown[0].request.defaultSuffix == QLatin1String("wav") ? Ran::Export : Ran::SaveAs;
        else if (d.title() == QLatin1String("Zindle"))
            ran = Ran::New;
        else if (QFileInfo::exists(saved))
            ran = Ran::Save;
        EXPECT_EQ(static_cast<int>(ran), static_cast<int>(k.expected));
        EXPECT_LE(d.prompts.shown.size(), 1u);
        EXPECT_EQ(d.prompts.unused(), 0u);
    }
}

TEST(MainMenu, HelpAndAboutWaitForTheirHandlers) {
    DocumentHarness d;
    const MainWindowMenu& menu = d.menu();
    EXPECT_FALSE(menu.instructionsAction->isEnabled());
    int helps = 0;
    d.h.window->setHelpHandler([&] { ++helps; });
    ASSERT_TRUE(menu.instructionsAction->isEnabled());
    menu.instructionsAction->trigger();
    EXPECT_EQ(helps, 1);
}

TEST(MainMenu, TheDocumentItemsAreThereFromTheStart) {
    DocumentHarness d;
    const MainWindowMenu& menu = d.menu();
    for (QAction* a : {menu.newAction, menu.openAction, menu.saveAction, menu.saveAsAction, menu.exportAction,
                       menu.recentMenu->menuAction()})
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
    d.edit();
    d.prompts.answer(Prompts::Answer::No);
    d.h.window->exitAction()->trigger();
    EXPECT_EQ(d.prompts.sequence(), "question") << "an edited sound asks before the window goes";
    EXPECT_FALSE(d.h.window->isVisible());
}

TEST(MainMenu, KeysWaitWhileADragIsInProgress) {
    DocumentHarness d;
    d.edit();
    const EnvelopeGraph& graph = d.h.editor().amplitudeGraph();
    const QRect r = graph.rect();
    // Point 2 of the default curve: 40 % across, 75 % up the plot area.
    const QPoint point(r.left() + static_cast<int>((r.width() - 56) * 0.4) + 40,
                       r.top() + static_cast<int>((r.height() - 32) * 0.25) + 16);
    QTest::mousePress(d.h.canvas(), Qt::LeftButton, {}, point);
    ASSERT_TRUE(d.h.editor().isDragging());
    d.key(Qt::Key_N);
    EXPECT_EQ(d.prompts.sequence(), "");
    QTest::mouseRelease(d.h.canvas(), Qt::LeftButton, {}, point);
    d.prompts.answer(Prompts::Answer::No);
    d.key(Qt::Key_N);
    EXPECT_EQ(d.prompts.sequence(), "question");
    EXPECT_EQ(d.title(), QStringLiteral("Zindle"));
}

TEST(StartUp, TheAboutBoxOpensOnceOverTheFirstFrame) {
    // Built as start-up builds it, not yet shown.
    QTemporaryDir dir;
    QSettings settings(dir.filePath(QStringLiteral("zindle.ini")), QSettings::IniFormat);
    RecentFiles recent(settings);
    ScriptedPrompts prompts;
    SoundDocument document;
    DocumentCommands commands(document, prompts, recent, dir.path());
    DrawingTools tools;
    RecordingPlayer player;
    MainWindow window(document, commands, recent, settings, player, tools);
    std::vector<int> paintsBefore;
    window.setAboutHandler([&] { paintsBefore.push_back(window.canvas()->paintCount()); });
    window.showAboutAfterFirstPaint();
    QCoreApplication::processEvents();
    EXPECT_TRUE(paintsBefore.empty()) << "not before the window is on screen";

    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !paintsBefore.empty(); }));
    window.canvas()->repaint();
    QCoreApplication::processEvents();
    ASSERT_EQ(paintsBefore.size(), 1u) << "later frames open nothing";
    EXPECT_GE(paintsBefore[0], 1);
}

TEST(AdjustPoint, ADoubleClickOnAPointOpensItsDialogOverTheWindow) {
    DocumentHarness d;
    d.h.window->useAdjustPointDialogs();
    const QRect r = d.h.editor().amplitudeGraph().rect();
    // Point 1 of the default curve: 20 % across, 75 % up the plot area.
    const QPoint point(r.left() + static_cast<int>((r.width() - 56) * 0.2) + 40,
                       r.top() + static_cast<int>((r.height() - 32) * 0.25) + 16);
    struct Case {
        const char* value;
        bool ok;
        const char* amplitude;
        const char* title;
    };
    const Case cases[] = {
        {"50", false, "0:75 20:75 40:75 60:75 80:75 100:0", "Zindle"},
        {"50", true, "0:75 20:50 40:75 60:75 80:75 100:0", "Zindle *"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ok ? "OK" : "Cancel");
        QString shown;
        QWidget* owner = nullptr;
        whenModal([&](QWidget* w) {
            auto* dialog = qobject_cast<AdjustPointDialog*>(w);
            if (!dialog) return false;
            shown = dialog->valueField()->text();
            owner = dialog->parentWidget();
            dialog->valueField()->setText(QString::fromLatin1(c.value));
            (c.ok ? dialog->okButton() : dialog->cancelButton())->click();
            return true;
        });
        QTest::mouseDClick(d.h.window->windowHandle(), Qt::LeftButton, {},
                           d.h.canvas()->mapTo(d.h.window.get(), point));
        EXPECT_EQ(shown.toDouble(), 75.0);
        EXPECT_EQ(owner, d.h.window.get());
        EXPECT_EQ(d.h.document.settings().amplitude.toText(), c.amplitude);
        EXPECT_EQ(d.title(), QString::fromLatin1(c.title));
    }
}

class ExportWav : public ::testing::Test {
protected:
    static QByteArray cliRender(const QString& zdl, const QString& wav) {
        QProcess cli;
        cli.start(QStringLiteral(ZINDLE_BINARY_DIR "/src/app/zindle-cli"),
                  {QStringLiteral("render"), zdl, QStringLiteral("-o"), wav});
        if (!cli.waitForFinished(60000) || cli.exitCode() != 0) return QByteArray();
        return bytesOf(wav);
    }
};

TEST_F(ExportWav, WritesWhatTheCommandLineRendersAndLeavesTheDocumentAlone) {
    struct Setup {
        int waveform, bits, rate, repeats;  // button indexes
    };
    for (const Setup s : {Setup{6, 0, 0, 0}, Setup{12, 1, 1, 2}, Setup{9, 1, 2, 9}}) {
        SCOPED_TRACE(s.waveform);
        DocumentHarness d;
        Editor& e = d.h.editor();
        d.clickButton(e.waveformGroup(), s.waveform);
        d.clickButton(e.bitsGroup(), s.bits);
        d.clickButton(e.rateGroup(), s.rate);
        d.clickButton(e.repeatsGroup(), s.repeats);
        d.saveAs(QStringLiteral("x.zdl"));
        d.edit(s.waveform == 6 ? 7 : 6);
        d.edit(s.waveform);  // the same sound again, but two steps from the saved one
        const QString title = d.title();
        ASSERT_EQ(title, QStringLiteral("Zindle - x.zdl *"));

        d.prompts.saveName(d.file(QStringLiteral("x.wav")));
        d.key(Qt::Key_E);

        ASSERT_EQ(d.prompts.sequence(), "save, save");
        const FileDialogRequest& request = d.prompts.shown[1].request;
        EXPECT_EQ(request.fileName, d.file(QStringLiteral("x.wav"))) << "proposed beside the sound";
        EXPECT_EQ(request.filters[0].patterns, QStringList({"*.wav", "*.WAV"}));
        const QByteArray exported = bytesOf(d.file(QStringLiteral("x.wav")));
        const QByteArray rendered = cliRender(d.file(QStringLiteral("x.zdl")), d.file(QStringLiteral("cli.wav")));
        ASSERT_FALSE(rendered.isEmpty());
        EXPECT_TRUE(exported == rendered) << exported.size() << " bytes exported, " << rendered.size() << " rendered";
        const qsizetype oneCopy = static_cast<qsizetype>(d.h.document.rendered().dataSize());
        EXPECT_EQ(exported.size(), 44 + (s.repeats + 1) * oneCopy);

        EXPECT_EQ(d.title(), title);
        EXPECT_EQ(d.h.document.path(), d.file(QStringLiteral("x.zdl")));
        EXPECT_TRUE(d.h.document.modified());
    }
}

TEST_F(ExportWav, AFailureIsShownAndNothingElseChanges) {
    DocumentHarness d;
    d.edit();
    QDir().mkpath(d.file(QStringLiteral("taken.wav")));
    d.prompts.saveName(d.file(QStringLiteral("taken.wav"))).saveName(QString());
    d.key(Qt::Key_E, Qt::ControlModifier);
    d.key(Qt::Key_E);  // cancelled: no message
    EXPECT_EQ(d.prompts.sequence(), "save, error, save");
    EXPECT_TRUE(d.prompts.shown[1].text.startsWith(QStringLiteral("Couldn't save file\n\ntaken.wav\n")));
    EXPECT_EQ(d.prompts.shown[0].request.fileName, QString()) << "an unnamed sound proposes no name";
    EXPECT_EQ(d.title(), QStringLiteral("Zindle *"));
}

}  // namespace
