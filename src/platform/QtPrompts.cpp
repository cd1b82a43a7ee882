#include "QtPrompts.h"

#include "DocumentState.h"

#include <QFileDialog>
#include <QMessageBox>

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

void QtPrompts::error(const QString& text) {
    QMessageBox box(QMessageBox::Information, DocumentState::kProgramName, text, QMessageBox::Ok, owner_);
    box.exec();
}

QStringList QtPrompts::nameFilters(const FileDialogRequest& request) {
    QStringList filters;
    for (const FileDialogRequest::Filter& filter : request.filters)
        filters << QStringLiteral("%1 (%2)").arg(filter.description, filter.patterns.join(QLatin1Char(' ')));
    return filters;
}

QString QtPrompts::openFileName(const FileDialogRequest& request) { return runFileDialog(request, false); }

QString QtPrompts::saveFileName(const FileDialogRequest& request) { return runFileDialog(request, true); }

QString QtPrompts::runFileDialog(const FileDialogRequest& request, bool save) {
    QFileDialog dialog(owner_);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Open takes only a file that exists; Save asks before replacing one
    // (Qt's default for a save dialog).
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(nameFilters(request));
    dialog.setDefaultSuffix(request.defaultSuffix);
    // A name typed without a suffix takes that of the type chosen last:
    // "*.json" gives "json".
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &request](const QString& chosen) {
        const qsizetype i = nameFilters(request).indexOf(chosen);
        const QString first = i < 0 ? QString() : request.filters[i].patterns.value(0);
        if (first.startsWith(QLatin1String("*."))) dialog.setDefaultSuffix(first.mid(2));
    });
    dialog.setDirectory(request.directory);
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted) return QString();
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.first();
}
