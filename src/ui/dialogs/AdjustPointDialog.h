#pragma once

#include "core/Envelope.h"

#include <QDialog>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Adjust Point": exact values for one point of an envelope. A frequency
// point gets its time and a pitch (typed in Hz or picked from the note list),
// an amplitude point its time and level, all in the fields' own units
// (percent, Hz). It edits a copy of the curve: OK writes the point into it,
// Cancel leaves it alone, and the caller takes the edited curve back. A
// field whose text is left as shown keeps its number exactly, so that OK
// without an edit does not creep the point downwards.
class AdjustPointDialog : public QDialog {
    Q_OBJECT
public:
    // Which dialog is built follows the envelope's kind. A point index outside
    // the envelope gives empty fields and an OK that changes nothing.
    AdjustPointDialog(const Envelope& envelope, int pointIndex, QWidget* parent = nullptr);

    // Opens the dialog modally over `parent`'s window; the edited curve after
    // OK, nothing after Cancel. An index outside the envelope opens nothing
    // and gives nothing.
    static std::optional<Envelope> run(QWidget* parent, const Envelope& envelope, int pointIndex);

    // The curve with what OK wrote into it (as given until then).
    const Envelope& envelope() const { return envelope_; }

    QLineEdit* timeField() const { return time_; }
    // The frequency field or the amplitude field.
    QLineEdit* valueField() const { return value_; }
    // Null in the amplitude dialog, as are the two radio buttons.
    QComboBox* noteList() const { return notes_; }
    QRadioButton* noteButton() const { return noteButton_; }
    QRadioButton* frequencyButton() const { return frequencyButton_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    // The font the dialogs are laid out for: Arial, 8 points on a 96 dpi
    // screen (11 pixels).
    static QFont dialogFont();
    // Dialog base units of a font: the average width of the letters and the
    // line height.
    static QSize baseUnits(const QFont& font);
    // A rectangle in dialog units (x, y, width, height) in pixels, rounded.
    static QRect toPixels(const QRect& units, const QSize& base);
    // Top left of a dialog of `dialogSize` (frame included) over an owner
    // whose client area lies at `ownerClient` on the screen: centred across,
    // and down over the client height less one menu bar and one caption.
    static QPoint placement(const QRect& ownerClient, const QSize& dialogSize, int menuHeight, int captionHeight);

public slots:
    void accept() override;

private:
    void buildFrequency(const QSize& base);
    void buildAmplitude(const QSize& base);
    void fill();
    bool writePoint();
    void placeOver(QWidget* owner);

    Envelope envelope_;
    int index_;
    bool frequency_;
    QLineEdit* time_ = nullptr;
    QLineEdit* value_ = nullptr;
    QComboBox* notes_ = nullptr;
    QRadioButton* noteButton_ = nullptr;
    QRadioButton* frequencyButton_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    // The texts the fields started with: a field left as shown keeps the
    // stored number, which the two truncated decimals could not give back.
    QString shownTime_;
    QString shownValue_;
};
