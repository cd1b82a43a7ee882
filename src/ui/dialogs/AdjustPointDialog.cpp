#include "ui/dialogs/AdjustPointDialog.h"

#include "core/Envelope.h"
#include "core/FrequencyScale.h"
#include "ui/dialogs/NoteList.h"
#include "ui/dialogs/NumberText.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>
#include <vector>

namespace {

// Typed percentages become fractions with this float, so that 20 is stored
// as 0.199999988 exactly as sounds made before were.
constexpr float kPercent = 0.01f;

QLineEdit* makeField(QWidget* parent, const QRect& rect) {
    auto* field = new QLineEdit(parent);
    field->setGeometry(rect);
    return field;
}

void makeLabel(QWidget* parent, const QString& text, const QRect& rect) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(rect);
}

void makeGroup(QWidget* parent, const QString& title, const QRect& rect) {
    auto* group = new QGroupBox(title, parent);
    group->setGeometry(rect);
    // A frame drawn around other controls must not take their clicks.
    group->lower();
}

QPushButton* makeButton(QWidget* parent, const QString& text, const QRect& rect) {
    auto* button = new QPushButton(text, parent);
    button->setGeometry(rect);
    // Enter presses the button that has the focus; from any other control it
    // presses the default one (OK).
    button->setAutoDefault(true);
    return button;
}

}  // namespace

AdjustPointDialog::AdjustPointDialog(const Envelope& envelope, int pointIndex, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      envelope_(envelope),
      index_(pointIndex),
      frequency_(envelope.kind() == EnvelopeKind::Frequency) {
    setWindowTitle(QStringLiteral("Adjust Point"));
    setFont(dialogFont());
    const QSize base = baseUnits(font());
    if (frequency_)
        buildFrequency(base);
    else
        buildAmplitude(base);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &AdjustPointDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &AdjustPointDialog::reject);
    fill();
    if (parent) placeOver(parent);
}

void AdjustPointDialog::buildFrequency(const QSize& base) {
    auto px = [&](int x, int y, int w, int h) { return toPixels(QRect(x, y, w, h), base); };
    setFixedSize(px(0, 0, 168, 158).size());
    // Created in tab order.
    time_ = makeField(this, px(77, 25, 40, 14));
    value_ = makeField(this, px(77, 79, 40, 14));
    notes_ = new QComboBox(this);
    const QRect listRect = px(77, 98, 62, 292);
    const int closedHeight = notes_->sizeHint().height();
    notes_->setGeometry(listRect.x(), listRect.y(), listRect.width(), closedHeight);
    // The open list reaches as far down as the layout gives the drop-down.
    const int itemHeight = QFontMetrics(font()).height();
    notes_->setMaxVisibleItems(std::max(1, (listRect.height() - closedHeight) / std::max(1, itemHeight)));
    ok_ = makeButton(this, QStringLiteral("OK"), px(30, 135, 50, 14));
    cancel_ = makeButton(this, QStringLiteral("Cancel"), px(87, 135, 50, 14));
    noteButton_ = new QRadioButton(QStringLiteral("Note"), this);
    noteButton_->setGeometry(px(24, 99, 31, 10));
    frequencyButton_ = new QRadioButton(QStringLiteral("Frequency"), this);
    frequencyButton_->setGeometry(px(24, 81, 49, 10));
    makeLabel(this, QStringLiteral("Hz"), px(123, 82, 10, 8));
    makeGroup(this, QStringLiteral("Frequency"), px(7, 62, 154, 60));
    makeGroup(this, QStringLiteral("Time"), px(7, 7, 154, 47));
    makeLabel(this, QStringLiteral("Percentage"), px(24, 28, 38, 8));
    makeLabel(this, QStringLiteral("%"), px(123, 28, 8, 8));

    setTabOrder(time_, value_);
    setTabOrder(value_, notes_);
    setTabOrder(notes_, ok_);
    setTabOrder(ok_, cancel_);
    setTabOrder(cancel_, noteButton_);
    setTabOrder(noteButton_, frequencyButton_);

    // Only the user's choice of a note switches to it; filling the list and
    // typing a frequency leave the buttons as they are.
    connect(notes_, &QComboBox::activated, noteButton_, [this] { noteButton_->setChecked(true); });
}

void AdjustPointDialog::buildAmplitude(const QSize& base) {
    auto px = [&](int x, int y, int w, int h) { return toPixels(QRect(x, y, w, h), base); };
    setFixedSize(px(0, 0, 168, 146).size());
    time_ = makeField(this, px(77, 25, 40, 14));
    ok_ = makeButton(this, QStringLiteral("OK"), px(30, 123, 50, 14));
    cancel_ = makeButton(this, QStringLiteral("Cancel"), px(87, 123, 50, 14));
    makeGroup(this, QStringLiteral("Amplitude"), px(7, 62, 154, 47));
    makeGroup(this, QStringLiteral("Time"), px(7, 7, 154, 47));
    makeLabel(this, QStringLiteral("Percentage"), px(24, 28, 38, 8));
    makeLabel(this, QStringLiteral("%"), px(123, 83, 8, 8));
    makeLabel(this, QStringLiteral("Percentage"), px(24, 83, 38, 8));
    value_ = makeField(this, px(77, 80, 40, 14));
    makeLabel(this, QStringLiteral("%"), px(123, 28, 8, 8));

    setTabOrder(time_, ok_);
    setTabOrder(ok_, cancel_);
    setTabOrder(cancel_, value_);
}

