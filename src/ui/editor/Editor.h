#pragma once

#include "core/SoundPlayer.h"
#include "core/SoundSettings.h"
#include "document/EditHistory.h"
#include "ui/controls/OptionGroup.h"
#include "ui/controls/Slider.h"
#include "ui/drawing/BackBuffer.h"
#include "ui/editor/WindowLayout.h"
#include "ui/views/EnvelopeGraph.h"
#include "ui/views/HintPanel.h"
#include "ui/views/OutputView.h"
#include "ui/views/PlayCursor.h"
#include "ui/views/WaveformView.h"

#include <QRegion>
#include <QSize>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class DocumentState;
class DrawingTools;
class SoundModel;

// The editor's long-lived user-interface objects around one SoundModel: the
// four button groups, the four sliders, the two envelope graphs, the two
// plots, the hint panel and the back buffer, with the steps that keep them
// and the sound in line (the edit cycle). Nothing here knows about widgets:
// the window is reached through the two callbacks.
class Editor {
public:
    enum SliderIndex { Length = 0, Distort = 1, EchoVolume = 2, EchoDelay = 3 };

    Editor(SoundModel& model, DocumentState& document, const DrawingTools& tools);
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    // Paints the invalidated part of the back buffer now (the synchronous paint).
    std::function<void(const QRegion&)> onUpdateWindow;
    // The window caption must be rewritten from the document state.
    std::function<void()> onTitleChanged;

    SoundModel& model() { return model_; }
    DocumentState& document() { return document_; }
    const DrawingTools& tools() const { return tools_; }

    OptionGroup& waveformGroup() { return waveformGroup_; }
    OptionGroup& bitsGroup() { return bitsGroup_; }
    OptionGroup& rateGroup() { return rateGroup_; }
    OptionGroup& repeatsGroup() { return repeatsGroup_; }
    Slider& slider(int index) { return sliders_[static_cast<size_t>(index)]; }
    EnvelopeGraph& amplitudeGraph() { return amplitudeGraph_; }
    EnvelopeGraph& frequencyGraph() { return frequencyGraph_; }
    OutputView& outputView() { return outputView_; }
    WaveformView& waveformView() { return waveformView_; }
    HintPanel& hint() { return hint_; }
    BackBuffer& backBuffer() { return backBuffer_; }
    const WindowLayout& layout() const { return layout_; }

    // Selects the buttons matching the settings and sets the slider positions
    // and value lines from them. Draws nothing.
    void refreshControls();

    // The size change: places everything, recreates the back buffer with the
    // background and titles, and draws every view into it.
    void relayout(QSize client, qreal devicePixelRatio);

    // Draws every view and control again and updates the window.
    void redrawAll();

    // Whether an edit renders when the sound itself is the same afterwards.
    // Gestures render once even when they changed nothing (a point held and
    // let go, a button already in force); the repeat count renders nothing.
    enum class Render { Always, WhenSoundChanges };

    // The one edit path. Every change of the sound (a drag on release, a
    // point inserted or deleted, a dialog's OK, a button, a slider) ends here
    // with the new settings: when they differ from the last applied ones they
    // become one undo step named `step`; either way only the setters whose
    // values changed are called, the sound is rendered once, what changed is
    // redrawn and the modified flag follows the history's clean state.
    void applyEdit(const SoundSettings& next, const QString& step, Render render = Render::Always);

    // The one load path (start-up, New, Open): replaces the whole sound,
    // refreshes every control and view, and starts an empty history. A sound
    // loaded by the user (not at start-up) plays when play on change is on.
    void loadSettings(const SoundSettings& settings, bool userLoaded = true);

    // Each edit that renders (and each New and Open) plays the new sound.
    void setPlayOnChange(bool on) { playOnChange_ = on; }
    bool playOnChange() const { return playOnChange_; }
    // During a drag the sound is rendered and the output plot redrawn as the
    // values change, at most once per pass of the event loop; the undo step
    // and the modified flag still come once, on release.
    void setLivePreview(bool on) { livePreview_ = on; }
    bool livePreview() const { return livePreview_; }
    // A drag changed what it holds: schedules a live preview when it is on.
    void requestPreview();
    // Runs `task` on the next pass of the event loop; unset, at once.
    std::function<void(std::function<void()>)> onLater;
    // A sound was handed to the player.
    std::function<void()> onPlayed;

    // Shows where playback is (the play cursor), or takes the cursor away.
    void showPlayback(const SoundPlayer::Playback& now);
    const PlayCursor& playCursor() const { return playCursor_; }

    // A generated sound (a template, Randomize, Mutate) through the one edit
    // path, played at once as the user asked for a new sound. Ignored while a
    // drag is held.
    void applyGenerated(const SoundSettings& next, const QString& step);
    // The named template for `seed`, keeping the quality the user chose.
    void generate(const std::string& templateName, uint64_t seed);
    // Randomize: a `random` sound, with a quality of its own.
    void randomize(uint64_t seed);
    // Mutate: the sound nudged by the default amount.
    void mutate(uint64_t seed);

    // Undo and redo; neither does anything while a drag is held.
    void undo();
    void redo();
    EditHistory& history() { return history_; }
    // The history keeps the last 1,000 steps, fewer when they hold more
    // than 64 MiB (a sound with long curves edited point by point).
    static constexpr int kHistoryLimit = 1000;
    static constexpr size_t kHistoryBytes = size_t(64) << 20;
    // The document was saved: this is the state without " *".
    void markSaved();

    void redrawGraph(EnvelopeGraph& graph);
    void play();                // repeatCount times, from the start
    void hintStage(int stage);  // raise the hint (never lowers it)
    void updateWindow();        // paint what was invalidated, now

    // The settings with the four sliders' positions in them.
    SoundSettings withSliders() const;

    // Draws the hint over the back buffer again so that it stays on top.
    void drawHintOnTop();

    // Copies a view's picture into the back buffer at its place and
    // invalidates that place. Null pictures (empty rectangles) are skipped.
    void blit(const QImage& image, const QRect& rect);

    // How many times the sound was rendered since start (renders are costly
    // and must happen once per edit, never during a drag).
    int renderCount() const { return renderCount_; }

    // Any left-button drag (point, curve or slider knob) is in progress.
    bool isDragging() const;

    // Each draws one item into the back buffer and invalidates its place.
    void drawButtons(OptionGroup& group);
    void drawSlider(Slider& slider);
    void drawOutput();
    void drawWaveform();

private:
    // Brings model and views to `settings` (an undo step's redo and undo).
    void applySettings(const SoundSettings& settings, Render render);
    void runPreview();
    void afterRender();
    void syncModified();
    void defineControls();
    void drawTitles();
    void drawEverything();  // every view and control into the back buffer

    SoundModel& model_;
    DocumentState& document_;
    const DrawingTools& tools_;
    OptionGroup waveformGroup_;
    OptionGroup bitsGroup_;
    OptionGroup rateGroup_;
    OptionGroup repeatsGroup_;
    std::array<Slider, 4> sliders_;
    EnvelopeGraph amplitudeGraph_;
    EnvelopeGraph frequencyGraph_;
    OutputView outputView_;
    WaveformView waveformView_;
    HintPanel hint_;
    BackBuffer backBuffer_;
    WindowLayout layout_;
    EditHistory history_;
    // The settings of the last edit or load: what an undo step starts from.
    // The model may be ahead of it during a live preview.
    SoundSettings committed_;
    PlayCursor playCursor_;
    bool playOnChange_ = false;
    bool livePreview_ = false;
    bool previewPending_ = false;
    bool tailStale_ = false;  // a preview rendered the main part only
    int renderCount_ = 0;
};
