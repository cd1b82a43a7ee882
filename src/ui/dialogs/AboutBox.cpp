#include "ui/dialogs/AboutBox.h"

#include "platform/SoundPlayer.h"
#include "ui/drawing/DrawingTools.h"

#include <QPainter>
#include <QPushButton>

#include <utility>

AboutBox::AboutBox(QWidget* parent, SoundPlayer& player, const DrawingTools& tools, QString soundPath,
                   std::function<void()> openHelp)
    : QDialog(parent),
      player_(player),
      soundPath_(std::move(soundPath)),
      openHelp_(std::move(openHelp)),
      font_(tools.boldFont) {
    setWindowTitle(tr("About"));
    setFixedSize(AboutArtwork::kBackgroundWidth, AboutArtwork::kBackgroundHeight);
    // Modal to the editor only: the help window (no parent) must stay usable.
    setWindowModality(parent != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    // The picture covers every pixel; no need to clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    font_.setStyleStrategy(QFont::NoAntialias);

    const int w = width();
    const int h = height();
    ok_ = new QPushButton(tr("OK"), this);
    ok_->setGeometry(w / 2 + 60, h - 36, kButtonWidth, kButtonHeight);
    ok_->setDefault(true);
    help_ = new QPushButton(tr("Help"), this);
    help_->setGeometry(w / 2 - 40, h - 36, kButtonWidth, kButtonHeight);
    // Enter presses the focused button, so Enter on Help opens help.
    help_->setAutoDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(help_, &QPushButton::clicked, this, [this] {
        if (openHelp_) openHelp_();
    });

    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &AboutBox::tick);

    if (parent != nullptr) move(placeOver(parent->window()->frameGeometry()));
}

AboutBox::~AboutBox() { finish(); }

QPoint AboutBox::placeOver(const QRect& ownerFrame) {
    return {ownerFrame.left() + ownerFrame.width() / 2 - AboutArtwork::kBackgroundWidth / 2,
            ownerFrame.top() + ownerFrame.height() / 2 - 162};
}

void AboutBox::tick() {
    credits_.tick();
    update(0, CreditsScroller::kBandTop, width(), CreditsScroller::kBandHeight);
}

QImage AboutBox::picture() const { return artwork_.compose(credits_, size(), font_); }

void AboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (running_) return;
    // Every opening starts the credits from the top and the sound again.
    running_ = true;
    credits_.restart();
    if (!soundPath_.isEmpty()) player_.playFile(soundPath_.toStdString());
    timer_.start();
}

void AboutBox::done(int result) {
    finish();
    QDialog::done(result);
}

void AboutBox::finish() {
    if (!running_) return;
    running_ = false;
    timer_.stop();
    player_.stop();
}

void AboutBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), picture());
}
