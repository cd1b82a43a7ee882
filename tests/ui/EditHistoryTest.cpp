// The undo history's own bookkeeping: the count and memory bounds, the saved
// state, and the redo steps a new edit replaces.

#include "document/EditHistory.h"

#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <vector>

namespace {

// A step from an amplitude curve of `points` points (time 0..1, value .5) to
// the same curve with its first value at `value`: it holds one values array
// of its own, about 4 x `points` bytes.
std::unique_ptr<SettingsStep> valueStep(int points, float value, SoundSettings* applied) {
    SoundSettings before;
    std::vector<float> times(size_t(points), 1.0f);
    times[0] = 0.0f;
    before.amplitude.assign(times, std::vector<float>(size_t(points), 0.5f));
    SoundSettings after = before;
    after.amplitude.movePoint(0, 0.0f, value);
    return std::make_unique<SettingsStep>(QStringLiteral("Move Point"), before, after,
                                          [applied](const SoundSettings& s) { *applied = s; });
}

size_t sumOfSteps(const EditHistory& history) {
    size_t sum = 0;
    for (int i = 0; i < history.count(); ++i) sum += history.command(i)->bytes();
    return sum;
}

TEST(EditHistory, KeepsTheNewestStepsThatFitTheBounds) {
    struct Case {
        const char* what;
        int countLimit;
        size_t byteLimit;
        std::vector<int> points;  // of each step pushed, in order
    } cases[] = {
        {"by memory", 1000, 40000, {2000, 2000, 2000, 2000, 2000, 2000, 2000}},
        {"by count", 3, 1 << 30, {10, 10, 10, 10, 10}},
        {"a step over the bound alone", 1000, 40000, {2000, 20000, 2000, 2000}},
        {"mixed sizes", 1000, 40000, {100, 5000, 100, 100, 6000, 100, 3000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EditHistory history(c.countLimit, c.byteLimit);
        SoundSettings applied;
        std::vector<size_t> sizes;
        for (size_t k = 0; k < c.points.size(); ++k) {
            auto step = valueStep(c.points[k], 0.01f * float(k + 1), &applied);
            sizes.push_back(step->bytes());
            history.push(std::move(step));
            EXPECT_FLOAT_EQ(applied.amplitude.value(0), 0.01f * float(k + 1)) << "push runs the step";
            ASSERT_EQ(history.index(), history.count());
            EXPECT_EQ(history.bytes(), sumOfSteps(history));
            // The newest steps, as many as fit (never fewer than the newest).
            const size_t kept = size_t(history.count());
            EXPECT_EQ(history.bytes(), std::accumulate(sizes.end() - long(kept), sizes.end(), size_t(0)));
            EXPECT_TRUE(history.bytes() <= c.byteLimit || kept == 1);
            EXPECT_LE(history.count(), c.countLimit);
            EXPECT_TRUE(kept == sizes.size() || kept == size_t(c.countLimit) ||
                        history.bytes() + sizes[sizes.size() - kept - 1] > c.byteLimit);
        }
        // Undo and redo run the kept steps' own snapshots.
        while (history.canUndo()) history.undo();
        EXPECT_FLOAT_EQ(applied.amplitude.value(0), 0.5f);
        history.redo();
        EXPECT_FLOAT_EQ(applied.amplitude.value(0), 0.01f * float(c.points.size() - size_t(history.count()) + 1));
    }
}

TEST(EditHistory, TheSavedStateLastsAsLongAsItsSteps) {
    EditHistory history(3, 1 << 30);
    SoundSettings applied;
    int cleanSignals = 0;
    QObject::connect(&history, &EditHistory::cleanChanged, [&cleanSignals] { ++cleanSignals; });
    auto push = [&](float v) { history.push(valueStep(4, v, &applied)); };

    EXPECT_TRUE(history.isClean());
    push(0.1f);
    EXPECT_FALSE(history.isClean());
    history.setClean();  // saved after the first step
    EXPECT_EQ(cleanSignals, 2);
    push(0.2f);
    push(0.3f);
    push(0.4f);  // the first step goes; the saved state is now where the history starts
    history.undo();
    history.undo();
    history.undo();
    EXPECT_TRUE(history.isClean());
    EXPECT_EQ(history.undoText(), QString());
    EXPECT_EQ(history.redoText(), QStringLiteral("Move Point"));
    history.redo();
    push(0.5f);  // replaces the two undone steps
    EXPECT_EQ(history.count(), 2);
    EXPECT_EQ(history.bytes(), sumOfSteps(history));
    push(0.6f);
    push(0.7f);  // the saved state leaves the history with the step it started
    while (history.canUndo()) {
        history.undo();
        EXPECT_FALSE(history.isClean());
    }
    history.redo();
    history.redo();
    history.setClean();
    history.undo();
    push(0.8f);  // the saved state was undone and is now replaced
    EXPECT_EQ(history.bytes(), sumOfSteps(history));
    while (history.canUndo()) {
        history.undo();
        EXPECT_FALSE(history.isClean());
    }
    while (history.canRedo()) {
        history.redo();
        EXPECT_FALSE(history.isClean());
    }
    history.clear();
    EXPECT_TRUE(history.isClean());
    EXPECT_EQ(history.count(), 0);
    EXPECT_EQ(history.bytes(), 0u);
}

}  // namespace
