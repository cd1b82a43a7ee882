#include "document/SoundDocument.h"

#include "core/SoundTemplates.h"
#include "document/PreviewRenderer.h"
#include "document/SettingsStep.h"

#include <memory>
#include <optional>
#include <utility>

SoundDocument::SoundDocument(QObject* parent) : QObject(parent), history_(kHistoryLimit, kHistoryBytes) {
    model_.settings.resetToNew();
    model_.applyAll();
    committed_ = model_.settings;
    ++renderCount_;
}

SoundDocument::~SoundDocument() = default;

void SoundDocument::settle() const {
    if (!tailPending_) return;
    tailPending_ = false;
    model_.renderTail(model_.rendered.lengthSamples(), model_.rendered.sampleCount());
}

void SoundDocument::commit(const SoundSettings& next, const QString& step, Render render) {
    if (next == committed_) {
        // Nothing to undo, but the gesture still renders as it always has.
        apply(next, render);
        return;
    }
    // push() runs the step's redo, which applies `next`.
    history_.push(std::make_unique<SettingsStep>(step, committed_, next,
                                                 [this, render](const SoundSettings& s) { apply(s, render); }));
    // The history moves its index only after the step has run.
    syncModified();
}

void SoundDocument::apply(const SoundSettings& target, Render render) {
    dropPreviews();
    const SoundSettings before = committed_;
    SoundSettings sameRepeats = target;
    sameRepeats.repeatCount = before.repeatCount;
    const bool soundChanges = !(sameRepeats == before);
    const bool rendered = render == Render::Always || soundChanges || tailStale_;
    model_.apply(target, false);
    if (rendered) {
        // The same bytes as one render: the main part, then its tail, which
        // reads only samples before it. The frame shows the main part; the
        // tail waits until something reads the sound (a play, a save), and
        // is never rendered when another edit comes first.
        model_.renderMainPart();
        tailPending_ = true;
    }
    tailStale_ = false;
    committed_ = target;
    if (rendered) ++renderCount_;
    emit soundChanged(before, rendered);
}

void SoundDocument::preview(const SoundSettings& next) {
    // The move changed nothing that sounds.
    if (next == (requested_ ? *requested_ : model_.applied())) return;
    if (renderer_) {
        requested_ = next;
        renderer_->request(next, SoundModel::sameSizes(next, model_.applied()), previewTails_);
        return;
    }
    settle();  // the tail is the commit's until the next commit
    model_.apply(next, false);
    model_.renderMainPart();  // the tail is not shown; the commit renders it
    previewSpan_ = {0, model_.rendered.lengthSamples()};
    tailStale_ = true;
    ++renderCount_;
    emit previewed();
}

void SoundDocument::takePreview() {
    if (!renderer_) return;  // switched off since
    const std::unique_ptr<PreviewRenderer::Result> result = renderer_->take();
    if (!result) return;  // a newer request or an edit came first
    previewSpan_ = {0, 0};
    if (result->hasMain) {
        requested_.reset();
        // The plot is drawn again only where the samples changed.
        const bool whole = static_cast<bool>(result->whole), buffer = !result->samples.empty();
        previewSpan_ = whole    ? SampleSpan{0, result->whole->lengthSamples()}
                       : buffer ? model_.rendered.mainPartChanges(result->samples.data(), result->samples.size())
                                : model_.rendered.mainPartChanges(result->mainPart);
        if (whole) {
            model_.adopt(result->settings, std::move(*result->whole));
            // Rendered without its tail when nothing played.
            tailPending_ = !result->hasTail;
        } else if (buffer && model_.adoptSamples(result->settings, result->samples)) {
            // The buffer this one replaced is the worker's to render into next.
            // Its tail is the worker's leftover: whatever reads the sound
            // now gets the tail of this main part.
            renderer_->recycle(std::move(result->samples));
            tailPending_ = true;
        } else if (buffer || !model_.adoptMainPart(result->settings, result->mainPart, previewSpan_)) {
            model_.apply(result->settings, false);
            model_.renderMainPart();
            previewSpan_ = {0, model_.rendered.lengthSamples()};
        }
        tailStale_ = true;
        ++renderCount_;
    }
    // The tail completes the same render: the sound is whole again.
    bool tailed = false;
    if (result->whole && result->hasTail)
        tailed = true;
    else if (result->hasTail)
        tailed = model_.adoptTail(result->settings, result->tail);
    if (tailed) tailStale_ = tailPending_ = false;
    if (result->hasMain)
        emit previewed();
    else if (tailed)
        emit previewTailed();
}

void SoundDocument::dropPreviews() {
    if (!requested_) return;
    renderer_->cancel();
    requested_.reset();
}

void SoundDocument::completePreview() {
    if (requested_) {
        const SoundSettings next = *requested_;
        dropPreviews();
        model_.apply(next, true);
        tailStale_ = tailPending_ = false;
        return;
    }
    if (!tailStale_) return;
    model_.render();
    tailStale_ = tailPending_ = false;
}

void SoundDocument::renderPreviewsInBackground(bool on) {
    if (on == static_cast<bool>(renderer_)) return;
    dropPreviews();
    if (!on) {
        renderer_.reset();
        return;
    }
    renderer_ = std::make_unique<PreviewRenderer>();
    // Queued: the worker's signal is handled on this thread.
    connect(renderer_.get(), &PreviewRenderer::ready, this, &SoundDocument::takePreview, Qt::QueuedConnection);
}

int SoundDocument::droppedPreviews() const { return renderer_ ? renderer_->dropped() : 0; }

void SoundDocument::load(const SoundSettings& settings, const QString& path) {
    dropPreviews();
    model_.settings = settings;
    model_.applyAll();
    tailPending_ = false;
    committed_ = settings;
    tailStale_ = false;
    ++renderCount_;
    history_.clear();
    if (path.isEmpty())
        file_.clearFile();
    else
        file_.setFile(path);
    file_.clearModified();
    emit soundLoaded();
    emit fileStateChanged();
}

void SoundDocument::markSaved(const QString& path) {
    if (path != file_.path()) file_.setFile(path);
    history_.setClean();
    file_.clearModified();
    emit fileStateChanged();
}

void SoundDocument::fileRenamed(const QString& path) {
    if (path == file_.path()) return;
    file_.setFile(path);
    emit fileStateChanged();
}

void SoundDocument::undo() {
    history_.undo();
    syncModified();
}

void SoundDocument::redo() {
    history_.redo();
    syncModified();
}

bool SoundDocument::generate(const std::string& templateName, uint64_t seed, KeptParts kept) {
    std::optional<GeneratedSound> made = GeneratedSound::fromTemplate(templateName, seed, committed_, kept);
    if (made) commitGenerated(std::move(*made));
    return made.has_value();
}

bool SoundDocument::randomize(uint64_t seed, KeptParts kept) { return generate(sound_templates::kRandom, seed, kept); }

bool SoundDocument::mutate(uint64_t seed, KeptParts kept) {
    commitGenerated(GeneratedSound::mutation(seed, committed_, kept));
    return true;
}

void SoundDocument::commitGenerated(GeneratedSound sound) {
    commit(sound.sound, sound.stepName());
    generated_.add(std::move(sound));
}

bool SoundDocument::useGenerated(int index) {
    if (index < 0 || index >= generated_.size()) return false;
    const GeneratedSound& chosen = generated_.at(index);
    commit(chosen.sound, chosen.stepName());
    return true;
}

void SoundDocument::syncModified() {
    const bool modified = !history_.isClean();
    if (modified == file_.modified()) return;
    if (modified)
        file_.markModified();
    else
        file_.clearModified();
    emit fileStateChanged();
}
