#pragma once

#include "document/ExportAllCommand.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Export All's questions on one page: the folder of sounds, the folder to
// write to, the file type, the quality (each sound's own or one for all) and
// the normalisation. OK is enabled once both folders are named.
class ExportAllDialog : public QDialog {
    Q_OBJECT
public:
    explicit ExportAllDialog(const ExportAllChoice& proposed, QWidget* parent = nullptr);

    // Opens the dialog modally over `parent`'s window: the choice after OK,
    // nothing after Cancel.
    static std::optional<ExportAllChoice> run(QWidget* parent, const ExportAllChoice& proposed);

    ExportAllChoice choice() const;

    QLineEdit* sourceField() const { return source_; }
    QLineEdit* targetField() const { return target_; }
    QComboBox* formatBox() const { return format_; }
    QComboBox* qualityBox() const { return quality_; }
    QComboBox* normalizeBox() const { return normalize_; }
    QPushButton* okButton() const { return ok_; }

private:
    void check();
    // A Browse button that puts the chosen folder into `field`.
    QPushButton* browseButton(QLineEdit* field, const QString& caption);

    ExportAllChoice proposed_;
    QLineEdit* source_ = nullptr;
    QLineEdit* target_ = nullptr;
    QComboBox* format_ = nullptr;
    QComboBox* quality_ = nullptr;
    QComboBox* normalize_ = nullptr;
    QPushButton* ok_ = nullptr;
};
