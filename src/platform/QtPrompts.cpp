#include "platform/QtPrompts.h"

#include "document/DocumentState.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

Prompts::Answer QtPrompts::question(const QString& text) {
    QMessageBox box(QMessageBox::Question, DocumentState::kProgramName, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, owner_);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

bool QtPrompts::confirm(const QString& text, const QString& action) {
    QMessageBox box(QMessageBox::Question, DocumentState::kProgramName, text, QMessageBox::NoButton, owner_);
    QPushButton* yes = box.addButton(action, QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(cancel);  // replacing a file is never the answer by accident
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == yes;
}

QString QtPrompts::askName(const QString& text, const QString& proposed) {
    bool ok = false;
    const QString name =
        QInputDialog::getText(owner_, DocumentState::kProgramName, text, QLineEdit::Normal, proposed, &ok);
    return ok ? name.trimmed() : QString();
}

void QtPrompts::error(const QString& text) {
    QMessageBox box(QMessageBox::Warning, DocumentState::kProgramName, text, QMessageBox::Ok, owner_);
    box.exec();
}

QStringList QtPrompts::nameFilters(const FileDialogRequest& request) {
    QStringList filters;
    for (const FileDialogRequest::Filter& filter : request.filters)
        filters << QStringLiteral("%1 (%2)").arg(filter.description, filter.patterns.join(QLatin1Char(' ')));
    return filters;
}

QString QtPrompts::filterSuffix(const FileDialogRequest& request, const QString& nameFilter) {
    const QStringList filters = nameFilters(request);
    const qsizetype index = filters.indexOf(nameFilter);
    if (index < 0 || request.filters[index].patterns.isEmpty()) return QString();
    const QString pattern = request.filters[index].patterns.first();  // "*.flac"
    if (!pattern.startsWith(QLatin1String("*."))) return QString();
    const QString suffix = pattern.mid(2);
    return suffix.contains(QLatin1Char('*')) || suffix.contains(QLatin1Char('?')) ? QString() : suffix;
}

QString QtPrompts::openFileName(const FileDialogRequest& request) { return runFileDialog(request, false).path; }

QString QtPrompts::folderName(const FileDialogRequest& request) {
    return QFileDialog::getExistingDirectory(owner_, request.title, request.directory);
}

SaveChoice QtPrompts::saveFile(const FileDialogRequest& request) { return runFileDialog(request, true); }

SaveChoice QtPrompts::runFileDialog(const FileDialogRequest& request, bool save) {
    QFileDialog dialog(owner_);
    if (!request.title.isEmpty()) dialog.setWindowTitle(request.title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Open takes only a file that exists; Save asks before replacing one
    // (Qt's default for a save dialog).
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(nameFilters(request));
    dialog.setDefaultSuffix(request.defaultSuffix);
    // A name typed without an extension gets that of the file type picked,
    // as a user who picks "FLAC Files" expects.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &request](const QString& picked) {
        const QString suffix = filterSuffix(request, picked);
        if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
    });
    dialog.setDirectory(request.directory);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return {};
    return {chosen.first(), std::max(0, int(nameFilters(request).indexOf(dialog.selectedNameFilter())))};
}
