#include "ui/editor/InputDispatch.h"

#include "core/SoundSettings.h"
#include "document/SoundDocument.h"
#include "ui/editor/Editor.h"
#include "ui/editor/PointAdjuster.h"
#include "ui/editor/SliderValueAsker.h"

#include <cstdlib>

namespace {

// The hint stages raised by the gestures they teach.
constexpr int kHintPlayed = 1;
constexpr int kHintPointDragged = 2;
constexpr int kHintRightClicked = 3;
constexpr int kHintDoubleClicked = 4;

// The setting each slider holds and the name of its undo step, in the
// editor's slider order.
const struct {
    float SoundSettings::*field;
    const char* step;
} kSliders[] = {{&SoundSettings::length, "Length"},
                {&SoundSettings::distort, "Distort"},
                {&SoundSettings::echoVolume, "Echo Volume"},
                {&SoundSettings::echoDelay, "Echo Delay"}};

// The document's settings with `curve` in place of the one `graph` shows.
SoundSettings withCurve(Editor& editor, const EnvelopeGraph& graph, const Envelope& curve) {
    SoundSettings next = editor.document().settings();
    (&graph == &editor.amplitudeGraph() ? next.amplitude : next.frequency) = curve;
    return next;
}

}  // namespace

InputDispatch::InputDispatch(Editor& editor) : editor_(editor) {}

