#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>

// Where every view and control of the main window lies, as formulas of the
// client size. Rectangles are in client coordinates; a client area too small
// for the layout yields empty rectangles, which the views skip.
struct WindowLayout {
    struct Title {
        QString text;
        QPoint topLeft;  // the text is anchored at its left top corner
    };

    static constexpr int kWaveformButtons = 18;
    static constexpr int kSliders = 4;  // Length, Distort, Echo Volume, Echo Delay
    static constexpr int kRepeatsButtons = 10;
    static constexpr int kRateButtons = 3;
    static constexpr int kBitsButtons = 2;

    QSize client;
    int graphHeight = 0;  // g: each of the three graphs on the left
    QRect amplitude;
    QRect frequency;
    QRect output;
    QRect waveform;
    std::array<QRect, kWaveformButtons> waveformButtons;
    std::array<QRect, kSliders> sliders;
    std::array<QRect, kRepeatsButtons> repeatsButtons;
    std::array<QRect, kRateButtons> rateButtons;
    std::array<QRect, kBitsButtons> bitsButtons;
    std::array<Title, 6> titles;

    static WindowLayout compute(QSize client);

    // A rectangle from exclusive edges; an inverted one comes out empty.
    static QRect fromEdges(int left, int top, int right, int bottom);
};
