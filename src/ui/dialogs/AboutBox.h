#pragma once

#include "ui/dialogs/AboutArtwork.h"
#include "ui/dialogs/CreditsScroller.h"

#include <QDialog>
#include <QFont>
#include <QString>
#include <QTimer>

#include <functional>

class DrawingTools;
class QPushButton;
class SoundPlayer;

// The About box: the title over its picture, three caption lines and the
// credits scrolling while the About sound plays. OK, Esc and the close box
// close it and silence the sound; Help calls `openHelp` and the box stays.
// Opened with exec(): modal to its parent window only, so a help window
// without a parent stays usable beside it.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTickMs = 100;
    static constexpr int kButtonWidth = 80;
    static constexpr int kButtonHeight = 24;

    // `soundPath` is the About sound's file, empty when there is none (the
    // box then opens silently).
    AboutBox(QWidget* parent, SoundPlayer& player, const DrawingTools& tools, QString soundPath,
             std::function<void()> openHelp);
    ~AboutBox() override;

    // One step of the credits: what the timer does every kTickMs.
    void tick();

    const CreditsScroller& credits() const { return credits_; }
    bool ticking() const { return timer_.isActive(); }
    QPushButton* okButton() const { return ok_; }
    QPushButton* helpButton() const { return help_; }

    // The picture as it stands, at the box's size.
    QImage picture() const;

    // Where the box's top-left corner goes over an owner window whose frame
    // is `ownerFrame`: centred on it.
    static QPoint placeOver(const QRect& ownerFrame);

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Silences the sound and stops the credits, once per opening.
    void finish();

    SoundPlayer& player_;
    QString soundPath_;
    std::function<void()> openHelp_;
    AboutArtwork artwork_;
    CreditsScroller credits_;
    QFont font_;
    QTimer timer_;
    QPushButton* ok_ = nullptr;
    QPushButton* help_ = nullptr;
    bool running_ = false;
};
