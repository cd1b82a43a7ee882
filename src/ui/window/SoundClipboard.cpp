#include "ui/window/SoundClipboard.h"

#include "document/Prompts.h"
#include "document/SoundDocument.h"
#include "formats/JsonFormat.h"
#include "formats/ShareCode.h"
#include "ui/editor/Editor.h"
#include "ui/window/MainWindowMenu.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

SoundClipboard::SoundClipboard(const MainWindowMenu& menu, SoundDocument& document, const Editor& editor,
                               Prompts& prompts, QObject* parent)
    : QObject(parent), document_(document), editor_(editor), prompts_(prompts) {
    connect(menu.copySoundAction, &QAction::triggered, this, &SoundClipboard::copySound);
    connect(menu.copyShareCodeAction, &QAction::triggered, this, &SoundClipboard::copyShareCode);
    connect(menu.pasteSoundAction, &QAction::triggered, this, &SoundClipboard::pasteSound);
}

void SoundClipboard::copySound() {
    QGuiApplication::clipboard()->setText(QString::fromStdString(soundjson::encode(document_.settings())));
}

void SoundClipboard::copyShareCode() {
    QGuiApplication::clipboard()->setText(QString::fromStdString(sharecode::encode(document_.settings())));
}

DecodeResult SoundClipboard::soundIn(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    const size_t size = size_t(bytes.size());
    if (sharecode::looksLikeCode(data, size)) return sharecode::decode(data, size);
    // Only text that means to be a sound is read: any 30 characters would
    // pass for an old-style record.
    if (soundjson::looksLikeJson(data, size)) {
        DecodeResult read = soundjson::decode(data, size);
        if (!read.ok) read.error = "The JSON text is not a sound: " + read.error;
        return read;
    }
    if (text.trimmed().isEmpty()) return DecodeResult::failure("The clipboard holds no text.");
    return DecodeResult::failure(
        "The clipboard holds no sound: copy the JSON text of a sound, a share code (zindle1:...) or a web player "
        "link to one.");
}

void SoundClipboard::pasteSound() {
    if (editor_.isDragging()) return;
    const DecodeResult read = soundIn(QGuiApplication::clipboard()->text());
    if (!read.ok) {
        prompts_.error(tr("Couldn't paste the sound: %1").arg(QString::fromStdString(read.error)));
        return;
    }
    document_.commit(read.settings, tr("Paste Sound"));
}
