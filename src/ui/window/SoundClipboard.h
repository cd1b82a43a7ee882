#pragma once

#include "formats/DecodeResult.h"

#include <QObject>
#include <QString>

class Editor;
class MainWindowMenu;
class Prompts;
class SoundDocument;

// Edit's Copy Sound, Copy Share Code and Paste Sound: the sound as text on
// the system clipboard, so that it goes into a mail, a chat or the web
// player, and comes back from them.
class SoundClipboard : public QObject {
    Q_OBJECT

public:
    // Connects the menu's three items.
    SoundClipboard(const MainWindowMenu& menu, SoundDocument& document, const Editor& editor, Prompts& prompts,
                   QObject* parent);

    // The JSON text of the sound.
    void copySound();
    // The sound's share code (zindle1:...).
    void copyShareCode();
    // The sound in the clipboard's text replaces this one as one undo step;
    // anything else is refused with its reason and nothing changes. Ignored
    // while a drag is held.
    void pasteSound();

    // JSON text of a sound, a share code or a web player link to one; the
    // reason for any other text.
    static DecodeResult soundIn(const QString& text);

private:
    SoundDocument& document_;
    const Editor& editor_;
    Prompts& prompts_;
};
