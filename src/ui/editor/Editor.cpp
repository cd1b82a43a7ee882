#include "ui/editor/Editor.h"

#include "core/SoundModel.h"
#include "core/SoundMutation.h"
#include "core/SoundQuality.h"
#include "core/SoundTemplates.h"
#include "core/Waveforms.h"
#include "document/DocumentState.h"
#include "document/SettingsStep.h"
#include "ui/drawing/DrawingTools.h"

#include <QPainter>

#include <memory>

Editor::Editor(SoundModel& model, DocumentState& document, const DrawingTools& tools)
    : model_(model),
      document_(document),
      tools_(tools),
      waveformGroup_(tools),
      bitsGroup_(tools),
      rateGroup_(tools),
      repeatsGroup_(tools),
      sliders_{Slider(tools), Slider(tools), Slider(tools), Slider(tools)},
      amplitudeGraph_(model.settings.amplitude, tools),
      frequencyGraph_(model.settings.frequency, tools),
      outputView_(model.rendered, tools),
      waveformView_(model.table, tools),
      hint_(tools),
      history_(kHistoryLimit, kHistoryBytes) {
    hint_.loadBitmap();  // without the artwork the hint shows its text alone
    defineControls();
}

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
    const SoundSettings& s = model_.settings;
    waveformGroup_.selectValue(model_.table.kind());
    rateGroup_.selectValue(model_.rendered.sampleRate());
    bitsGroup_.selectValue(model_.rendered.bits());
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
    for (Slider& slider : sliders_) drawSlider(slider);
    drawButtons(waveformGroup_);
    drawButtons(bitsGroup_);
    drawButtons(rateGroup_);
    drawButtons(repeatsGroup_);
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

void Editor::applyEdit(const SoundSettings& next, const QString& step, Render render) {
    const SoundSettings& before = committed_;
    if (next == before) {
        // Nothing to undo, but the gesture still renders as it always has.
        applySettings(next, render);
        return;
    }
    // push() runs the step's redo, which applies `next`.
    history_.push(std::make_unique<SettingsStep>(step, before, next,
                                                 [this, render](const SoundSettings& s) { applySettings(s, render); }));
    // The history moves its index only after the step has run.
    syncModified();
}

void Editor::applySettings(const SoundSettings& target, Render render) {
    const SoundSettings old = committed_;
    SoundSettings sameRepeats = target;
    sameRepeats.repeatCount = old.repeatCount;
    const bool soundChanges = !(sameRepeats == old);
    const bool rendered = model_.apply(target, render == Render::Always || soundChanges || tailStale_);
    tailStale_ = false;
    committed_ = target;
    if (rendered) afterRender();

    // What changed is drawn again; the rest keeps its picture.
    refreshControls();
    if (target.waveform != old.waveform) {
        drawButtons(waveformGroup_);
        drawWaveform();
    }
    if (target.sampleRate != old.sampleRate) drawButtons(rateGroup_);
    if (target.bitsPerSample != old.bitsPerSample) drawButtons(bitsGroup_);
    if (target.repeatCount != old.repeatCount) drawButtons(repeatsGroup_);
    for (Slider& slider : sliders_) drawSlider(slider);
    // The graphs' time grids follow the length and the rate.
    redrawGraph(amplitudeGraph_);
    redrawGraph(frequencyGraph_);
    syncModified();
    updateWindow();
    if (rendered && playOnChange_) play();
}

void Editor::afterRender() {
    ++renderCount_;
    const int32_t w = model_.rendered.lengthSamples();
    const int32_t rate = model_.rendered.sampleRate();
    amplitudeGraph_.setTiming(w, rate);
    frequencyGraph_.setTiming(w, rate);
    drawOutput();
}

void Editor::loadSettings(const SoundSettings& settings, bool userLoaded) {
    model_.settings = settings;
    model_.applyAll();
    committed_ = settings;
    ++renderCount_;
    history_.clear();
    refreshControls();
    const int32_t w = model_.rendered.lengthSamples();
    const int32_t rate = model_.rendered.sampleRate();
    amplitudeGraph_.setTiming(w, rate);
    frequencyGraph_.setTiming(w, rate);
    redrawAll();
    if (userLoaded && playOnChange_) play();
}

void Editor::requestPreview() {
    if (!livePreview_ || previewPending_) return;
    previewPending_ = true;
    if (onLater)
        onLater([this] { runPreview(); });
    else
        runPreview();
}

