#include "core/SoundModel.h"
#include "core/SoundTemplates.h"
#include "document/SoundDocument.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <functional>
#include <string>
#include <vector>

namespace {

using Render = SoundDocument::Render;

// What the document told its listeners, in order.
struct Heard {
    explicit Heard(SoundDocument& d) {
        QObject::connect(&d, &SoundDocument::soundChanged, [this](const SoundSettings& before, bool rendered) {
            events.push_back(rendered ? "changed, rendered" : "changed");
            befores.push_back(before);
        });
        QObject::connect(&d, &SoundDocument::soundLoaded, [this] { events.push_back("loaded"); });
        QObject::connect(&d, &SoundDocument::previewed, [this] { events.push_back("previewed"); });
        QObject::connect(&d, &SoundDocument::fileStateChanged, [this] { events.push_back("file"); });
    }
    std::vector<std::string> take() { return std::exchange(events, {}); }
    std::vector<std::string> events;
    std::vector<SoundSettings> befores;
};

// The samples `settings` render to from scratch.
std::vector<uint8_t> renderedFresh(const SoundSettings& settings) {
    SoundModel m;
    m.settings = settings;
    m.applyAll();
    return m.rendered.samples();
}

SoundSettings newSound() {
    SoundSettings s;
    s.resetToNew();
    return s;
}

TEST(SoundDocument, StartsAsANewSoundRenderedWithNoFileAndNoHistory) {
    SoundDocument d;
    EXPECT_EQ(d.settings(), newSound());
    EXPECT_EQ(d.rendered().samples(), renderedFresh(newSound()));
    EXPECT_FALSE(d.modified());
    EXPECT_FALSE(d.hasFile());
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Zindle"));
    EXPECT_EQ(d.history().count(), 0);
    EXPECT_EQ(d.renderCount(), 1);
}

// Each kind of edit: one step of its name, rendered once (the repeat count
// not at all), the sound exactly a fresh render of the new settings.
TEST(SoundDocument, EachCommitIsOneStepRenderedOnce) {
    const struct Case {
        const char* step;
        std::function<void(SoundSettings&)> edit;
        Render render;
        int renders;
    } cases[] = {
        {"Waveform", [](SoundSettings& s) { s.waveform = 200; }, Render::Always, 1},
        {"Sample Rate", [](SoundSettings& s) { s.sampleRate = 44100; }, Render::Always, 1},
        {"Sample Width", [](SoundSettings& s) { s.bitsPerSample = 16; }, Render::Always, 1},
        {"Repeats", [](SoundSettings& s) { s.repeatCount = 4; }, Render::WhenSoundChanges, 0},
        {"Length", [](SoundSettings& s) { s.length = 0.7f; }, Render::Always, 1},
        {"Echo Delay", [](SoundSettings& s) { s.echoDelay = 0.5f; }, Render::Always, 1},
        {"Move Point", [](SoundSettings& s) { s.amplitude.movePoint(2, 0.5f, 0.25f); }, Render::Always, 1},
        {"Insert Point", [](SoundSettings& s) { s.frequency.insertPoint(0.3f, 0.9f); }, Render::Always, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        SoundDocument d;
        Heard heard(d);
        const SoundSettings before = d.settings();
        SoundSettings next = before;
        c.edit(next);
        const int renders = d.renderCount();
        d.commit(next, QString::fromLatin1(c.step), c.render);
        EXPECT_EQ(d.settings(), next);
        EXPECT_EQ(d.renderCount(), renders + c.renders);
        EXPECT_EQ(d.rendered().samples(), renderedFresh(next));
        ASSERT_EQ(d.history().count(), 1);
        EXPECT_EQ(d.history().undoText(), QString::fromLatin1(c.step));
        EXPECT_TRUE(d.modified());
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Zindle *"));
        EXPECT_EQ(heard.take(), (std::vector<std::string>{c.renders ? "changed, rendered" : "changed", "file"}));
        ASSERT_EQ(heard.befores.size(), 1u);
        EXPECT_EQ(heard.befores[0], before);
    }
}

TEST(SoundDocument, ACommitThatChangesNothingRendersButAddsNoStep) {
    SoundDocument d;
    Heard heard(d);
    const int renders = d.renderCount();
    d.commit(d.settings(), QStringLiteral("Move Point"));  // a point held and let go
    EXPECT_EQ(d.renderCount(), renders + 1);
    d.commit(d.settings(), QStringLiteral("Repeats"), Render::WhenSoundChanges);  // the button in force
    EXPECT_EQ(d.renderCount(), renders + 1);
    EXPECT_EQ(d.history().count(), 0);
    EXPECT_FALSE(d.modified());
    EXPECT_EQ(heard.take(), (std::vector<std::string>{"changed, rendered", "changed"}));
}

TEST(SoundDocument, UndoAndRedoGiveBackEachSoundExactlyAndModifiedFollowsTheSavedState) {
    SoundDocument d;
    std::vector<SoundSettings> sounds{d.settings()};
    for (int i = 1; i <= 3; ++i) {
        SoundSettings next = sounds.back();
        next.distort = 0.1f * float(i);
        next.amplitude.movePoint(1, next.amplitude.time(1), 0.2f * float(i));
        d.commit(next, QStringLiteral("Edit"));
        sounds.push_back(next);
    }
    d.markSaved(QStringLiteral("/tmp/saved.zdl"));  // at the third sound
    EXPECT_FALSE(d.modified());
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Zindle - saved.zdl"));
    for (int j = 2; j >= 0; --j) {
        d.undo();
        EXPECT_EQ(d.settings(), sounds[size_t(j)]) << j;
        EXPECT_EQ(d.rendered().samples(), renderedFresh(sounds[size_t(j)])) << j;
        EXPECT_TRUE(d.modified()) << "away from the saved sound";
    }
    d.undo();  // nothing left: no change
    EXPECT_EQ(d.settings(), sounds[0]);
    for (int j = 1; j <= 3; ++j) {
        d.redo();
        EXPECT_EQ(d.settings(), sounds[size_t(j)]) << j;
        EXPECT_EQ(d.modified(), j != 3) << j;
    }
    // A new edit after an undo past the save: the saved sound is gone for good.
    d.undo();
    SoundSettings other = d.settings();
    other.waveform = 405;
    d.commit(other, QStringLiteral("Waveform"));
    EXPECT_FALSE(d.history().canRedo());
    EXPECT_TRUE(d.modified());
    d.undo();
    EXPECT_TRUE(d.modified());
}

TEST(SoundDocument, APreviewRendersTheMainPartOnlyAndTheCommitTheWholeSound) {
    SoundDocument d;
    SoundSettings echo = d.settings();
    echo.echoVolume = 0.6f;
    echo.echoDelay = 0.3f;
    d.commit(echo, QStringLiteral("Echo Volume"));
    Heard heard(d);
    SoundSettings next = echo;
    next.amplitude.movePoint(2, 0.45f, 0.3f);
    const int renders = d.renderCount();
    d.preview(next);
    d.preview(next);  // the same again: nothing to render
    EXPECT_EQ(d.renderCount(), renders + 1);
    EXPECT_EQ(d.settings(), echo) << "a preview commits nothing";
    EXPECT_EQ(d.history().count(), 1);
    const std::vector<uint8_t> full = renderedFresh(next);
    const size_t main = size_t(d.rendered().lengthSamples());
    ASSERT_LT(main, full.size());
    const std::vector<uint8_t>& shown = d.rendered().samples();
    EXPECT_TRUE(std::equal(full.begin(), full.begin() + long(main), shown.begin())) << "the main part is the sound's";
    EXPECT_FALSE(std::equal(full.begin() + long(main), full.end(), shown.begin() + long(main)))
        << "the tail waits for the commit";
    EXPECT_EQ(heard.take(), (std::vector<std::string>{"previewed"}));

    d.commit(next, QStringLiteral("Move Point"));
    EXPECT_EQ(d.rendered().samples(), full);
    EXPECT_EQ(d.renderCount(), renders + 2);
    EXPECT_EQ(d.history().count(), 2);

    // Play during a previewed drag: the whole sound as it stands, uncounted.
    SoundSettings later = next;
    later.frequency.movePoint(1, 0.2f, 0.8f);
    d.preview(later);
    d.completePreview();
    EXPECT_EQ(d.rendered().samples(), renderedFresh(later));
    EXPECT_EQ(d.settings(), next);
}

// Runs the event loop until `done` or `ms` have passed.
template <typename Done>
bool waitFor(Done done, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done() && std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
}

// In the background only the newest preview is shown, with the same bytes
// as one rendered at once; a render an edit overtook never shows, and the
// edit's render is the single-threaded one.
// A document with an echo that previews in the background, as the window's;
// the event loop of `app` brings the previews back.
struct BackgroundDocument {
    BackgroundDocument() {
        base = d.settings();
        base.echoVolume = 0.5f;
        base.echoDelay = 0.5f;
        base.length = 0.6f;
        d.commit(base, QStringLiteral("Echo"));
        d.renderPreviewsInBackground(true);
    }
    int argc = 1;
    char name[15] = "document_tests";
    char* argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};
    SoundDocument d;
    SoundSettings base;
};

TEST(SoundDocument, BackgroundPreviewsShowOnlyTheNewestAndNeverOutliveAnEdit) {
    BackgroundDocument background;
    SoundDocument& d = background.d;
    const SoundSettings& base = background.base;
    Heard heard(d);

    const struct {
        const char* name;
        float length;  // another length resizes the buffer
    } cases[] = {{"same sizes", 0.6f}, {"a new length", 0.7f}};
    int dropped = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<SoundSettings> asked;
        for (int k = 1; k <= 3; ++k) {
            SoundSettings next = base;
            next.length = c.length;
            next.amplitude.movePoint(2, 0.45f, 0.1f * float(k));
            asked.push_back(next);
            d.preview(next);  // back to back: the first two are overtaken
        }
        EXPECT_TRUE(d.previewPending());
        ASSERT_TRUE(waitFor([&] { return !d.previewPending(); }, 5000));
        waitFor([] { return false; }, 50);  // a late one would show here
        EXPECT_EQ(heard.take(), (std::vector<std::string>{"previewed"}));
        dropped += 2;
        EXPECT_EQ(d.droppedPreviews(), dropped);
        SoundModel fresh;
        fresh.settings = asked.back();
        fresh.prepareAll();
        fresh.renderMainPart();
        EXPECT_EQ(d.rendered().mainPart(), fresh.rendered.mainPart()) << "the bytes of a render at once";
        // The tail follows, for what plays: then the sound is the one
        // rendered whole at once.
        ASSERT_TRUE(waitFor([&] { return d.rendered().samples() == renderedFresh(asked.back()); }, 5000))
            << "the tail of the newest preview";
        EXPECT_EQ(heard.take(), std::vector<std::string>{}) << "the plot is not told twice";
        EXPECT_EQ(d.settings(), base);
    }

