// Edit's Copy Sound, Copy Share Code and Paste Sound through the real window
// and the system clipboard.

#include "DocumentHarness.h"

#include "formats/EfcFormat.h"
#include "formats/JsonFormat.h"
#include "formats/ShareCode.h"
#include "formats/ZdlFormat.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {

using Kind = ScriptedPrompts::Kind;

QByteArray zdlOf(const SoundSettings& s) {
    const std::vector<uint8_t> bytes = zdl::encode(s);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

QString clipboardText() { return QGuiApplication::clipboard()->text(); }

// The laser sound, then another one: what is pasted must be told apart.
struct ClipboardHarness : DocumentHarness {
    ClipboardHarness() {
        h.document.generate("laser", 7);
        laser = h.document.settings();
        h.document.generate("coin", 3);
    }
    SoundSettings laser;
};

// Whatever was copied, in whichever form, pastes back as the same sound in one
// undo step, and Undo gives back the sound it replaced.
TEST(SoundClipboard, CopiedSoundPastesBackInOneUndoStep) {
    ClipboardHarness d;
    const SoundSettings coin = d.h.document.settings();
    d.h.document.undo();  // back to the laser
    ASSERT_EQ(zdlOf(d.h.document.settings()), zdlOf(d.laser));

    d.menu().copySoundAction->trigger();
    const QString json = clipboardText();
    EXPECT_EQ(json.toStdString(), soundjson::encode(d.laser));
    d.menu().copyShareCodeAction->trigger();
    const QString code = clipboardText();
    EXPECT_EQ(code.toStdString(), sharecode::encode(d.laser));

    const QString forms[] = {json, code, QStringLiteral("https://example.org/zindle/index.html#") + code,
                             QStringLiteral("\n  ") + code + QStringLiteral("\n")};
    for (const QString& text : forms) {
        d.h.document.commit(coin, QStringLiteral("Set"));
        const int index = d.h.document.history().index();
        QGuiApplication::clipboard()->setText(text);
        d.menu().pasteSoundAction->trigger();
        EXPECT_EQ(zdlOf(d.h.document.settings()), zdlOf(d.laser)) << text.left(40).toStdString();
        EXPECT_EQ(d.h.document.history().index(), index + 1);
        EXPECT_EQ(d.menu().undoAction->text(), QStringLiteral("&Undo Paste Sound\tCtrl+Z"));
        d.h.document.undo();
        EXPECT_EQ(zdlOf(d.h.document.settings()), zdlOf(coin));
    }
    EXPECT_EQ(d.prompts.count(Kind::Error), 0);
}

// Anything but a sound is refused with its reason, and the sound, its history
// and the clipboard stay as they were.
TEST(SoundClipboard, PastingAnythingElseChangesNothing) {
    ClipboardHarness d;
    const QByteArray before = zdlOf(d.h.document.settings());
    const int steps = d.h.document.history().count();
    const int index = d.h.document.history().index();
    const std::string goodCode = sharecode::encode(d.laser);
    const std::pair<QString, const char*> cases[] = {
        {QString(), "The clipboard holds no text."},
        {QStringLiteral("hello, world"), "The clipboard holds no sound"},
        // Text of an old-style record's length (a record has no mark to tell it by).
        {QString(efc::kRecordBytes, QLatin1Char('a')), "The clipboard holds no sound"},
        {QStringLiteral("zindle1:AB+C"), "'+' at character 3"},
        {QString::fromStdString(goodCode.substr(0, goodCode.size() - 9)), "The share code's sound cannot be read"},
        {QStringLiteral("zindle1:aGVsbG8"), "holds no Zindle sound"},
        {QStringLiteral("{\"format\": \"zindle-sound\", \"version\": 1"), "The JSON text is not a sound: line 1"},
    };
    for (const auto& [text, reason] : cases) {
        QGuiApplication::clipboard()->setText(text);
        d.menu().pasteSoundAction->trigger();
        ASSERT_FALSE(d.prompts.shown.empty()) << reason;
        EXPECT_EQ(d.prompts.shown.back().kind, Kind::Error);
        EXPECT_TRUE(d.prompts.shown.back().text.startsWith(QStringLiteral("Couldn't paste the sound: ")));
        EXPECT_TRUE(d.prompts.shown.back().text.contains(QLatin1String(reason)))
            << d.prompts.shown.back().text.toStdString();
        EXPECT_EQ(zdlOf(d.h.document.settings()), before) << reason;
        EXPECT_EQ(d.h.document.history().count(), steps) << reason;
        EXPECT_EQ(d.h.document.history().index(), index) << reason;
        EXPECT_EQ(clipboardText(), text);
    }
    EXPECT_EQ(d.prompts.count(Kind::Error), int(std::size(cases)));
}

}  // namespace
