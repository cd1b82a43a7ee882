#include "InputDispatch.h"

#include "DocumentState.h"
#include "Editor.h"
#include "SoundModel.h"

namespace {

// The hint stages raised by the gestures they teach.
constexpr int kHintPlayed = 1;
constexpr int kHintPointDragged = 2;
constexpr int kHintRightClicked = 3;
constexpr int kHintDoubleClicked = 4;

}  // namespace

InputDispatch::InputDispatch(Editor& editor) : editor_(editor) {}

void InputDispatch::finishEdit() {
    editor_.reRender();
    editor_.markModified();
    editor_.updateWindow();
}

InputDispatch::Cursor InputDispatch::mouseMove(QPoint pos) {
    const int x = pos.x();
    const int y = pos.y();
    for (int j = 0; j < 4; ++j) {
        Slider& slider = editor_.slider(j);
        if (slider.isDragging()) {
            // The value line follows live; the sound waits for the release.
            slider.move(y);
            editor_.blit(slider.image(), slider.rect());
            editor_.updateWindow();
            return Cursor::Hand;
        }
    }
    for (EnvelopeGraph* graph : {&editor_.amplitudeGraph(), &editor_.frequencyGraph()}) {
        if (graph->move(x, y)) {
            editor_.blit(graph->image(), graph->rect());
            editor_.updateWindow();
            return Cursor::Hand;
        }
    }
    return cursorAt(pos);
}

InputDispatch::Cursor InputDispatch::cursorAt(QPoint pos) {
    const int x = pos.x();
    const int y = pos.y();
    if (editor_.amplitudeGraph().wantsHandCursor(x, y) || editor_.frequencyGraph().wantsHandCursor(x, y))
        return Cursor::Hand;
    for (OptionGroup* group : {&editor_.waveformGroup(), &editor_.rateGroup(), &editor_.bitsGroup(),
                               &editor_.repeatsGroup()})
        if (group->hit(x, y) >= 0)
            return Cursor::Hand;
    for (int j = 0; j < 4; ++j)
        if (editor_.slider(j).hitKnob(x, y))
            return Cursor::Hand;
    if (editor_.outputView().contains(x, y))
        return Cursor::Play;
    return Cursor::Arrow;
}

bool InputDispatch::leftDown(QPoint pos) {
    const int x = pos.x();
    const int y = pos.y();
    SoundModel& model = editor_.model();

    if (editor_.outputView().contains(x, y)) {
        editor_.play();
        editor_.hintStage(kHintPlayed);
        editor_.redrawAll();
        return false;
    }
    for (EnvelopeGraph* graph : {&editor_.amplitudeGraph(), &editor_.frequencyGraph()}) {
        if (graph->press(x, y)) {
            editor_.blit(graph->image(), graph->rect());
            editor_.updateWindow();
            return true;
        }
    }

    // A click on the button already in force still counts as an edit: the
    // value is applied again, the sound rendered and the document marked.
    if (const int i = editor_.waveformGroup().hit(x, y); i >= 0) {
        model.settings.waveform = editor_.waveformGroup().select(i);
        editor_.drawButtons(editor_.waveformGroup());
        model.table.build(model.settings.waveform);
        editor_.drawWaveform();
        finishEdit();
        return false;
    }
    if (const int i = editor_.rateGroup().hit(x, y); i >= 0) {
        model.settings.sampleRate = editor_.rateGroup().select(i);
        editor_.drawButtons(editor_.rateGroup());
        model.rendered.setSampleRate(model.settings.sampleRate);
        finishEdit();
        return false;
    }
    if (const int i = editor_.bitsGroup().hit(x, y); i >= 0) {
        model.settings.bitsPerSample = editor_.bitsGroup().select(i);
        editor_.drawButtons(editor_.bitsGroup());
        model.rendered.setBits(model.settings.bitsPerSample);
        finishEdit();
        return false;
    }
    if (const int i = editor_.repeatsGroup().hit(x, y); i >= 0) {
        // Only playing uses the count: nothing to render.
        model.settings.repeatCount = editor_.repeatsGroup().select(i);
        editor_.drawButtons(editor_.repeatsGroup());
        editor_.markModified();
        editor_.updateWindow();
        return false;
    }
    for (int j = 0; j < 4; ++j) {
        if (editor_.slider(j).press(x, y)) {
            Slider& slider = editor_.slider(j);
            editor_.blit(slider.image(), slider.rect());
            editor_.updateWindow();
            return true;
        }
    }
    return false;
}

