#include "ui/editor/Editor.h"

#include "core/RenderedSound.h"
#include "core/SoundQuality.h"
#include "core/WaveformTable.h"
#include "core/Waveforms.h"
#include "ui/drawing/DrawingTools.h"

#include <QPainter>
#include <QTimer>

Editor::Editor(SoundDocument& document, const DrawingTools& tools)
    : document_(document),
      tools_(tools),
      waveformGroup_(tools),
      bitsGroup_(tools),
      rateGroup_(tools),
      repeatsGroup_(tools),
      sliders_{Slider(tools), Slider(tools), Slider(tools), Slider(tools)},
      amplitudeGraph_(document.settings().amplitude, tools),
      frequencyGraph_(document.settings().frequency, tools),
      outputView_(document.shown(), tools),
      waveformView_(document.table(), tools),
      hint_(tools) {
    hint_.loadBitmap();  // without the artwork the hint shows its text alone
    defineControls();
    connect(&document_, &SoundDocument::soundChanged, this, &Editor::showChange);
    connect(&document_, &SoundDocument::soundLoaded, this, &Editor::showLoaded);
    connect(&document_, &SoundDocument::previewed, this, &Editor::showPreview);
    // The tail changes nothing on screen, only what plays.
    connect(&document_, &SoundDocument::previewTailed, this, [this] { emit replaceRequested(false); });
    // The sound the document holds is the one the editor opens with.
    refreshControls();
    setTimings();
}

Editor::~Editor() = default;

void Editor::defineControls() {
    for (const waveforms::Info& info : waveforms::kButtonOrder)
        waveformGroup_.add(QString::fromLatin1(info.label), info.code());
    for (const int32_t bits : sound_quality::kSampleWidths) bitsGroup_.add(QStringLiteral("%1 bit").arg(bits), bits);
    // 11025 Hz is "11KHz".
    for (const int32_t hz : sound_quality::kSampleRates) rateGroup_.add(QStringLiteral("%1KHz").arg(hz / 1000), hz);
    for (int i = sound_quality::kFewestRepeats; i <= sound_quality::kMostRepeats; ++i)
        repeatsGroup_.add(QString::number(i), i);

    sliders_[Length].setLine(0, QStringLiteral("Length"));
    sliders_[Length].setValueText(slider_text::lengthLine);
    sliders_[Distort].setLine(0, QStringLiteral("Distort"));
    sliders_[Distort].setValueText(slider_text::percentLine);
    sliders_[EchoVolume].setLine(0, QStringLiteral("Echo"));
    sliders_[EchoVolume].setLine(1, QStringLiteral("Volume"));
    sliders_[EchoDelay].setLine(0, QStringLiteral("Echo"));
    sliders_[EchoDelay].setLine(1, QStringLiteral("Delay"));
}

void Editor::refreshControls() {
    const SoundSettings& s = document_.settings();
    waveformGroup_.selectValue(document_.table().kind());
    rateGroup_.selectValue(document_.shown().sampleRate());
    bitsGroup_.selectValue(document_.shown().bits());
    repeatsGroup_.selectValue(s.repeatCount);
    sliders_[Length].setPosition(s.length);
    sliders_[Distort].setPosition(s.distort);
    sliders_[EchoVolume].setPosition(s.echoVolume);
    sliders_[EchoDelay].setPosition(s.echoDelay);
    sliders_[Length].refreshValueLine();
    sliders_[Distort].refreshValueLine();
}

void Editor::relayout(QSize client, qreal devicePixelRatio) {
    layout_ = WindowLayout::compute(client);
    const qreal dpr = devicePixelRatio;
    auto place = [dpr](auto& item, const QRect& r) {
        item.setRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height(), dpr);
    };
    place(amplitudeGraph_, layout_.amplitude);
    place(frequencyGraph_, layout_.frequency);
    place(outputView_, layout_.output);
    place(waveformView_, layout_.waveform);
    hint_.layout(client);
    for (int i = 0; i < waveformGroup_.size(); ++i)
        place(waveformGroup_.button(i), layout_.waveformButtons[static_cast<size_t>(i)]);
    for (int i = 0; i < bitsGroup_.size(); ++i)
        place(bitsGroup_.button(i), layout_.bitsButtons[static_cast<size_t>(i)]);
    for (int i = 0; i < rateGroup_.size(); ++i)
        place(rateGroup_.button(i), layout_.rateButtons[static_cast<size_t>(i)]);
    for (int i = 0; i < repeatsGroup_.size(); ++i)
        place(repeatsGroup_.button(i), layout_.repeatsButtons[static_cast<size_t>(i)]);
    for (size_t j = 0; j < sliders_.size(); ++j) place(sliders_[j], layout_.sliders[j]);

    backBuffer_.recreate(client, devicePixelRatio);
    if (backBuffer_.isNull()) return;  // minimised: the next real size draws everything
    drawTitles();
    drawEverything();
}

