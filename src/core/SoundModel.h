#pragma once

#include "RenderedSound.h"
#include "SoundSettings.h"
#include "WaveformTable.h"

// The settings of the one open sound together with what is derived from them:
// the waveform table and the rendered samples. Editors change `settings`, then
// call the step that brings the derived parts in line.
class SoundModel {
public:
    explicit SoundModel(SoundPlayer* player = nullptr);

    SoundSettings settings;
    WaveformTable table;
    RenderedSound rendered;

    // Defaults of a new sound (keeping the width), table, durations, render.
    void newSound();
    // Everything from the settings: table, durations, width, rate, render.
    // Used after a file was read and by the command-line renderer.
    void applyAll();

    // The single steps of the edit cycle; each renders afterwards.
    void waveformChanged();  // rebuild the table for settings.waveform
    void lengthChanged();    // length, echo delay or echo volume moved
    void rateChanged();
    void bitsChanged();
    void render();

    bool play() { return rendered.play(settings.repeatCount); }
};
