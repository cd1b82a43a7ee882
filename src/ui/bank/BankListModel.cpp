#include "ui/bank/BankListModel.h"

#include "bank/SoundBank.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QPalette>

#include <cmath>

BankListModel::BankListModel(SoundBank& bank, QObject* parent) : QAbstractTableModel(parent), bank_(bank) {
    connect(&bank_, &SoundBank::listChanged, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(&bank_, &SoundBank::entryChanged, this, &BankListModel::rowChanged);
}

void BankListModel::setOpenSound(const QString& path, bool modified) {
    const QString clean = path.isEmpty() ? QString() : QDir::cleanPath(path);
    if (clean == openPath_ && modified == openModified_) return;
    const int before = bank_.indexOf(openPath_);
    openPath_ = clean;
    openModified_ = modified;
    rowChanged(before);
    rowChanged(bank_.indexOf(openPath_));
}

const BankEntry* BankListModel::entryAt(int row) const {
    if (row < 0 || row >= rowCount()) return nullptr;
    return &bank_.entries()[static_cast<size_t>(row)];
}

void BankListModel::rowChanged(int row) {
    if (row < 0 || row >= rowCount()) return;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

int BankListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(bank_.entries().size());
}

int BankListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QString BankListModel::durationText(double ms) {
    return ms < 10000 ? QStringLiteral("%1 s").arg(ms / 1000.0, 0, 'f', 2)
                      : QStringLiteral("%1 s").arg(ms / 1000.0, 0, 'f', 1);
}

QString BankListModel::levelText(double db) {
    return std::isfinite(db) ? QString::number(db, 'f', 1) : QStringLiteral("-inf");
}

QVariant BankListModel::data(const QModelIndex& index, int role) const {
    const BankEntry* e = entryAt(index.row());
    if (!e) return {};
    const bool open = !openPath_.isEmpty() && e->path == openPath_;
    const bool unreadable = e->state == BankEntry::State::Unreadable;
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == Name) return open && openModified_ ? e->name + QStringLiteral(" *") : e->name;
        if (e->state != BankEntry::State::Ready) return unreadable ? QStringLiteral("—") : QStringLiteral("…");
        switch (index.column()) {
        case Duration: return durationText(e->durationMs);
        case Peak: return levelText(e->peakDb);
        case Loudness: return levelText(e->loudnessLufs);
        default: return {};
        }
    case Qt::ToolTipRole: return unreadable ? e->reason : QDir::toNativeSeparators(e->path);
    case Qt::ForegroundRole:
        if (unreadable) return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        return {};
    case Qt::FontRole:
        if (open) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() != Name) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case PathRole: return e->path;
    default: return {};
    }
}

QVariant BankListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::ToolTipRole) {
        if (section == Peak) return tr("The largest sample, in dB below full scale");
        if (section == Loudness) return tr("Loudness by EBU R128, in LUFS");
        return {};
    }
    if (role != Qt::DisplayRole) return {};
    switch (section) {
    case Name: return tr("Name");
    case Duration: return tr("Length");
    case Peak: return tr("Peak dB");
    case Loudness: return tr("LUFS");
    default: return {};
    }
}