void AdjustPointDialog::fill() {
    const int last = envelope_.pointCount() - 1;
    const bool valid = index_ >= 0 && index_ <= last;
    // The first and the last point stay at times 0 and 1.
    time_->setEnabled(valid && index_ > 0 && index_ < last);
    if (frequency_) {
        for (int k = 0; k < note_list::kCount; ++k) notes_->addItem(note_list::name(k));
        frequencyButton_->setChecked(true);
    }
    if (!valid) return;

    time_->setText(number_text::twoDecimals(100.0 * double(envelope_.time(index_))));
    if (frequency_) {
        const float hz = static_cast<float>(frequency_scale::toHz(envelope_.value(index_)));
        value_->setText(number_text::twoDecimals(double(hz)));
        notes_->setCurrentIndex(note_list::nearest(hz));
    } else {
        value_->setText(number_text::twoDecimals(100.0 * double(envelope_.value(index_))));
    }
    shownTime_ = time_->text();
    shownValue_ = value_->text();
    // Typing into a freshly opened field replaces what it shows.
    time_->selectAll();
    value_->selectAll();
}

void AdjustPointDialog::accept() {
    if (writePoint())
        QDialog::accept();
    else
        reject();
}

bool AdjustPointDialog::writePoint() {
    const int last = envelope_.pointCount() - 1;
    if (index_ < 0 || index_ > last) return false;
    std::vector<float> times = envelope_.times();
    std::vector<float> values = envelope_.values();
    const size_t i = static_cast<size_t>(index_);

    if (index_ > 0 && index_ < last && time_->text() != shownTime_) {
        // Held between the neighbours' times; an endless or absent number
        // ends at one of them too.
        float t = static_cast<float>(number_text::read(time_->text()) * double(kPercent));
        if (t < times[i - 1]) t = times[i - 1];
        if (t > times[i + 1]) t = times[i + 1];
        times[i] = t;
    }

    float v;
    if (value_->text() == shownValue_ && (!frequency_ || frequencyButton_->isChecked())) {
        v = values[i];
    } else if (frequency_) {
        const double hz =
            frequencyButton_->isChecked() ? number_text::read(value_->text()) : note_list::hz(notes_->currentIndex());
        // 1 / log10(484) and the float 0.1: the conversion typed pitches have
        // always had, so a typed 440 lands where it did.
        v = static_cast<float>(std::log10(hz * double(0.1f)) * 0.372460929976071);
    } else {
        v = static_cast<float>(number_text::read(value_->text()) * double(kPercent));
    }
    // No pitch at all (0 Hz or less gives no logarithm) is the floor.
    if (!(v >= 0.0f)) v = 0.0f;
    if (v > 1.0f) v = 1.0f;
    values[i] = v;

    return envelope_.assign(times, values);
}

QFont AdjustPointDialog::dialogFont() {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

QSize AdjustPointDialog::baseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return QSize((letters / 26 + 1) / 2, metrics.height());
}

QRect AdjustPointDialog::toPixels(const QRect& units, const QSize& base) {
    // a * b / c rounded half away from zero, as dialog units have always been.
    auto scale = [](int a, int b, int c) {
        const long long p = static_cast<long long>(a) * b;
        return static_cast<int>(p >= 0 ? (2 * p + c) / (2 * c) : -((-2 * p + c) / (2 * c)));
    };
    return QRect(scale(units.x(), base.width(), 4), scale(units.y(), base.height(), 8),
                 scale(units.width(), base.width(), 4), scale(units.height(), base.height(), 8));
}

QPoint AdjustPointDialog::placement(const QRect& ownerClient, const QSize& dialogSize, int menuHeight,
                                    int captionHeight) {
    return QPoint(ownerClient.x() + (ownerClient.width() - dialogSize.width()) / 2,
                  ownerClient.y() + (ownerClient.height() - menuHeight - captionHeight - dialogSize.height()) / 2);
}

void AdjustPointDialog::placeOver(QWidget* owner) {
    QWidget* window = owner->window();
    QWidget* client = window;
    int menuHeight = 0;
    if (auto* main = qobject_cast<QMainWindow*>(window)) {
        if (main->centralWidget()) client = main->centralWidget();
        if (main->menuWidget()) menuHeight = main->menuWidget()->height();
    }
    const QRect clientRect(client->mapToGlobal(QPoint(0, 0)), client->size());
    // Both windows get the same decoration from the window manager (none
    // without one), so the owner's tells the dialog's.
    const int captionHeight = window->geometry().top() - window->frameGeometry().top();
    const QSize frame = window->frameGeometry().size() - window->geometry().size();
    move(placement(clientRect, size() + frame, menuHeight, captionHeight));
}

std::optional<Envelope> AdjustPointDialog::run(QWidget* parent, const Envelope& envelope, int pointIndex) {
    if (pointIndex < 0 || pointIndex >= envelope.pointCount()) return std::nullopt;
    AdjustPointDialog dialog(envelope, pointIndex, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.envelope();
}
