#include "ui/dialogs/SliderValueDialog.h"

#include "ui/dialogs/AdjustPointDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

SliderValueDialog::SliderValueDialog(const slider_value::Field& field, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      spec_(field) {
    setWindowTitle(field.name);
    // The point dialogs' font, so that the editor's dialogs look alike.
    setFont(AdjustPointDialog::dialogFont());

    auto* layout = new QGridLayout(this);
    auto* label = new QLabel(field.name, this);
    field_ = new QLineEdit(QString::number(field.shown), this);
    label->setBuddy(field_);
    field_->setMaxLength(12);
    field_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    layout->addWidget(label, 0, 0);
    layout->addWidget(field_, 0, 1);
    layout->addWidget(new QLabel(field.unit, this), 0, 2);
    note_ = new QLabel(this);
    // Wide enough for every note it can show, so that the dialog keeps its size.
    int noteWidth = fontMetrics().horizontalAdvance(slider_value::range(field));
    for (const QString& text : {QString(), QString::number(field.minimum - 1), QString::number(field.maximum + 1)})
        noteWidth = std::max(noteWidth, fontMetrics().horizontalAdvance(slider_value::refusal(field, text)));
    note_->setMinimumWidth(noteWidth);
    layout->addWidget(note_, 1, 0, 1, 3);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QDialogButtonBox::Ok);
    cancel_ = buttons->addButton(QDialogButtonBox::Cancel);
    ok_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &SliderValueDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SliderValueDialog::reject);
    layout->addWidget(buttons, 2, 0, 1, 3);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(field_, &QLineEdit::textChanged, this, &SliderValueDialog::check);
    check();
    // Typing into a freshly opened field replaces what it shows.
    field_->selectAll();
    field_->setFocus();
}

std::optional<int> SliderValueDialog::value() const { return slider_value::read(spec_, field_->text()); }

void SliderValueDialog::check() {
    const QString refusal = slider_value::refusal(spec_, field_->text());
    ok_->setEnabled(refusal.isEmpty());
    if (refusal.isEmpty()) {
        note_->setText(slider_value::range(spec_));
        note_->setStyleSheet(QString());
    } else {
        note_->setText(refusal);
        note_->setStyleSheet(QStringLiteral("color: #b00000;"));
    }
}

void SliderValueDialog::accept() {
    // Enter with a refused text does nothing: the reason is in view already.
    if (value()) QDialog::accept();
}

std::optional<int> SliderValueDialog::run(QWidget* parent, const slider_value::Field& field) {
    SliderValueDialog dialog(field, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.value();
}
