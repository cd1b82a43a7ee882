#include "ui/dialogs/ExportAllDialog.h"

#include "core/SoundQuality.h"
#include "ui/dialogs/NormalizationChoices.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The quality box's items after "Each sound's own": every rate at every width.
QList<exportall::Quality> qualities() {
    QList<exportall::Quality> list;
    for (const int32_t rate : sound_quality::kSampleRates)
        for (const int32_t bits : sound_quality::kSampleWidths) list << exportall::Quality{rate, bits};
    return list;
}

}  // namespace

ExportAllDialog::ExportAllDialog(const ExportAllChoice& proposed, QWidget* parent)
    : QDialog(parent), proposed_(proposed) {
    setWindowTitle(tr("Export All"));
    auto* form = new QFormLayout;

    source_ = new QLineEdit(proposed.sourceFolder, this);
    auto* sourceRow = new QHBoxLayout;
    sourceRow->addWidget(source_);
    sourceRow->addWidget(browseButton(source_, tr("Sounds to export")));
    form->addRow(tr("&Sounds in:"), sourceRow);

    target_ = new QLineEdit(proposed.options.folder, this);
    auto* targetRow = new QHBoxLayout;
    targetRow->addWidget(target_);
    targetRow->addWidget(browseButton(target_, tr("Export to")));
    form->addRow(tr("&Export to:"), targetRow);

    format_ = new QComboBox(this);
    for (const soundexport::ExportType& t : soundexport::types()) {
        format_->addItem(QLatin1String(t.label), int(t.format));
        if (t.format == proposed.options.format) format_->setCurrentIndex(format_->count() - 1);
    }
    form->addRow(tr("&Type:"), format_);

    quality_ = new QComboBox(this);
    quality_->addItem(tr("Each sound's own"));
    for (const exportall::Quality& q : qualities()) {
        quality_->addItem(tr("%1 Hz, %2 bit").arg(q.sampleRate).arg(q.bits));
        const auto& chosen = proposed.options.quality;
        if (chosen && chosen->sampleRate == q.sampleRate && chosen->bits == q.bits)
            quality_->setCurrentIndex(quality_->count() - 1);
    }
    form->addRow(tr("&Quality:"), quality_);

    normalize_ = new QComboBox(this);
    bool listed = false;
    for (const normalization_choices::Choice& c : normalization_choices::presets()) {
        normalize_->addItem(c.label, normalization::text(c.value));
        listed = listed || c.value == proposed.options.normalize;
    }
    // A target from elsewhere (the command line's form) stays choosable.
    if (!listed)
        normalize_->addItem(normalization_choices::label(proposed.options.normalize),
                            normalization::text(proposed.options.normalize));
    normalize_->setCurrentIndex(normalize_->findData(normalization::text(proposed.options.normalize)));
    form->addRow(tr("&Normalize:"), normalize_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setText(tr("Export"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(source_, &QLineEdit::textChanged, this, &ExportAllDialog::check);
    connect(target_, &QLineEdit::textChanged, this, &ExportAllDialog::check);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(480);
    check();
}

QPushButton* ExportAllDialog::browseButton(QLineEdit* field, const QString& caption) {
    auto* button = new QPushButton(tr("Browse..."), this);
    connect(button, &QPushButton::clicked, this, [this, field, caption] {
        const QString folder = QFileDialog::getExistingDirectory(this, caption, field->text());
        if (!folder.isEmpty()) field->setText(folder);
    });
    return button;
}

void ExportAllDialog::check() {
    ok_->setEnabled(!source_->text().trimmed().isEmpty() && !target_->text().trimmed().isEmpty());
}

ExportAllChoice ExportAllDialog::choice() const {
    ExportAllChoice c = proposed_;
    c.sourceFolder = source_->text().trimmed();
    c.options.folder = target_->text().trimmed();
    c.options.format = static_cast<soundexport::ExportFormat>(format_->currentData().toInt());
    const int quality = quality_->currentIndex();
    c.options.quality = quality <= 0 ? std::nullopt : std::optional<exportall::Quality>(qualities().value(quality - 1));
    // Every item holds a text that parses.
    c.options.normalize =
        normalization::parse(normalize_->currentData().toString(), nullptr).value_or(normalization::Normalization{});
    return c;
}

std::optional<ExportAllChoice> ExportAllDialog::run(QWidget* parent, const ExportAllChoice& proposed) {
    ExportAllDialog dialog(proposed, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.choice();
}
