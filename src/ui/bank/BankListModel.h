#pragma once

#include <QAbstractTableModel>
#include <QString>

class SoundBank;
struct BankEntry;

// The bank's entries as the panel's table shows them: the name (the open
// sound bold, with " *" while modified), the duration, greyed with the
// reason as the tooltip for a file that cannot be read.
class BankListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Name, Duration, Peak, Loudness, ColumnCount };
    // The entry's path, for any column.
    static constexpr int PathRole = Qt::UserRole + 1;

    explicit BankListModel(SoundBank& bank, QObject* parent = nullptr);

    // The sound the editor holds (an absolute path, or empty) and whether it
    // has changes not saved.
    void setOpenSound(const QString& path, bool modified);

    const BankEntry* entryAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // "0.35 s", "12.4 s": the figure a list of short sounds needs.
    static QString durationText(double ms);
    // "-3.2", or "-inf" for a silent sound.
    static QString levelText(double db);

private:
    void rowChanged(int row);

    SoundBank& bank_;
    QString openPath_;
    bool openModified_ = false;
};