    // An edit overtakes the preview asked for last: its render never shows.
    SoundSettings late = base;
    late.frequency.movePoint(1, 0.3f, 0.9f);
    d.preview(late);
    SoundSettings edit = base;
    edit.distort = 0.4f;
    d.commit(edit, QStringLiteral("Distort"));
    EXPECT_FALSE(d.previewPending());
    waitFor([] { return false; }, 300);
    EXPECT_EQ(heard.take(), (std::vector<std::string>{"changed, rendered"}));
    EXPECT_EQ(d.droppedPreviews(), dropped + 1);
    EXPECT_EQ(d.rendered().samples(), renderedFresh(edit));

    // Play during a drag: the preview asked for, whole and at once.
    d.preview(late);
    d.completePreview();
    EXPECT_FALSE(d.previewPending());
    EXPECT_EQ(d.rendered().samples(), renderedFresh(late));
    waitFor([] { return false; }, 100);
    EXPECT_EQ(heard.take(), std::vector<std::string>{});
}

// Nothing plays: a background preview renders the main part only, and the
// commit still gives the whole sound.
TEST(SoundDocument, PreviewTailsAreRenderedOnlyWhenAskedFor) {
    BackgroundDocument background;
    SoundDocument& d = background.d;
    SoundSettings base = background.base;
    d.setPreviewTails(false);
    int tailed = 0;
    QObject::connect(&d, &SoundDocument::previewTailed, [&tailed] { ++tailed; });
    for (const float length : {0.6f, 0.7f}) {  // the same sizes, then new ones
        SCOPED_TRACE(length);
        SoundSettings next = base;
        next.length = length;
        next.amplitude.movePoint(2, 0.45f, 0.3f);
        d.preview(next);
        ASSERT_TRUE(waitFor([&] { return !d.previewPending(); }, 5000));
        waitFor([] { return false; }, 100);  // a tail would come here
        EXPECT_EQ(tailed, 0);
        const std::vector<uint8_t> fresh = renderedFresh(next);
        const size_t mainBytes = size_t(d.shown().lengthSamples()) * size_t(d.shown().bits() / 8);
        const std::vector<uint8_t>& shown = d.shown().samples();
        ASSERT_EQ(shown.size(), fresh.size());
        EXPECT_TRUE(std::equal(shown.begin(), shown.begin() + long(mainBytes), fresh.begin()));
        EXPECT_FALSE(std::equal(shown.begin() + long(mainBytes), shown.end(), fresh.begin() + long(mainBytes)))
            << "the tail was rendered";
        EXPECT_EQ(d.rendered().samples(), fresh) << "what reads the sound gets its tail then";
        d.commit(next, QStringLiteral("Drag"));
        EXPECT_EQ(d.rendered().samples(), fresh);
        base = next;
    }
}

