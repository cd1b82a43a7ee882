#include "ui/bank/BankPanel.h"

#include "bank/SoundBank.h"
#include "core/WavImage.h"
#include "ui/bank/BankFileCommands.h"
#include "ui/bank/BankListModel.h"
#include "ui/bank/BankView.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

BankPanel::BankPanel(SoundBank& bank, QWidget* parent)
    : QWidget(parent), bank_(bank), model_(new BankListModel(bank, this)), view_(new BankView(this)) {
    heading_ = new QLabel(this);
    heading_->setWordWrap(true);
    view_->setModel(model_);
    view_->header()->setSectionResizeMode(BankListModel::Name, QHeaderView::Stretch);
    // Widths from the widest figures, not from the contents: fitting the
    // columns to a thousand rows at each read that comes back would cost
    // the interface more than the reads.
    const QFontMetrics metrics(view_->font());
    const int margin =
        2 * view_->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, view_) + metrics.averageCharWidth();
    const std::pair<int, QString> widest[] = {{BankListModel::Duration, QStringLiteral("00.00 s")},
                                              {BankListModel::Peak, QStringLiteral("-00.0")},
                                              {BankListModel::Loudness, QStringLiteral("-000.0")}};
    for (const auto& [column, text] : widest) {
        const QString title = model_->headerData(column, Qt::Horizontal).toString();
        view_->header()->setSectionResizeMode(column, QHeaderView::Fixed);
        view_->header()->resizeSection(
            column, std::max(metrics.horizontalAdvance(text), metrics.horizontalAdvance(title)) + margin);
    }
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(4, 4, 4, 4);
    layout_->addWidget(heading_);
    layout_->addWidget(view_, 3);

    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        selected_ = current.isValid() ? current.data(BankListModel::PathRole).toString() : QString();
    });
    connect(view_, &BankView::playWanted, this, &BankPanel::play);
    connect(view_, &BankView::openWanted, this, &BankPanel::open);
    // Each file command names the entry to select afterwards.
    connect(view_, &BankView::renameWanted, this, [this](const QModelIndex& index) {
        runFileCommand(index, [this](const QString& path) { return fileCommands_->rename(path); });
    });
    connect(view_, &BankView::deleteWanted, this, [this](const QModelIndex& index) {
        runFileCommand(index, [this](const QString& path) { return fileCommands_->remove(path); });
    });
    connect(view_, &BankView::duplicateWanted, this, [this](const QModelIndex& index) {
        runFileCommand(index, [this](const QString& path) { return fileCommands_->duplicate(path); });
    });
    connect(model_, &QAbstractItemModel::modelReset, this, &BankPanel::listReset);
    connect(&bank_, &SoundBank::problemChanged, this, &BankPanel::refreshHeading);
    connect(&bank_, &SoundBank::soundReady, this, [this](const QString& path, const WavImage& image) {
        // Only the sound still selected: the user may have moved on.
        if (path == wanted_ && path == selected_) emit soundToPlay(image);
    });
    // A file that went bad since it was listed says why, rather than staying silent.
    connect(&bank_, &SoundBank::soundFailed, this, [this](const QString& path, const QString& reason) {
        if (path == wanted_ && path == selected_) emit playFailed(path, reason);
    });
    refreshHeading();
    buildContextMenu();
}

void BankPanel::buildContextMenu() {
    view_->setContextMenuPolicy(Qt::ActionsContextMenu);
    using Signal = void (BankView::*)(const QModelIndex&);
    const std::pair<QString, Signal> items[] = {{tr("&Open\tEnter"), &BankView::openWanted},
                                                {tr("&Play\tSpace"), &BankView::playWanted},
                                                {tr("&Rename...\tF2"), &BankView::renameWanted},
                                                {tr("D&uplicate\tCtrl+D"), &BankView::duplicateWanted},
                                                {tr("&Delete...\tDel"), &BankView::deleteWanted}};
    for (const auto& [text, signal] : items) {
        auto* action = new QAction(text, view_);
        // The view's keys already run these: the text only shows them.
        connect(action, &QAction::triggered, view_, [this, signal = signal] {
            const QModelIndex index = view_->currentIndex();
            if (index.isValid()) emit(view_->*signal)(index);
        });
        view_->addAction(action);
    }
    auto* separator = new QAction(view_);
    separator->setSeparator(true);
    view_->addAction(separator);
}

void BankPanel::addContextAction(QAction* action) { view_->addAction(action); }

void BankPanel::runFileCommand(const QModelIndex& index, const std::function<QString(const QString&)>& command) {
    const BankEntry* entry = model_->entryAt(index.row());
    if (!fileCommands_ || !index.isValid() || !entry) return;
    // A copy: the commands ask questions, and a rescan meanwhile replaces
    // the entries.
    const QString path = entry->path;
    const QString next = command(path);
    if (!next.isEmpty()) selectPath(next);
}

void BankPanel::setOpenSound(const QString& path, bool modified) { model_->setOpenSound(path, modified); }

QString BankPanel::selectedPath() const { return selected_; }

void BankPanel::selectPath(const QString& path) {
    const int row = bank_.indexOf(QDir::cleanPath(path));
    if (row < 0) return;
    view_->setCurrentIndex(model_->index(row, 0));
}

void BankPanel::setGeneratedList(QWidget* list) {
    auto* heading = new QLabel(tr("Generated"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout_->addWidget(heading);
    list->setParent(this);
    layout_->addWidget(list, 2);
}

QString BankPanel::headingText() const { return heading_->text(); }

void BankPanel::refreshHeading() {
    if (!bank_.problem().isEmpty()) {
        heading_->setText(bank_.problem());
    } else if (bank_.folder().isEmpty()) {
        heading_->setText(tr("No folder is open. File, Open Folder... lists a folder's sounds here."));
    } else {
        const int count = static_cast<int>(bank_.entries().size());
        const QString sounds = count == 1 ? tr("1 sound") : tr("%1 sounds").arg(count);
        heading_->setText(QStringLiteral("%1 (%2)").arg(QFileInfo(bank_.folder()).fileName(), sounds));
    }
    heading_->setToolTip(QDir::toNativeSeparators(bank_.folder()));
}

void BankPanel::play(const QModelIndex& index) {
    const BankEntry* entry = model_->entryAt(index.row());
    if (!index.isValid() || !entry || entry->state == BankEntry::State::Unreadable) return;
    wanted_ = entry->path;
    bank_.requestSound(entry->path);
}

void BankPanel::open(const QModelIndex& index) {
    const BankEntry* entry = model_->entryAt(index.row());
    // A file that cannot be read is never opened by accident.
    if (!index.isValid() || !entry || entry->state == BankEntry::State::Unreadable) return;
    emit openRequested(entry->path);
}

void BankPanel::listReset() {
    refreshHeading();
    // The same sound stays selected when others come and go.
    const QString keep = selected_;
    selected_.clear();
    if (!keep.isEmpty()) selectPath(keep);
}
