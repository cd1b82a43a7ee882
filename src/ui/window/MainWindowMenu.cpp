#include "ui/window/MainWindowMenu.h"

#include "core/SoundTemplates.h"
#include "document/EditHistory.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

// An item run by Ctrl with the letter (shown in the menu) and by the letter alone.
QAction* addLetterItem(QMenu* menu, const QString& text, Qt::Key letter) {
    QAction* action = menu->addAction(text);
    action->setShortcuts({QKeySequence(Qt::CTRL | letter), QKeySequence(letter)});
    return action;
}

// "&Undo Move Point\tCtrl+Z": the verb, the step it would take back (if
// any) and the key; disabled while there is nothing to do.
void followHistory(QAction* action, const EditHistory& history, const QString& verb, const QString& key, bool undo) {
    auto refresh = [action, &history, verb, key, undo] {
        const QString step = undo ? history.undoText() : history.redoText();
        action->setText(verb + (step.isEmpty() ? QString() : QLatin1Char(' ') + step) + QLatin1Char('\t') + key);
        action->setEnabled(undo ? history.canUndo() : history.canRedo());
    };
    QObject::connect(&history, &EditHistory::indexChanged, action, refresh);
    QObject::connect(&history, &EditHistory::cleanChanged, action, refresh);
    refresh();
}

}  // namespace

MainWindowMenu::MainWindowMenu(QMainWindow& window, const EditHistory& history) {
    QMenu* file = window.menuBar()->addMenu(QObject::tr("&File"));
    newAction = addLetterItem(file, QObject::tr("&New\tCtrl+N"), Qt::Key_N);
    newInBankAction = file->addAction(QObject::tr("New Sound in &Bank...\tCtrl+Shift+N"));
    newInBankAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    file->addSeparator();
    openAction = addLetterItem(file, QObject::tr("&Open...\tCtrl+O"), Qt::Key_O);
    openFolderAction = file->addAction(QObject::tr("Open &Folder...\tCtrl+Shift+O"));
    openFolderAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    recentMenu = file->addMenu(QObject::tr("Open &Recent"));
    saveAction = addLetterItem(file, QObject::tr("&Save\tCtrl+S"), Qt::Key_S);
    saveAsAction = addLetterItem(file, QObject::tr("Save &as...\tCtrl+A"), Qt::Key_A);
    exportAction = addLetterItem(file, QObject::tr("Export...\tCtrl+E"), Qt::Key_E);
    file->addSeparator();
    exitAction = file->addAction(QObject::tr("E&xit\tCtrl+X"));
    exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));

    QMenu* edit = window.menuBar()->addMenu(QObject::tr("&Edit"));
    undoAction = edit->addAction(QString());
    undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    followHistory(undoAction, history, QObject::tr("&Undo"), QStringLiteral("Ctrl+Z"), true);
    redoAction = edit->addAction(QString());
    redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    followHistory(redoAction, history, QObject::tr("&Redo"), QStringLiteral("Ctrl+Shift+Z"), false);
    edit->addSeparator();
    copySoundAction = edit->addAction(QObject::tr("&Copy Sound\tCtrl+C"));
    copySoundAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    copyShareCodeAction = edit->addAction(QObject::tr("Copy S&hare Code\tCtrl+Shift+C"));
    copyShareCodeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    pasteSoundAction = edit->addAction(QObject::tr("&Paste Sound\tCtrl+V"));
    pasteSoundAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));

    QMenu* view = window.menuBar()->addMenu(QObject::tr("&View"));
    soundBankAction = view->addAction(QObject::tr("Sound &Bank"));
    soundBankAction->setCheckable(true);

    QMenu* generate = window.menuBar()->addMenu(QObject::tr("&Generate"));
    // The "random" template is Randomize's, so it has no item of its own.
    int index = 0;
    for (const std::string& name : sound_templates::names()) {
        if (name == sound_templates::kRandom) continue;
        QString label = QString::fromStdString(name);
        label[0] = label[0].toUpper();
        label.insert(0, QLatin1Char('&'));
        ++index;
        QAction* action = generate->addAction(QStringLiteral("%1\tCtrl+%2").arg(label).arg(index));
        action->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + index)));
        templateActions.push_back({name, action});
    }
    generate->addSeparator();
    ++index;
    randomizeAction = generate->addAction(QObject::tr("&Randomize\tCtrl+%1").arg(index));
    randomizeAction->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + index)));
    mutateAction = generate->addAction(QObject::tr("&Mutate\tM"));
    mutateAction->setShortcut(QKeySequence(Qt::Key_M));
    generate->addSeparator();
    QMenu* keep = generate->addMenu(QObject::tr("&Keep"));
    for (SoundPart part : KeptParts::kAll) {
        static const char* const kTexts[] = {"&Amplitude", "&Frequency", "&Waveform",
                                             "&Length",    "&Effects",   "&Quality and Repeats"};
        QAction* action = keep->addAction(QObject::tr(kTexts[static_cast<int>(part)]));
        action->setCheckable(true);
        keepActions.push_back({part, action});
    }

    QMenu* play = window.menuBar()->addMenu(QObject::tr("&Play"));
    playAction = play->addAction(QObject::tr("&Play\tSpace"));
    playAction->setShortcut(QKeySequence(Qt::Key_Space));
    stopAction = play->addAction(QObject::tr("&Stop\tEsc"));
    stopAction->setShortcut(QKeySequence(Qt::Key_Escape));
    play->addSeparator();
    auto addToggle = [play](const QString& text, Qt::Key key) {
        QAction* action = play->addAction(text);
        action->setCheckable(true);
        if (key != Qt::Key_unknown) action->setShortcut(QKeySequence(key));
        return action;
    };
    playOnChangeAction = addToggle(QObject::tr("Play on &Change\tP"), Qt::Key_P);
    loopAction = addToggle(QObject::tr("&Loop\tL"), Qt::Key_L);
    livePreviewAction = addToggle(QObject::tr("&Live Preview"), Qt::Key_unknown);

    QMenu* help = window.menuBar()->addMenu(QObject::tr("&Help"));
    instructionsAction = help->addAction(QObject::tr("Instructions"));
    help->addSeparator();
    aboutAction = help->addAction(QObject::tr("&About"));
    aboutAction->setShortcuts({QKeySequence(Qt::ALT | Qt::Key_Slash), QKeySequence(Qt::ALT | Qt::Key_Question)});

    window.addActions({newAction,         openAction,         saveAction,  saveAsAction,       exportAction,
                       exitAction,        undoAction,         redoAction,  copySoundAction,    copyShareCodeAction,
                       pasteSoundAction,  playAction,         stopAction,  playOnChangeAction, loopAction,
                       livePreviewAction, instructionsAction, aboutAction, randomizeAction,    mutateAction,
                       openFolderAction,  newInBankAction});
    for (const TemplateAction& item : templateActions) window.addAction(item.action);
}