// A commit's echo tail is rendered when the sound is first read: whatever
// reads it right after the commit, undo or redo gets every byte of the one
// render, the tail too, and the main part is final at once.
TEST(SoundDocument, TheTailOfACommitIsWholeForWhateverReadsIt) {
    SoundDocument d;
    SoundSettings longest = d.settings();
    longest.length = 1.0f;  // 10 s
    longest.echoDelay = 1.0f;
    longest.echoVolume = 0.5f;
    longest.sampleRate = 44100;
    longest.bitsPerSample = 16;
    SoundSettings louder = longest;
    louder.amplitude.movePoint(2, 0.4f, 1.0f);
    const struct {
        const char* name;
        std::function<void()> edit;
        const SoundSettings& expected;
    } cases[] = {
        {"commit", [&] { d.commit(longest, QStringLiteral("Long")); }, longest},
        {"another", [&] { d.commit(louder, QStringLiteral("Louder")); }, louder},
        {"undo", [&] { d.undo(); }, longest},
        {"redo", [&] { d.redo(); }, louder},
    };
    for (const auto& c : cases) {
        c.edit();
        const size_t mainBytes = size_t(d.shown().lengthSamples()) * 2;
        const std::vector<uint8_t> shownMain(d.shown().samples().begin(),
                                             d.shown().samples().begin() + long(mainBytes));
        const std::vector<uint8_t> read = d.rendered().samples();  // at once, before anything else takes time
        const std::vector<uint8_t> fresh = renderedFresh(c.expected);
        EXPECT_TRUE(std::equal(shownMain.begin(), shownMain.end(), fresh.begin())) << c.name;
        EXPECT_TRUE(read == fresh) << c.name;
    }
}

