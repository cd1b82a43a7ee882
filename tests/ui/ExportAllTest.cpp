// File > Export All and Normalize Exports through the real window: the
// dialog, the progress dialog cancelled half way, the summary of failures,
// and the gain a single Export applies.

#include "DecodedSound.h"
#include "DocumentHarness.h"
#include "TestFiles.h"
#include "WhenModal.h"
#include "core/SoundRenderer.h"
#include "core/SoundTemplates.h"
#include "storage/Loudness.h"
#include "storage/SoundExport.h"
#include "storage/SoundFile.h"
#include "ui/dialogs/ExportAllDialog.h"
#include "ui/dialogs/NormalizationChoices.h"
#include "ui/window/ExportAllMenu.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The dialog answered from a script: the proposal is kept, and `edit`
// turns it into the answer (none: cancelled).
struct ScriptedExportAsker : ExportAllAsker {
    std::optional<ExportAllChoice> proposed;
    std::function<std::optional<ExportAllChoice>(ExportAllChoice)> edit;
    std::optional<ExportAllChoice> ask(const ExportAllChoice& p) override {
        proposed = p;
        return edit ? edit(p) : std::nullopt;
    }
};

// `count` template sounds in folder `name` of the harness's folder.
QString soundFolder(DocumentHarness& d, const QString& name, int count) {
    const QString folder = d.file(name);
    EXPECT_TRUE(QDir().mkpath(folder));
    SoundSettings quality;
    quality.resetToNew();
    for (int i = 0; i < count; ++i) {
        SoundSettings s = *sound_templates::generate("laser", uint64_t(i + 1), quality);
        EXPECT_TRUE(soundfile::write(QDir(folder).filePath(QStringLiteral("s%1.zdl").arg(i)), s).ok);
    }
    return folder;
}

QByteArray wavOf(const QString& sound) {
    const ReadResult read = soundfile::read(sound);
    const RenderedSound r = sound_renderer::render(read.settings);
    return soundexport::type(soundexport::ExportFormat::Wav).encode(r, read.settings.repeatCount).bytes;
}

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

double peakDbOf(const QString& wav) {
    const DecodedSound decoded = DecodedSound::read(wav);
    int peak = 0;
    for (const short v : decoded.samples) peak = std::max(peak, std::abs(int(v)));
    return 20.0 * std::log10(peak / 32768.0);
}

}  // namespace

TEST(ExportAllDialog, ShowsTheProposalAndReturnsTheChoice) {
    ExportAllChoice proposed;
    proposed.sourceFolder = QStringLiteral("/sounds");
    proposed.options.folder = QStringLiteral("/out");
    proposed.options.format = soundexport::ExportFormat::Flac;
    proposed.options.quality = exportall::Quality{22050, 16};
    proposed.options.normalize = {normalization::Target::Loudness, -16};
    ExportAllDialog dialog(proposed);
    EXPECT_EQ(dialog.sourceField()->text(), "/sounds");
    EXPECT_EQ(dialog.formatBox()->currentText(), "FLAC Files");
    EXPECT_EQ(dialog.qualityBox()->currentText(), "22050 Hz, 16 bit");
    EXPECT_EQ(dialog.normalizeBox()->currentText(), "Loudness -16 LUFS");

    const struct {
        int format, quality, normalize;
        soundexport::ExportFormat wantFormat;
        std::optional<int> wantRate, wantBits;
        const char* wantNormalize;
    } cases[] = {
        {0, 0, 0, soundexport::ExportFormat::Wav, std::nullopt, std::nullopt, "none"},
        {2, 1, 1, soundexport::ExportFormat::Ogg, 11025, 8, "peak:-1"},
        {1, 6, 4, soundexport::ExportFormat::Flac, 44100, 16, "lufs:-23"},
    };
    for (const auto& c : cases) {
        dialog.formatBox()->setCurrentIndex(c.format);
        dialog.qualityBox()->setCurrentIndex(c.quality);
        dialog.normalizeBox()->setCurrentIndex(c.normalize);
        const ExportAllChoice choice = dialog.choice();
        EXPECT_EQ(choice.options.format, c.wantFormat);
        EXPECT_EQ(choice.options.quality.has_value(), c.wantRate.has_value());
        if (choice.options.quality) {
            EXPECT_EQ(choice.options.quality->sampleRate, *c.wantRate);
            EXPECT_EQ(choice.options.quality->bits, *c.wantBits);
        }
        EXPECT_EQ(normalization::text(choice.options.normalize), c.wantNormalize);
    }
    // Both folders must be named.
    EXPECT_TRUE(dialog.okButton()->isEnabled());
    dialog.targetField()->setText(QStringLiteral("  "));
    EXPECT_FALSE(dialog.okButton()->isEnabled());
    // A target that is no preset stays as it was.
    proposed.options.normalize = {normalization::Target::Peak, -3};
    EXPECT_EQ(normalization::text(ExportAllDialog(proposed).choice().options.normalize), "peak:-3");
}