void Editor::runPreview() {
    previewPending_ = false;
    if (!livePreview_ || !isDragging()) return;
    const SoundSettings next = withSliders();
    if (next == model_.applied()) return;  // the move changed nothing that sounds
    model_.apply(next, false);
    model_.renderMainPart();  // the tail is not shown; the release renders it
    tailStale_ = true;
    ++renderCount_;
    drawOutput();
    updateWindow();
}

void Editor::showPlayback(const SoundPlayer::Playback& now) {
    const int x =
        now.playing ? PlayCursor::columnFor(now.sample, model_.rendered.lengthSamples(), model_.rendered.sampleCount(),
                                            OutputView::kPlotLeft,
                                            outputView_.rect().width() - OutputView::kPlotLeft - OutputView::kPlotRight)
                    : -1;
    if (x < 0)
        playCursor_.hide(backBuffer_, outputView_);
    else
        playCursor_.moveTo(x, backBuffer_, outputView_);
    updateWindow();
}

void Editor::applyGenerated(const SoundSettings& next, const QString& step) {
    if (isDragging()) return;
    applyEdit(next, step);
    if (!playOnChange_) play();  // play on change has played it already
}

void Editor::generate(const std::string& templateName, uint64_t seed) {
    const std::optional<SoundSettings> sound = sound_templates::generate(templateName, seed, model_.settings);
    if (!sound) return;
    QString step = QString::fromStdString(templateName);
    step[0] = step[0].toUpper();
    applyGenerated(*sound, step);
}

void Editor::randomize(uint64_t seed) {
    if (const std::optional<SoundSettings> sound =
            sound_templates::generate(sound_templates::kRandom, seed, model_.settings))
        applyGenerated(*sound, QStringLiteral("Randomize"));
}

void Editor::mutate(uint64_t seed) {
    applyGenerated(sound_mutation::mutate(committed_, seed), QStringLiteral("Mutate"));
}

void Editor::undo() {
    if (isDragging()) return;
    history_.undo();
    syncModified();
}

void Editor::redo() {
    if (isDragging()) return;
    history_.redo();
    syncModified();
}

void Editor::markSaved() { history_.setClean(); }

void Editor::syncModified() {
    if (!history_.isClean()) {
        if (document_.markModified() && onTitleChanged) onTitleChanged();
    } else if (document_.modified()) {
        document_.clearModified();
        if (onTitleChanged) onTitleChanged();
    }
}

void Editor::redrawGraph(EnvelopeGraph& graph) {
    graph.draw(model_.rendered.lengthSamples(), model_.rendered.sampleRate());
    blit(graph.image(), graph.rect());
}

void Editor::play() {
    if (tailStale_) {
        // A key pressed during a previewed drag: the whole sound, as it stands.
        model_.render();
        tailStale_ = false;
    }
    model_.play();
    if (onPlayed) onPlayed();
}

void Editor::hintStage(int stage) { hint_.setStage(stage, layout_.client); }

void Editor::updateWindow() {
    drawHintOnTop();
    const QRegion region = backBuffer_.takeDirty();
    if (!region.isEmpty() && onUpdateWindow) onUpdateWindow(region);
}

SoundSettings Editor::withSliders() const {
    SoundSettings s = model_.settings;
    s.length = sliders_[Length].position();
    s.distort = sliders_[Distort].position();
    s.echoVolume = sliders_[EchoVolume].position();
    s.echoDelay = sliders_[EchoDelay].position();
    return s;
}

bool Editor::isDragging() const {
    for (const Slider& slider : sliders_)
        if (slider.isDragging()) return true;
    return amplitudeGraph_.isDragging() || frequencyGraph_.isDragging();
}

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

void Editor::drawButtons(OptionGroup& group) {
    for (int i = 0; i < group.size(); ++i) {
        OptionButton& button = group.button(i);
        button.draw();
        blit(button.image(), button.rect());
    }
}

void Editor::drawSlider(Slider& slider) {
    slider.draw();
    blit(slider.image(), slider.rect());
}

void Editor::drawOutput() {
    playCursor_.forget();  // the new picture covers it
    outputView_.draw();
    blit(outputView_.image(), outputView_.rect());
}

void Editor::drawWaveform() {
    waveformView_.draw();
    blit(waveformView_.image(), waveformView_.rect());
}

void Editor::drawTitles() {
    QPainter painter(&backBuffer_.image());
    painter.setFont(tools_.boldFont);
    painter.setPen(Qt::black);
    for (const WindowLayout::Title& title : layout_.titles)
        painter.drawText(QRect(title.topLeft, QSize(240, 20)), Qt::AlignLeft | Qt::AlignTop, title.text);
}
