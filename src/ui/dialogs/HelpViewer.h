#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QPushButton;
class QTextBrowser;

// The manual's window: a browser over our HTML manual with Back, Forward and
// Contents. It is a top-level window of its own, never modal, and is meant to
// be created without a parent: a modal About box then does not block it, so
// help stays usable while the box is open.
class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Looks the manual up (start directory first, then the installed copy),
    // shows it or a page that says where it was looked for, and brings the
    // window to the front.
    void showManual(const QString& startDirectory);

    // Shows the HTML file at `path`; false, and the missing-manual page
    // listing `searched`, when it cannot be read.
    bool showFile(const QString& path, const QStringList& searched = {});

    // True while the window shows a file rather than the missing-manual page.
    bool showsFile() const { return showsFile_; }

    QTextBrowser* browser() const { return browser_; }
    QPushButton* backButton() const { return back_; }
    QPushButton* contentsButton() const { return contents_; }

    // The page shown when the manual is missing.
    static QString missingPage(const QStringList& searched);

private:
    void bringToFront();

    QTextBrowser* browser_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* forward_ = nullptr;
    QPushButton* contents_ = nullptr;
    bool showsFile_ = false;
};