InputDispatch::Cursor InputDispatch::mouseMove(QPoint pos) {
    const int x = pos.x();
    const int y = pos.y();
    for (int j = 0; j < 4; ++j) {
        Slider& slider = editor_.slider(j);
        if (slider.isDragging()) {
            // The value line follows live; the sound waits for the release.
            slider.move(y);
            editor_.requestPreview();
            editor_.drawSlider(slider);
            editor_.updateWindow();
            return Cursor::Hand;
        }
    }
    for (EnvelopeGraph* graph : {&editor_.amplitudeGraph(), &editor_.frequencyGraph()}) {
        if (graph->move(x, y)) {
            editor_.requestPreview();
            editor_.updateGraph(*graph);
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
    for (OptionGroup* group :
         {&editor_.waveformGroup(), &editor_.rateGroup(), &editor_.bitsGroup(), &editor_.repeatsGroup()})
        if (group->hit(x, y) >= 0) return Cursor::Hand;
    for (int j = 0; j < 4; ++j)
        if (editor_.slider(j).hitKnob(x, y)) return Cursor::Hand;
    if (editor_.outputView().contains(x, y)) return Cursor::Play;
    return Cursor::Arrow;
}

bool InputDispatch::leftDown(QPoint pos) {
    const int x = pos.x();
    const int y = pos.y();
    SoundDocument& document = editor_.document();

    if (editor_.outputView().contains(x, y)) {
        editor_.play();
        editor_.hintStage(kHintPlayed);
        editor_.redrawAll();
        return false;
    }
    for (EnvelopeGraph* graph : {&editor_.amplitudeGraph(), &editor_.frequencyGraph()}) {
        if (graph->press(x, y)) {
            editor_.updateGraph(*graph);
            editor_.updateWindow();
            return true;
        }
    }

    // A click on the button already in force still renders, as every
    // gesture does, but adds no undo step.
    struct Group {
        OptionGroup& group;
        int32_t SoundSettings::*field;
        const char* step;
        SoundDocument::Render render;
    };
    const Group groups[] = {
        {editor_.waveformGroup(), &SoundSettings::waveform, "Waveform", SoundDocument::Render::Always},
        {editor_.rateGroup(), &SoundSettings::sampleRate, "Sample Rate", SoundDocument::Render::Always},
        {editor_.bitsGroup(), &SoundSettings::bitsPerSample, "Sample Width", SoundDocument::Render::Always},
        // Only playing uses the count: nothing to render.
        {editor_.repeatsGroup(), &SoundSettings::repeatCount, "Repeats", SoundDocument::Render::WhenSoundChanges},
    };
    for (const Group& g : groups) {
        if (const int i = g.group.hit(x, y); i >= 0) {
            SoundSettings next = document.settings();
            next.*g.field = g.group.select(i);
            editor_.drawButtons(g.group);  // at once: the render comes after
            document.commit(next, QString::fromLatin1(g.step), g.render);
            return false;
        }
    }
    for (int j = 0; j < 4; ++j) {
        if (editor_.slider(j).press(x, y)) {
            editor_.drawSlider(editor_.slider(j));
            editor_.updateWindow();
            return true;
        }
    }
    return false;
}

void InputDispatch::releaseGraph(EnvelopeGraph& graph, int y, bool raisesHint) {
    const EnvelopeGraph::Release r = graph.release(y);
    if (!r.wasDragging || !r.curve) return;
    editor_.updateGraph(graph);
    // The whole drag is one step.
    editor_.commitDrag(withCurve(editor_, graph, *r.curve),
                       QString::fromLatin1(r.wasPoint ? "Move Point" : "Move Curve"));
    if (raisesHint && r.wasPoint) {
        editor_.hintStage(kHintPointDragged);
        editor_.redrawAll();
    }
}

void InputDispatch::leftUp(QPoint pos) {
    releaseGraph(editor_.amplitudeGraph(), pos.y(), true);
    releaseGraph(editor_.frequencyGraph(), pos.y(), false);

    // A released knob replaces what plays, as a released point does.
    for (int j = 0; j < 4; ++j) {
        const std::optional<float> position = editor_.slider(j).release();
        if (!position) continue;
        SoundSettings next = editor_.document().settings();
        next.*kSliders[j].field = *position;
        editor_.commitDrag(next, QString::fromLatin1(kSliders[j].step));
    }
}

void InputDispatch::commitSlider(int slider, float position) {
    SoundSettings next = editor_.document().settings();
    next.*kSliders[slider].field = position;
    editor_.document().commit(next, QString::fromLatin1(kSliders[slider].step));
}

void InputDispatch::wheel(QPoint pos, int notches) {
    if (editor_.isDragging()) return;
    for (int j = 0; j < 4; ++j) {
        if (!editor_.slider(j).rect().contains(pos)) continue;
        // One step per notch; at an end of the track a notch changes nothing
        // and adds no step.
        for (int n = 0; n < std::abs(notches); ++n) {
            const float now = editor_.document().settings().*kSliders[j].field;
            const float next = slider_value::stepped(now, notches > 0 ? 1 : -1);
            if (next == now) break;
            commitSlider(j, next);
        }
        return;
    }
}

void InputDispatch::askSliderValue(QPoint pos) {
    for (int j = 0; j < 4; ++j) {
        if (!editor_.slider(j).hitCaption(pos.x(), pos.y()) || !asker_) continue;
        const SoundSettings now = editor_.document().settings();
        const slider_value::Field field = slider_value::field(j, now);
        const std::optional<int> value = asker_->ask(field);
        // A value outside the range (the dialog refuses one) changes nothing.
        if (const std::optional<float> position = value ? slider_value::position(field, now, *value) : std::nullopt)
            commitSlider(j, *position);
        return;
    }
}

void InputDispatch::adjustAfterDoubleClick(EnvelopeGraph& graph, QPoint pos) {
    const int index = graph.findPointNear(pos.x(), pos.y());
    if (index < 0 || !adjuster_) return;
    if (const std::optional<Envelope> curve = adjuster_->adjust(graph.envelope(), index))
        editor_.document().commit(withCurve(editor_, graph, *curve), QStringLiteral("Adjust Point"));
}

void InputDispatch::leftDoubleClick(QPoint pos) {
    // The first click of the pair already held and released whatever is here.
    askSliderValue(pos);
    adjustAfterDoubleClick(editor_.frequencyGraph(), pos);
    adjustAfterDoubleClick(editor_.amplitudeGraph(), pos);
    editor_.hintStage(kHintDoubleClicked);
    editor_.redrawAll();
}

bool InputDispatch::rightClickGraph(EnvelopeGraph& graph, QPoint pos, bool insert) {
    const EnvelopeGraph::RightClick r =
        insert ? graph.rightClickInsert(pos.x(), pos.y()) : graph.rightClickDelete(pos.x(), pos.y());
    if (!r.hit || !r.curve) return false;
    // A click on an end point removes nothing: it renders, but adds no step.
    editor_.document().commit(withCurve(editor_, graph, *r.curve),
                              QString::fromLatin1(insert ? "Insert Point" : "Delete Point"));
    editor_.hintStage(kHintRightClicked);
    editor_.redrawAll();
    return true;
}

void InputDispatch::rightDown(QPoint pos) {
    // While a point, curve or knob is held, deleting or inserting points would
    // re-index the held point under the drag: ignore the click.
    if (editor_.isDragging()) return;
    if (rightClickGraph(editor_.amplitudeGraph(), pos, false)) return;
    if (rightClickGraph(editor_.frequencyGraph(), pos, false)) return;
    rightClickGraph(editor_.amplitudeGraph(), pos, true);
    rightClickGraph(editor_.frequencyGraph(), pos, true);
}
