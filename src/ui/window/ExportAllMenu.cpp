#include "ui/window/ExportAllMenu.h"

#include "document/DocumentCommands.h"
#include "ui/dialogs/ExportAllDialog.h"
#include "ui/dialogs/NormalizationChoices.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QProgressDialog>
#include <QSettings>

namespace {

const QString kNormalizeKey = QStringLiteral("export/normalize");

// The menu an action sits in (the File menu for Export).
QMenu* menuOf(QAction& action) {
    for (QObject* o : action.associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(o)) return menu;
    return nullptr;
}

}  // namespace

ExportAllMenu::ExportAllMenu(QMainWindow& window, QAction& exportAction, DocumentCommands& commands,
                             QSettings& settings)
    : QObject(&window), commands_(commands), settings_(settings), command_(commands), dialogs_(window) {
    QMenu* file = menuOf(exportAction);
    exportAll_ = new QAction(tr("Export A&ll...\tCtrl+Shift+E"), this);
    exportAll_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    normalizeMenu_ = new QMenu(tr("Normali&ze Exports"), &window);
    auto* group = new QActionGroup(this);
    for (const normalization_choices::Choice& c : normalization_choices::presets()) {
        QAction* item = normalizeMenu_->addAction(c.label);
        item->setCheckable(true);
        group->addAction(item);
        normalizeActions_ << item;
        connect(item, &QAction::triggered, this, [this, value = c.value] {
            commands_.setExportNormalization(value);
            showNormalization();
            storeNormalization();
        });
    }
    if (file) {
        const QList<QAction*> items = file->actions();
        const int at = int(items.indexOf(&exportAction));
        QAction* before = at >= 0 && at + 1 < items.size() ? items[at + 1] : nullptr;
        file->insertAction(before, exportAll_);
        file->insertMenu(before, normalizeMenu_);
    }
    window.addAction(exportAll_);
    connect(exportAll_, &QAction::triggered, this, &ExportAllMenu::exportAll);

    // A stored text that no longer parses counts as none.
    const QString stored = settings_.value(kNormalizeKey).toString();
    commands_.setExportNormalization(normalization::parse(stored, nullptr).value_or(normalization::Normalization{}));
    showNormalization();
}

ExportAllMenu::~ExportAllMenu() = default;

void ExportAllMenu::exportAll() {
    command_.run(asker_ ? *asker_ : static_cast<ExportAllAsker&>(dialogs_),
                 progress_ ? *progress_ : static_cast<ExportProgress&>(dialogs_));
    // The dialog may have changed it for Export too.
    showNormalization();
    storeNormalization();
}

void ExportAllMenu::showNormalization() {
    const normalization::Normalization& current = commands_.exportNormalization();
    const QList<normalization_choices::Choice>& presets = normalization_choices::presets();
    for (int i = 0; i < presets.size(); ++i) normalizeActions_[i]->setChecked(presets[i].value == current);
}

void ExportAllMenu::storeNormalization() {
    settings_.setValue(kNormalizeKey, normalization::text(commands_.exportNormalization()));
}

ExportAllMenu::Dialogs::~Dialogs() { delete progress_; }

std::optional<ExportAllChoice> ExportAllMenu::Dialogs::ask(const ExportAllChoice& proposed) {
    return ExportAllDialog::run(&window_, proposed);
}

bool ExportAllMenu::Dialogs::advance(int done, int total, const QString& source) {
    if (!progress_) {
        progress_ = new QProgressDialog(tr("Exporting..."), tr("Cancel"), 0, total, &window_);
        progress_->setWindowTitle(tr("Export All"));
        progress_->setWindowModality(Qt::WindowModal);
        progress_->setMinimumDuration(0);
    }
    progress_->setMaximum(total);
    progress_->setLabelText(source.isEmpty() ? tr("Done.") : tr("Exporting %1").arg(QFileInfo(source).fileName()));
    progress_->setValue(done);
    // The cancel button is heard between sounds.
    QCoreApplication::processEvents();
    const bool go = !progress_->wasCanceled();
    if (done >= total || !go) {
        progress_->deleteLater();
        progress_ = nullptr;
    }
    return go;
}
