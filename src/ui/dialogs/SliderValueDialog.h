#pragma once

#include "ui/controls/SliderValue.h"

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

// The exact value of one slider, typed: a field in the slider's unit that
// starts with the value the slider shows, and under it the range, or the
// reason the text is refused. OK is enabled only for a value in the range,
// so a refused text keeps the dialog open with its reason in view.
class SliderValueDialog : public QDialog {
    Q_OBJECT
public:
    explicit SliderValueDialog(const slider_value::Field& field, QWidget* parent = nullptr);

    // Opens the dialog modally over `parent`'s window: the value after OK,
    // nothing after Cancel.
    static std::optional<int> run(QWidget* parent, const slider_value::Field& field);

    // What the field holds now, when it is a value in the range.
    std::optional<int> value() const;

    QLineEdit* valueField() const { return field_; }
    QLabel* noteLabel() const { return note_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

public slots:
    void accept() override;

private:
    void check();

    slider_value::Field spec_;
    QLineEdit* field_ = nullptr;
    QLabel* note_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};