void Editor::drawEverything() {
    for (Slider& slider : sliders_) drawSlider(slider, true);
    drawButtons(waveformGroup_, true);
    drawButtons(bitsGroup_, true);
    drawButtons(rateGroup_, true);
    drawButtons(repeatsGroup_, true);
    drawWaveform();
    redrawGraph(amplitudeGraph_);
    redrawGraph(frequencyGraph_);
    drawOutput();
    drawHintOnTop();  // last, so that it stays on top
}

void Editor::redrawAll() {
    drawEverything();
    updateWindow();
}

void Editor::showChange(const SoundSettings& before, bool rendered) {
    const SoundSettings& now = document_.settings();
    if (rendered) afterRender();

    // What changed is drawn again; the rest keeps its picture.
    refreshControls();
    if (now.waveform != before.waveform) drawWaveform();
    // Each button and slider is drawn again only when its look changed.
    for (OptionGroup* group : {&waveformGroup_, &rateGroup_, &bitsGroup_, &repeatsGroup_}) drawButtons(*group);
    for (Slider& slider : sliders_) drawSlider(slider);
    // The graphs' time grids follow the length and the rate (drawn whole
    // then); a changed curve or a released point's held look is drawn where
    // it changed.
    updateGraph(amplitudeGraph_);
    updateGraph(frequencyGraph_);
    updateWindow();
    if (rendered && releasing_)
        emit replaceRequested(playOnChange_);
    else if (rendered && playOnChange_)
        play();
}

void Editor::commitDrag(const SoundSettings& next, const QString& step) {
    releasing_ = true;
    document_.commit(next, step);
    releasing_ = false;
}

void Editor::afterRender() {
    setTimings();
    // Every sample may have changed, but with the same timing only the rows
    // the trace reaches are drawn and sent again.
    playCursor_.hide(backBuffer_, outputView_);
    if (!backBuffer_.isNull())
        backBuffer_.invalidate(outputView_.updateInto(backBuffer_, 0, document_.shown().lengthSamples(), hintCover()));
}

void Editor::setTimings() {
    const int32_t w = document_.shown().lengthSamples();
    const int32_t rate = document_.shown().sampleRate();
    amplitudeGraph_.setTiming(w, rate);
    frequencyGraph_.setTiming(w, rate);
}

void Editor::showLoaded() {
    // New and Open replace what a drag would be working on.
    amplitudeGraph_.cancelDrag();
    frequencyGraph_.cancelDrag();
    refreshControls();
    setTimings();
    redrawAll();
    if (playOnChange_) play();
}

void Editor::requestPreview() {
    if (!livePreview_) return;
    // In the background each change asks at once, so that the render runs
    // while the pass draws (a newer request drops an older one there).
    // Rendered here, the changes of one pass come together at its end.
    if (document_.previewsInBackground()) {
        askPreview();
        return;
    }
    if (previewPending_) return;
    previewPending_ = true;
    QTimer::singleShot(0, this, &Editor::runPreview);
}

void Editor::runPreview() {
    previewPending_ = false;
    askPreview();
}

void Editor::askPreview() {
    if (!livePreview_ || !isDragging()) return;
    document_.preview(pending());
}

void Editor::showPreview() {
    // The line comes back at the next look at the player, over the new plot.
    playCursor_.hide(backBuffer_, outputView_);
    const SoundDocument::SampleSpan span = document_.previewSpan();
    backBuffer_.invalidate(outputView_.updateInto(backBuffer_, span.first, span.end, hintCover()));
    updateWindow();
    emit replaceRequested(false);  // what plays follows the drag
}

void Editor::showPlayback(const SoundPlayer::Playback& now) {
    const RenderedSound& sound = document_.shown();
    const int x = now.playing ? PlayCursor::columnFor(
                                    now.sample, sound.lengthSamples(), sound.sampleCount(), OutputView::kPlotLeft,
                                    outputView_.rect().width() - OutputView::kPlotLeft - OutputView::kPlotRight)
                              : -1;
    if (x < 0)
        playCursor_.hide(backBuffer_, outputView_);
    else
        playCursor_.moveTo(x, backBuffer_, outputView_);
    updateWindow();
}

