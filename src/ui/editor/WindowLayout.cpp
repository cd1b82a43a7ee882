#include "ui/editor/WindowLayout.h"

#include <algorithm>

QRect WindowLayout::fromEdges(int left, int top, int right, int bottom) {
    // Clamp to zero size so that a tiny window never produces a negative
    // width that some drawing code might turn into a huge allocation.
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

WindowLayout WindowLayout::compute(QSize client) {
    WindowLayout l;
    const int w = client.width();
    const int h = client.height();
    const int g = (h - 68) / 3;  // C++ division truncates toward zero, as the formula wants
    l.client = client;
    l.graphHeight = g;

    l.amplitude = fromEdges(8, 20, w - 256, g + 20);
    l.frequency = fromEdges(8, g + 40, w - 256, 2 * g + 40);
    l.output = fromEdges(8, 2 * g + 60, w - 256, 3 * g + 60);
    l.waveform = fromEdges(w - 248, 20, w - 8, 180);

    const int column = w - 247;  // left edge of the first button column
    for (int i = 0; i < kWaveformButtons; ++i) {
        const int left = column + 80 * (i % 3);
        const int top = 182 + 26 * (i / 3);
        l.waveformButtons[static_cast<size_t>(i)] = fromEdges(left, top, left + 78, top + 24);
    }
    for (int j = 0; j < kSliders; ++j) {
        const int left = w - 248 + 60 * j;
        l.sliders[static_cast<size_t>(j)] = fromEdges(left, 344, left + 58, h - 133);
    }
    for (int i = 0; i < kRepeatsButtons; ++i) {
        const int left = column + 24 * i;
        l.repeatsButtons[static_cast<size_t>(i)] = fromEdges(left, h - 110, left + 22, h - 86);
    }
    for (int i = 0; i < kRateButtons; ++i) {
        const int left = column + 80 * i;
        l.rateButtons[static_cast<size_t>(i)] = fromEdges(left, h - 60, left + 78, h - 36);
    }
    for (int i = 0; i < kBitsButtons; ++i) {
        const int left = column + 80 * i;
        l.bitsButtons[static_cast<size_t>(i)] = fromEdges(left, h - 32, left + 78, h - 8);
    }

    l.titles = {{
        {QStringLiteral("Amplitude"), QPoint(8, l.amplitude.top() - 17)},
        {QStringLiteral("Frequency"), QPoint(8, l.frequency.top() - 17)},
        {QStringLiteral("Output"), QPoint(8, l.output.top() - 17)},
        {QStringLiteral("Waveform"), QPoint(l.waveform.left(), l.waveform.top() - 17)},
        {QStringLiteral("Repeats"), QPoint(w - 248, h - 128)},
        {QStringLiteral("Quality"), QPoint(w - 248, h - 78)},
    }};
    return l;
}