void InputDispatch::releaseGraph(EnvelopeGraph& graph, int y, bool raisesHint) {
    const EnvelopeGraph::Release r = graph.release(y);
    if (!r.wasDragging)
        return;
    if (r.modified)
        editor_.markModified();
    editor_.blit(graph.image(), graph.rect());
    editor_.reRender();
    if (raisesHint && r.wasPoint) {
        editor_.hintStage(kHintPointDragged);
        editor_.redrawAll();
    } else {
        editor_.updateWindow();
    }
}

void InputDispatch::leftUp(QPoint pos) {
    releaseGraph(editor_.amplitudeGraph(), pos.y(), true);
    releaseGraph(editor_.frequencyGraph(), pos.y(), false);

    SoundModel& model = editor_.model();
    for (int j = 0; j < 4; ++j) {
        Slider& slider = editor_.slider(j);
        if (!slider.release())
            continue;
        editor_.applySliders();
        if (j != Editor::Distort) {
            // Length and echo delay decide the sound's durations.
            model.rendered.setLength(static_cast<float>(lengthMs(model.settings.length)),
                                     model.settings.echoDelay);
        }
        slider.draw();
        editor_.blit(slider.image(), slider.rect());
        editor_.reRender();
        // The graphs' time grids follow the length.
        editor_.redrawGraph(editor_.amplitudeGraph());
        editor_.redrawGraph(editor_.frequencyGraph());
        // Released counts as an edit even where the knob came back to rest.
        editor_.markModified();
        editor_.updateWindow();
    }
}

void InputDispatch::adjustAfterDoubleClick(EnvelopeGraph& graph, QPoint pos) {
    const int index = graph.findPointNear(pos.x(), pos.y());
    if (index < 0 || !adjustPoint)
        return;
    if (adjustPoint(graph, index)) {
        editor_.reRender();
        editor_.markModified();
        editor_.redrawGraph(graph);
        editor_.updateWindow();
    }
}

void InputDispatch::leftDoubleClick(QPoint pos) {
    // The first click of the pair already held and released whatever is here.
    adjustAfterDoubleClick(editor_.frequencyGraph(), pos);
    adjustAfterDoubleClick(editor_.amplitudeGraph(), pos);
    editor_.hintStage(kHintDoubleClicked);
    editor_.redrawAll();
}

bool InputDispatch::rightClickGraph(EnvelopeGraph& graph, QPoint pos, bool insert) {
    const EnvelopeGraph::RightClick r =
        insert ? graph.rightClickInsert(pos.x(), pos.y()) : graph.rightClickDelete(pos.x(), pos.y());
    if (!r.hit)
        return false;
    // A click on an end point removes nothing but still counts as an edit.
    editor_.redrawGraph(graph);
    editor_.reRender();
    editor_.markModified();
    editor_.hintStage(kHintRightClicked);
    editor_.redrawAll();
    return true;
}

void InputDispatch::rightDown(QPoint pos) {
    // While a point, curve or knob is held, deleting or inserting points would
    // re-index the held point under the drag: ignore the click.
    if (editor_.isDragging())
        return;
    if (rightClickGraph(editor_.amplitudeGraph(), pos, false))
        return;
    if (rightClickGraph(editor_.frequencyGraph(), pos, false))
        return;
    rightClickGraph(editor_.amplitudeGraph(), pos, true);
    rightClickGraph(editor_.frequencyGraph(), pos, true);
}
