#pragma once

#include "core/KeptParts.h"
#include "core/SoundModel.h"
#include "core/SoundSettings.h"
#include "document/DocumentState.h"
#include "document/EditHistory.h"
#include "document/GeneratedHistory.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class PreviewRenderer;
class WaveformTable;

// The one open sound: its committed settings, what is rendered from them
// (the waveform table and the samples), the undo history and the file state
// (path, title, modified). Everything that changes the sound goes through
// commit, preview, undo, redo or load; views and dialogs only read it. It is
// the only writer of "modified", which follows the history's saved state.
class SoundDocument : public QObject {
    Q_OBJECT
public:
    // The history keeps the last 1,000 steps, fewer when they hold more
    // than 64 MiB (a sound with long curves edited point by point).
    static constexpr int kHistoryLimit = 1000;
    static constexpr size_t kHistoryBytes = size_t(64) << 20;

    // Whether a commit renders when the sound itself is the same afterwards.
    // Gestures render once even when they changed nothing (a point held and
    // let go, a button already in force); the repeat count renders nothing.
    enum class Render { Always, WhenSoundChanges };

    // A new sound, rendered, with no file and an empty history.
    explicit SoundDocument(QObject* parent = nullptr);
    ~SoundDocument() override;

    // The settings of the last commit, undo, redo or load.
    const SoundSettings& settings() const { return committed_; }
    // What plays and what the output plot shows; during a preview it may be
    // ahead of settings() (the main part only). A commit renders the main
    // part at once and its echo tail when the sound is first read here.
    const RenderedSound& rendered() const {
        settle();
        return model_.rendered;
    }
    // The same without the tail: its sizes and main part are final, the
    // samples from lengthSamples() on may not be. What the editor reads to
    // show the sound, so that an edit's frame never waits for the tail.
    const RenderedSound& shown() const { return model_.rendered; }
    const WaveformTable& table() const { return model_.table; }

    const DocumentState& file() const { return file_; }
    const QString& path() const { return file_.path(); }
    const QString& title() const { return file_.title(); }
    bool hasFile() const { return file_.hasFile(); }
    bool modified() const { return file_.modified(); }
    QString windowTitle() const { return file_.windowTitle(); }

    const EditHistory& history() const { return history_; }

    // One edit: when `next` differs from settings() it becomes one undo step
    // named `step`; either way only what changed is rebuilt and the sound is
    // rendered once (see Render). soundChanged follows.
    void commit(const SoundSettings& next, const QString& step, Render render = Render::Always);
    // A drag's live preview: renders the main part of `next` (the tail is not
    // shown; in the background it follows), with no undo step and no change
    // of settings() or "modified".
    // The next commit, undo or redo renders the whole sound again. In the
    // background (below) it only asks: previewed follows when the render is
    // back and still the newest; a commit, undo, redo or load drops it.
    void preview(const SoundSettings& next);
    // Renders the whole sound a preview left with a stale tail (Play during a
    // previewed drag), or the one still asked for; nothing otherwise.
    void completePreview();
    // Previews render in a thread of their own (the window's way); off, each
    // renders at once. The commits always render here, at once.
    void renderPreviewsInBackground(bool on);
    bool previewsInBackground() const { return static_cast<bool>(renderer_); }
    // Whether background previews render the echo tail after the main part:
    // only what plays needs it (the editor shows the main part), so the
    // window asks for it while the sound plays. On by default.
    void setPreviewTails(bool on) { previewTails_ = on; }
    bool previewTails() const { return previewTails_; }
    // A preview asked for and not yet shown.
    bool previewPending() const { return requested_.has_value(); }
    // Preview renders that came back too late and were thrown away.
    int droppedPreviews() const;
    // The samples of the main part the last preview changed (its sizes
    // unchanged); the whole main part when they changed.
    using SampleSpan = RenderedSound::Span;
    SampleSpan previewSpan() const { return previewSpan_; }

    // The one load path (New, Open): the whole sound is replaced, the history
    // starts empty and the document is `path` (empty: no file), unmodified.
    void load(const SoundSettings& settings, const QString& path = QString());
    // The sound was written to `path`: the document is that file now, and
    // this state is the one without " *".
    void markSaved(const QString& path);
    // The document's file was renamed to `path` outside the document: it is
    // that file now, modified or not as it was.
    void fileRenamed(const QString& path);

    void undo();
    void redo();

    // The named template for `seed`, keeping the quality of the sound and
    // the `kept` parts; false for a name that is none. The undo step names
    // the seed ("Coin (seed 48213)").
    bool generate(const std::string& templateName, uint64_t seed, KeptParts kept = {});
    // Randomize: a `random` sound, with a quality of its own unless kept.
    bool randomize(uint64_t seed, KeptParts kept = {});
    // Mutate: the sound nudged by the default amount.
    bool mutate(uint64_t seed, KeptParts kept = {});

    // Every sound the three above made in this session, newest first.
    const GeneratedHistory& generated() const { return generated_; }
    // Makes the generated sound at `index` the sound, as one undo step named
    // as its own was; false for an index outside the history.
    bool useGenerated(int index);

    // How many times the sound was rendered (renders are costly and must
    // happen once per edit, never during a drag without live preview).
    int renderCount() const { return renderCount_; }

signals:
    // After a commit, undo or redo: the settings it started from, and whether
    // the sound was rendered.
    void soundChanged(const SoundSettings& before, bool rendered);
    // After a load: everything is new.
    void soundLoaded();
    // After a preview rendered the main part (in the background, with its
    // tail when that was ready too).
    void previewed();
    // A background preview's tail came after its main part: what plays
    // may take the whole sound now.
    void previewTailed();
    // The path, the title or "modified" changed.
    void fileStateChanged();

private:
    // Renders the tail a commit left to be rendered, from the main part and
    // the settings the cache holds now (the bytes one render gives).
    void settle() const;
    // Brings the render cache to `target` (an undo step's redo and undo).
    void apply(const SoundSettings& target, Render render);
    void syncModified();
    // A background preview came back.
    void takePreview();
    // No preview asked for is wanted any more.
    void dropPreviews();
    // Commits a generated sound and adds it to the history.
    void commitGenerated(GeneratedSound sound);

    // Mutable for settle(): the tail is rendered when it is first read.
    mutable SoundModel model_;
    mutable bool tailPending_ = false;
    // What settings() returns: the model may be ahead of it during a preview.
    SoundSettings committed_;
    EditHistory history_;
    DocumentState file_;
    bool tailStale_ = false;  // a preview rendered the main part only
    bool previewTails_ = true;
    std::unique_ptr<PreviewRenderer> renderer_;
    std::optional<SoundSettings> requested_;  // the newest preview not yet back
    SampleSpan previewSpan_;
    int renderCount_ = 0;
    GeneratedHistory generated_;
};
