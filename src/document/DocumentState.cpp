#include "document/DocumentState.h"

#include <QFileInfo>

void DocumentState::setFile(const QString& path) { setFile(path, QFileInfo(path).fileName()); }

void DocumentState::setFile(const QString& path, const QString& title) {
    path_ = path;
    title_ = title;
}

void DocumentState::clearFile() {
    path_.clear();
    title_.clear();
}

bool DocumentState::markModified() {
    if (modified_) return false;
    modified_ = true;
    return true;
}

QString DocumentState::windowTitle() const {
    QString caption = title_.isEmpty() ? kProgramName : QStringLiteral("%1 - %2").arg(kProgramName, title_);
    if (modified_) caption += QStringLiteral(" *");
    return caption;
}
