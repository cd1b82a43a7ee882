#include "ui/bank/GeneratedList.h"

#include "document/GeneratedHistory.h"
#include "document/Prompts.h"
#include "storage/FileNames.h"
#include "storage/SoundFile.h"

#include <QAction>
#include <QDir>
#include <QInputDialog>
#include <QKeyEvent>

namespace {

QListWidgetItem* itemFor(const GeneratedSound& sound) {
    auto* item = new QListWidgetItem(sound.label());
    // How to make it again outside the editor.
    const QStringList args = sound.cliArguments(QStringLiteral("BASE.zdl"), QStringLiteral("OUT.zdl"));
    item->setToolTip(QStringLiteral("zindle-cli ") + args.join(QLatin1Char(' ')));
    return item;
}

}  // namespace

GeneratedList::GeneratedList(const GeneratedHistory& history, Prompts& prompts, QWidget* parent)
    : QListWidget(parent), history_(history), prompts_(prompts) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    askName_ = [this](const QString& proposed) {
        return QInputDialog::getText(this, tr("Keep Sound"), tr("Name of the new sound file:"), QLineEdit::Normal,
                                     proposed);
    };
    keepAction_ = new QAction(tr("&Keep...\tCtrl+K"), this);
    keepAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    // Only here: elsewhere in the window Ctrl+K means nothing.
    keepAction_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(keepAction_, &QAction::triggered, this, [this] { keepSelected(); });
    addAction(keepAction_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(this, &QListWidget::itemClicked, this, [this] { playCurrent(); });
    connect(this, &QListWidget::itemDoubleClicked, this, [this] {
        if (currentRow() >= 0) emit useRequested(currentRow());
    });
    connect(&history_, &GeneratedHistory::added, this, &GeneratedList::takeNewest);
    for (int i = 0; i < history_.size(); ++i) addItem(itemFor(history_.at(i)));
}

void GeneratedList::takeNewest() {
    insertItem(0, itemFor(history_.at(0)));
    while (count() > history_.size()) delete takeItem(count() - 1);
}

void GeneratedList::playCurrent() {
    const int row = currentRow();
    if (row >= 0 && row < history_.size()) emit playRequested(history_.at(row).sound);
}

bool GeneratedList::event(QEvent* event) {
    // Space is the window's Play, which would play the document instead.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            event->accept();
            return true;
        }
    }
    return QListWidget::event(event);
}

void GeneratedList::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
        playCurrent();
        event->accept();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
        QListWidget::keyPressEvent(event);
        // At either end the key plays the entry again.
        if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) playCurrent();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (currentRow() >= 0) emit useRequested(currentRow());
        event->accept();
        return;
    default: QListWidget::keyPressEvent(event);
    }
}

QString GeneratedList::keepSelected() {
    const int row = currentRow();
    if (row < 0 || row >= history_.size()) return QString();
    const QString folder = folder_ ? folder_() : QString();
    if (folder.isEmpty() || !filenames::isFolder(folder)) {
        prompts_.error(tr("There is no folder to keep the sound in: save the sound or open one first."));
        return QString();
    }
    QString name = askName_(history_.at(row).proposedName()).trimmed();
    if (name.isEmpty()) return QString();
    if (name.contains(QLatin1Char('/')) || name == QLatin1String(".") || name == QLatin1String("..")) {
        prompts_.error(tr("\"%1\" cannot be the name of a file in the folder.").arg(name));
        return QString();
    }
    if (!soundfile::isWritableName(name)) name += QStringLiteral(".zdl");
    const QString path = QDir(folder).filePath(name);
    // Keep makes a new file; one already there is someone's sound.
    if (filenames::exists(path)) {
        prompts_.error(tr("%1 exists already in %2; the sound was not kept. Keep it under another name.")
                           .arg(name, QDir::toNativeSeparators(folder)));
        return QString();
    }
    const WriteResult written = soundfile::write(path, history_.at(row).sound);
    if (!written.ok) {
        prompts_.error(tr("Couldn't save file\n\n%1\n\n%2").arg(QDir::toNativeSeparators(path), written.error));
        return QString();
    }
    emit kept(path);
    return path;
}
