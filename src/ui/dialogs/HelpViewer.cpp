#include "ui/dialogs/HelpViewer.h"

#include "platform/DataFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(tr("Zindle Help"));
    resize(760, 640);

    back_ = new QPushButton(tr("Back"), this);
    forward_ = new QPushButton(tr("Forward"), this);
    contents_ = new QPushButton(tr("Contents"), this);
    for (QPushButton* button : {back_, forward_, contents_}) {
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::TabFocus);
    }
    back_->setEnabled(false);
    forward_->setEnabled(false);
    contents_->setEnabled(false);

    browser_ = new QTextBrowser(this);
    // Links to the web open in the desktop's browser; the manual's own links
    // stay here.
    browser_->setOpenExternalLinks(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back_);
    buttons->addWidget(forward_);
    buttons->addWidget(contents_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);

    connect(back_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(contents_, &QPushButton::clicked, browser_, &QTextBrowser::home);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QPushButton::setEnabled);
}

void HelpViewer::showManual(const QString& startDirectory) {
    const QStringList searched = data_files::searchDirectories(startDirectory);
    showFile(data_files::find(data_files::kManual, searched), searched);
    bringToFront();
}

bool HelpViewer::showFile(const QString& path, const QStringList& searched) {
    // QTextBrowser shows an empty page for a file it cannot read; check first
    // so that the user is told instead.
    QFile file(path);
    const bool readable = !path.isEmpty() && QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly);
    file.close();

    browser_->clearHistory();
    if (!readable) {
        showsFile_ = false;
        browser_->setSource(QUrl());
        // Asked for one file directly: its folder is where we looked.
        const QStringList places = searched.isEmpty() && !path.isEmpty()
                                       ? QStringList{QFileInfo(path).absolutePath() + QLatin1Char('/')}
                                       : searched;
        browser_->setHtml(missingPage(places));
        contents_->setEnabled(false);
        return false;
    }
    showsFile_ = true;
    browser_->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    contents_->setEnabled(true);
    return true;
}

QString HelpViewer::missingPage(const QStringList& searched) {
    QString places;
    for (const QString& dir : searched) places += QStringLiteral("<li><tt>%1</tt></li>").arg(dir.toHtmlEscaped());
    if (places.isEmpty()) places = QStringLiteral("<li>(no folder was given)</li>");
    return QStringLiteral(
               "<h1>The manual could not be found</h1>"
               "<p>Zindle shows its manual from the file <b>%1</b>, which it looks for in these folders, "
               "in this order:</p><ul>%2</ul>"
               "<p>Installing Zindle again puts the manual back. The editor itself works without it; "
               "your sound is not affected.</p>")
        .arg(data_files::kManual.toHtmlEscaped(), places);
}

void HelpViewer::bringToFront() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}