TEST(SoundDocument, LoadReplacesEverythingAndStartsAfresh) {
    SoundDocument d;
    SoundSettings edited = d.settings();
    edited.waveform = 300;
    d.commit(edited, QStringLiteral("Waveform"));
    Heard heard(d);
    std::optional<SoundSettings> loaded = sound_templates::generate("explosion", 7, d.settings());
    ASSERT_TRUE(loaded);
    d.load(*loaded, QStringLiteral("/sounds/boom.zdl"));
    EXPECT_EQ(d.settings(), *loaded);
    EXPECT_EQ(d.rendered().samples(), renderedFresh(*loaded));
    EXPECT_EQ(d.history().count(), 0);
    EXPECT_FALSE(d.modified());
    EXPECT_EQ(d.path(), QStringLiteral("/sounds/boom.zdl"));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Zindle - boom.zdl"));
    EXPECT_EQ(heard.take(), (std::vector<std::string>{"loaded", "file"}));
    d.load(newSound());
    EXPECT_FALSE(d.hasFile()) << "New has no file";
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Zindle"));
}

TEST(SoundDocument, GeneratedSoundsAreOneStepEach) {
    SoundDocument d;
    const SoundSettings start = d.settings();
    ASSERT_TRUE(d.generate("laser", 11));
    EXPECT_EQ(d.settings(), *sound_templates::generate("laser", 11, start));
    EXPECT_EQ(d.history().undoText(), QStringLiteral("Laser (seed 11)"));
    const SoundSettings laser = d.settings();
    ASSERT_TRUE(d.randomize(12));
    EXPECT_EQ(d.settings(), *sound_templates::generate(sound_templates::kRandom, 12, laser));
    EXPECT_EQ(d.history().undoText(), QStringLiteral("Randomize (seed 12)"));
    ASSERT_TRUE(d.mutate(13));
    EXPECT_EQ(d.history().undoText(), QStringLiteral("Mutate (seed 13)"));
    EXPECT_EQ(d.history().count(), 3);
    EXPECT_FALSE(d.generate("no such template", 14));
    EXPECT_EQ(d.history().count(), 3);
    EXPECT_TRUE(d.modified());
}

}  // namespace
