#pragma once

#include "core/KeptParts.h"
#include "core/SoundSettings.h"
#include "document/SoundDocument.h"
#include "platform/SoundPlayer.h"
#include "ui/controls/OptionGroup.h"
#include "ui/controls/Slider.h"
#include "ui/drawing/BackBuffer.h"
#include "ui/editor/WindowLayout.h"
#include "ui/views/EnvelopeGraph.h"
#include "ui/views/HintPanel.h"
#include "ui/views/OutputView.h"
#include "ui/views/PlayCursor.h"
#include "ui/views/WaveformView.h"

#include <QObject>
#include <QRegion>
#include <QSize>

#include <array>
#include <cstddef>
#include <cstdint>

class DrawingTools;

// The editor's long-lived user-interface objects around one SoundDocument:
// the four button groups, the four sliders, the two envelope graphs, the two
// plots, the hint panel and the back buffer. It shows the document and turns
// gestures into values (InputDispatch commits them); it never writes the
// document itself. Nothing here knows about widgets: the window listens to
// the two signals.
class Editor : public QObject {
    Q_OBJECT
public:
    enum SliderIndex { Length = 0, Distort = 1, EchoVolume = 2, EchoDelay = 3 };

    Editor(SoundDocument& document, const DrawingTools& tools);
    ~Editor() override;

    SoundDocument& document() { return document_; }
    const SoundDocument& document() const { return document_; }
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

    // Selects the buttons matching the document and sets the slider positions
    // and value lines from it. Draws nothing.
    void refreshControls();

    // The size change: places everything, recreates the back buffer with the
    // background and titles, and draws every view into it.
    void relayout(QSize client, qreal devicePixelRatio);

    // Draws every view and control again and updates the window.
    void redrawAll();

    // Each commit that renders (and each New and Open) plays the new sound.
    void setPlayOnChange(bool on) { playOnChange_ = on; }
    bool playOnChange() const { return playOnChange_; }
    // During a drag the sound is rendered and the output plot redrawn as the
    // values change, at most once per pass of the event loop; the undo step
    // and the modified flag still come once, on release.
    void setLivePreview(bool on) { livePreview_ = on; }
    bool livePreview() const { return livePreview_; }
    // A drag changed what it holds: asks for a live preview when it is on.
    // Called before the drag's own drawing, which then runs beside the render.
    void requestPreview();
    // The commit that ends a drag: what plays is replaced by the whole new
    // sound from the same place; with nothing playing, play on change plays it.
    void commitDrag(const SoundSettings& next, const QString& step);

    // Shows where playback is (the play cursor), or takes the cursor away.
    void showPlayback(const SoundPlayer::Playback& now);
    const PlayCursor& playCursor() const { return playCursor_; }

    // A generated sound (a template, Randomize, Mutate), played at once as
    // the user asked for a new sound. Ignored while a drag is held.
    // The `kept` parts stay as they are.
    void generate(const std::string& templateName, uint64_t seed, KeptParts kept = {});
    void randomize(uint64_t seed, KeptParts kept = {});
    void mutate(uint64_t seed, KeptParts kept = {});

    // Undo and redo; neither does anything while a drag is held.
    void undo();
    void redo();

    // The whole graph into the back buffer, with the committed timing.
    void redrawGraph(EnvelopeGraph& graph);
    // Only what changed in the graph since it was last drawn (a drag step).
    void updateGraph(EnvelopeGraph& graph);
    // The whole sound as it stands, repeatCount times, from the start.
    void play();
    void hintStage(int stage);  // raise the hint (never lowers it)
    void updateWindow();        // paint what was invalidated, now

    // The document's settings with what a drag holds in them: the sliders'
    // positions and the curves being dragged.
    SoundSettings pending() const;

    // Where the hint lies over the views, when it shows.
    QRect hintCover() const;
    // Draws the hint over the back buffer again so that it stays on top.
    void drawHintOnTop();

    // Copies a control's picture into the back buffer at its place and
    // invalidates that place. Null pictures (empty rectangles) are skipped.
    void blit(const QImage& image, const QRect& rect);

    // How many times the document was rendered.
    int renderCount() const { return document_.renderCount(); }

    // Any left-button drag (point, curve or slider knob) is in progress.
    bool isDragging() const;

    // Each draws one item into the back buffer and invalidates its place.
    // Buttons and sliders whose look is shown already are skipped unless `all`.
    void drawButtons(OptionGroup& group, bool all = false);
    void drawSlider(Slider& slider, bool all = false);
    void drawOutput();
    void drawWaveform();

signals:
    // Paint this part of the back buffer now (the synchronous paint).
    void repaintNeeded(const QRegion& region);
    // The sound as it stands must be played.
    void playRequested();
    // The sound as it stands must replace what plays, from the same place;
    // when nothing plays, it is played from the start if `orPlay`.
    void replaceRequested(bool orPlay);

private:
    // What a commit, undo or redo changed is drawn again.
    void showChange(const SoundSettings& before, bool rendered);
    void showLoaded();
    void showPreview();
    void runPreview();
    void askPreview();
    void afterRender();
    void setTimings();  // the graphs' time grids, from the rendered sound
    void afterGenerated(bool applied);
    void defineControls();
    void drawTitles();
    void drawEverything();  // every view and control into the back buffer

    SoundDocument& document_;
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
    PlayCursor playCursor_;
    bool playOnChange_ = false;
    bool livePreview_ = false;
    bool previewPending_ = false;
    bool releasing_ = false;  // the commit under way ends a drag
};