// The real progress dialog's Cancel, pressed half way: the sounds before it
// are written whole, the rest not at all, and the summary says so.
TEST(ExportAllCommand, CancelHalfWayLeavesWholeFiles) {
    DocumentHarness d;
    const QString bank = soundFolder(d, QStringLiteral("bank"), 6);
    ExportAllMenu& menu = d.h.window->exportAllMenu();
    ScriptedExportAsker asker;
    asker.edit = [&](ExportAllChoice c) {
        c.sourceFolder = bank;
        c.options.folder = d.file("out");
        return c;
    };
    menu.setAsker(&asker);
    int seen = 0;
    QTimer presser;
    QObject::connect(&presser, &QTimer::timeout, [&] {
        for (QProgressDialog* p : d.h.window->findChildren<QProgressDialog*>()) {
            seen = std::max(seen, p->maximum());
            if (p->value() >= 3 && !p->wasCanceled()) p->cancel();
        }
    });
    presser.start(0);
    menu.exportAllAction()->trigger();
    presser.stop();

    EXPECT_EQ(seen, 6);
    EXPECT_EQ(entries(d.file("out")).join(' '), "s0.wav s1.wav s2.wav sounds.json");
    for (const QString& name : entries(d.file("out"))) {
        if (name.endsWith(".wav")) {
            EXPECT_EQ(testfiles::readFile(d.file("out/") + name),
                      wavOf(QDir(bank).filePath(QFileInfo(name).completeBaseName() + ".zdl")));
        }
    }
    ASSERT_EQ(d.prompts.count(ScriptedPrompts::Kind::Error), 1);
    EXPECT_TRUE(d.prompts.shown.back().text.contains("Cancelled: wrote 3 of 6"))
        << d.prompts.shown.back().text.toStdString();
    EXPECT_TRUE(d.h.window->findChildren<QProgressDialog*>().isEmpty() ||
                !d.h.window->findChildren<QProgressDialog*>().first()->isVisible());
}

// Normalize Exports is Export's gain too, and is remembered: None writes the
// bytes played, Peak -1 dBFS a file peaking at -1 dBFS.
TEST(ExportAllCommand, NormalizeExportsAppliesToExportAndIsRemembered) {
    QTemporaryDir settingsDir;
    const QString settingsFile = settingsDir.filePath("zindle.ini");
    {
        DocumentHarness d(settingsFile);
        d.clickButton(d.h.editor().bitsGroup(), 1);  // 16 bit: a peak to a fine step
        const QList<QAction*>& items = d.h.window->exportAllMenu().normalizeActions();
        ASSERT_EQ(items.size(), normalization_choices::presets().size());
        EXPECT_TRUE(items[0]->isChecked());

        d.prompts.saveName(d.file("plain.wav"));
        d.menu().exportAction->trigger();
        const RenderedSound& played = d.h.document.rendered();
        EXPECT_EQ(testfiles::readFile(d.file("plain.wav")), soundexport::type(soundexport::ExportFormat::Wav)
                                                                .encode(played, d.h.document.settings().repeatCount)
                                                                .bytes);

        items[1]->trigger();  // Peak -1 dBFS
        EXPECT_TRUE(items[1]->isChecked());
        d.prompts.saveName(d.file("peak.wav"));
        d.menu().exportAction->trigger();
        EXPECT_NEAR(peakDbOf(d.file("peak.wav")), -1.0, 0.1);
        EXPECT_LE(peakDbOf(d.file("peak.wav")), -1.0);
    }
    DocumentHarness again(settingsFile);
    EXPECT_TRUE(again.h.window->exportAllMenu().normalizeActions()[1]->isChecked());
    EXPECT_EQ(normalization::text(again.h.commands.exportNormalization()), "peak:-1");
}

// Export All sits after Export with Normalize Exports. Its dialog proposes
// the open sound's folder, and what is chosen there is what is written; its
// normalisation becomes Export's too. A bad file, or a folder that is not
// there, is named in the summary.
TEST(ExportAllCommand, TheDialogsChoiceIsWhatIsWritten) {
    const struct {
        const char* source;  // in the harness's folder; null: as proposed
        const char* written;
        const char* error;
    } cases[] = {
        {nullptr, "open.flac s0.flac s1.flac sounds.json", "Wrote 3 of 4"},
        {"missing", "", "does not exist"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source ? c.source : "proposed");
        DocumentHarness d;
        const QString bank = soundFolder(d, QStringLiteral("bank"), 2);
        ASSERT_TRUE(testfiles::writeFile(QDir(bank).filePath("broken.zdl"), QByteArray("not a sound")));
        d.prompts.saveName(QDir(bank).filePath("open.zdl"));
        d.menu().saveAsAction->trigger();
        QStringList fileMenu;
        for (QAction* a : d.h.window->menuBar()->actions().first()->menu()->actions())
            fileMenu << (a->menu() ? a->menu()->title() : a->text().section('\t', 0, 0));
        EXPECT_TRUE(fileMenu.join('|').contains("Export...|Export A&ll...|Normali&ze Exports|"))
            << fileMenu.join('|').toStdString();

        QWidget* owner = nullptr;
        QString proposed;
        whenModal([&](QWidget* w) {
            auto* dialog = qobject_cast<ExportAllDialog*>(w);
            if (!dialog) return false;
            owner = dialog->parentWidget();
            proposed = dialog->sourceField()->text();
            if (c.source) dialog->sourceField()->setText(d.file(c.source));
            dialog->targetField()->setText(d.file("out"));
            dialog->formatBox()->setCurrentIndex(1);     // FLAC
            dialog->normalizeBox()->setCurrentIndex(1);  // Peak -1 dBFS
            dialog->okButton()->click();
            return true;
        });
        QTest::keyClick(d.h.window.get(), Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(owner, d.h.window.get());
        EXPECT_EQ(QDir(proposed).canonicalPath(), QDir(bank).canonicalPath());
        EXPECT_EQ(entries(d.file("out")).join(' '), c.written);
        ASSERT_EQ(d.prompts.count(ScriptedPrompts::Kind::Error), 1);
        EXPECT_TRUE(d.prompts.shown.back().text.contains(c.error)) << d.prompts.shown.back().text.toStdString();
        EXPECT_TRUE(d.h.window->exportAllMenu().normalizeActions()[1]->isChecked());
    }
}
