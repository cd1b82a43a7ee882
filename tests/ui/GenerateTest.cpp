// The Generate menu through the real window: each template, Randomize and
// Mutate is one undo step through the edit path, marks the document, plays
// the new sound once, and makes exactly the core's sound for its seed.

#include "DocumentHarness.h"
#include "Gestures.h"
#include "core/SoundMutation.h"
#include "core/SoundTemplates.h"

#include <QAction>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

struct GenerateFixture : ::testing::Test {
    GenerateFixture() {
        d.h.window->nextSeed = [this] { return ++seed; };
        // A quality of the user's own, which templates keep.
        d.clickButton(d.h.editor().rateGroup(), 2);
        d.clickButton(d.h.editor().bitsGroup(), 1);
    }
    DocumentHarness d;
    uint64_t seed = 41;
    const SoundSettings& settings() { return d.h.document.settings(); }
};

TEST_F(GenerateFixture, EachTemplateIsOneStepPlayedAtOnce) {
    // Ctrl+1 ... in the templates' order; the random one is Randomize's.
    std::vector<std::string> names = sound_templates::names();
    names.erase(std::find(names.begin(), names.end(), sound_templates::kRandom));
    ASSERT_EQ(d.menu().templateActions.size(), names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const SoundSettings before = settings();
        const int steps = d.h.document.history().count();
        const int plays = d.h.player.plays();
        d.key(static_cast<Qt::Key>(Qt::Key_1 + int(i)), Qt::ControlModifier);
        const std::optional<SoundSettings> expected = sound_templates::generate(names[i], seed, before);
        ASSERT_TRUE(expected);
        EXPECT_EQ(settings(), *expected);
        EXPECT_EQ(d.h.document.history().count(), steps + 1);
        EXPECT_EQ(d.h.player.plays(), plays + 1);
        EXPECT_EQ(d.h.player.last.bytes(),
                  d.h.document.rendered().wavImage(d.h.document.settings().repeatCount).bytes());
        EXPECT_TRUE(d.h.document.modified());
        EXPECT_EQ(settings().sampleRate, 44100);
        EXPECT_EQ(settings().bitsPerSample, 16);
        QString label = QString::fromStdString(names[i]);
        label[0] = label[0].toUpper();
        EXPECT_EQ(d.menu().undoAction->text(), QStringLiteral("&Undo %1 (seed %2)\tCtrl+Z").arg(label).arg(seed));
        d.key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(settings(), before) << "undo gives the sound back";
        d.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    }
}

TEST_F(GenerateFixture, RandomizeAndMutate) {
    d.key(Qt::Key_8, Qt::ControlModifier);
    EXPECT_EQ(settings(), *sound_templates::generate(sound_templates::kRandom, seed, settings()));
    EXPECT_EQ(d.menu().undoAction->text(), QStringLiteral("&Undo Randomize (seed %1)\tCtrl+Z").arg(seed));
    for (int k = 0; k < 3; ++k) {
        const SoundSettings before = settings();
        const int plays = d.h.player.plays();
        d.key(Qt::Key_M);
        EXPECT_EQ(settings(), sound_mutation::mutate(before, seed)) << k;
        EXPECT_NE(settings(), before);
        EXPECT_EQ(d.h.player.plays(), plays + 1);
        EXPECT_EQ(d.menu().undoAction->text(), QStringLiteral("&Undo Mutate (seed %1)\tCtrl+Z").arg(seed));
    }
}

TEST_F(GenerateFixture, PlayOnChangePlaysItOnceAndAHeldDragBlocksIt) {
    d.key(Qt::Key_P);  // play on change
    int plays = d.h.player.plays();
    d.key(Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(d.h.player.plays(), plays + 1) << "once, not twice";

    const QPoint p = gestures::pointPos(d.h.editor().amplitudeGraph(), 1);
    QTest::mousePress(d.h.canvas(), Qt::LeftButton, {}, p);
    const int steps = d.h.document.history().count();
    plays = d.h.player.plays();
    d.key(Qt::Key_M);
    d.key(Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(d.h.document.history().count(), steps);
    EXPECT_EQ(d.h.player.plays(), plays);
    QTest::mouseRelease(d.h.canvas(), Qt::LeftButton, {}, p);
}

}  // namespace
