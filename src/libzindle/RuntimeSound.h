#pragma once

#include "core/SoundSettings.h"

// What a zindle_sound handle points at: validated settings, never changed
// after the read that made them, so that several threads may render one.
struct zindle_sound {
    SoundSettings settings;
};