void Editor::afterGenerated(bool applied) {
    if (applied && !playOnChange_) play();  // play on change has played it already
}

void Editor::generate(const std::string& templateName, uint64_t seed, KeptParts kept) {
    if (!isDragging()) afterGenerated(document_.generate(templateName, seed, kept));
}

void Editor::randomize(uint64_t seed, KeptParts kept) {
    if (!isDragging()) afterGenerated(document_.randomize(seed, kept));
}

void Editor::mutate(uint64_t seed, KeptParts kept) {
    if (!isDragging()) afterGenerated(document_.mutate(seed, kept));
}

void Editor::undo() {
    if (!isDragging()) document_.undo();
}

void Editor::redo() {
    if (!isDragging()) document_.redo();
}

void Editor::redrawGraph(EnvelopeGraph& graph) {
    // The time grid of the last commit (setTimings): a preview's length
    // shows in the graphs once it is released.
    graph.redraw();
    if (backBuffer_.isNull()) return;
    graph.drawInto(backBuffer_);
    backBuffer_.invalidate(graph.rect());
}

void Editor::updateGraph(EnvelopeGraph& graph) {
    if (!backBuffer_.isNull()) backBuffer_.invalidate(graph.updateInto(backBuffer_));
}

void Editor::play() {
    // A key pressed during a previewed drag: the whole sound, as it stands,
    // and its plot when a preview was still on its way.
    const bool awaited = document_.previewPending();
    document_.completePreview();
    if (awaited) {
        drawOutput();
        updateWindow();
    }
    emit playRequested();
}

void Editor::hintStage(int stage) { hint_.setStage(stage, layout_.client); }

void Editor::updateWindow() {
    // The hint goes over again only where something was drawn under it.
    if (backBuffer_.dirty().intersects(hint_.rect())) drawHintOnTop();
    const QRegion region = backBuffer_.takeDirty();
    if (!region.isEmpty()) emit repaintNeeded(region);
}

SoundSettings Editor::pending() const {
    SoundSettings s = document_.settings();
    // A slider off the document's value is one being dragged.
    s.length = sliders_[Length].position();
    s.distort = sliders_[Distort].position();
    s.echoVolume = sliders_[EchoVolume].position();
    s.echoDelay = sliders_[EchoDelay].position();
    if (amplitudeGraph_.isDragging()) s.amplitude = amplitudeGraph_.envelope();
    if (frequencyGraph_.isDragging()) s.frequency = frequencyGraph_.envelope();
    return s;
}

bool Editor::isDragging() const {
    for (const Slider& slider : sliders_)
        if (slider.isDragging()) return true;
    return amplitudeGraph_.isDragging() || frequencyGraph_.isDragging();
}

QRect Editor::hintCover() const { return hint_.isVisible() ? hint_.rect() : QRect(); }

void Editor::drawHintOnTop() {
    if (backBuffer_.isNull() || !hint_.isVisible()) return;
    hint_.draw(backBuffer_.image());
    backBuffer_.invalidate(hint_.rect());
}

void Editor::blit(const QImage& image, const QRect& rect) {
    if (backBuffer_.isNull() || image.isNull() || rect.isEmpty()) return;
    QPainter painter(&backBuffer_.image());
    painter.drawImage(rect.topLeft(), image);
    painter.end();
    backBuffer_.invalidate(rect);
}

void Editor::drawButtons(OptionGroup& group, bool all) {
    for (int i = 0; i < group.size(); ++i) {
        OptionButton& button = group.button(i);
        if (button.isShown() && !all) continue;
        button.draw();
        blit(button.image(), button.rect());
        button.markShown();
    }
}

void Editor::drawSlider(Slider& slider, bool always) {
    if (slider.isShown() && !always) return;
    slider.draw();
    blit(slider.image(), slider.rect());
    slider.markShown();
}

void Editor::drawOutput() {
    playCursor_.forget();  // the new picture covers it
    if (backBuffer_.isNull()) return;
    outputView_.drawInto(backBuffer_);
    backBuffer_.invalidate(outputView_.rect());
}

void Editor::drawWaveform() {
    if (backBuffer_.isNull()) return;
    waveformView_.drawInto(backBuffer_);
    backBuffer_.invalidate(waveformView_.rect());
}

void Editor::drawTitles() {
    QPainter painter(&backBuffer_.image());
    painter.setFont(tools_.boldFont);
    painter.setPen(Qt::black);
    for (const WindowLayout::Title& title : layout_.titles)
        painter.drawText(QRect(title.topLeft, QSize(240, 20)), Qt::AlignLeft | Qt::AlignTop, title.text);
}
