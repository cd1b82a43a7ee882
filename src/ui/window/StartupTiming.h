#pragma once

class EditorCanvas;

// Start-up time, for the first-frame measurement: with the environment
// variable ZINDLE_EXIT_AFTER_FIRST_PAINT=1 the editor prints how long it took
// from process start to its first painted frame, then quits.
namespace startup_timing {

// Milliseconds since the process was created (10 ms resolution), or -1 when
// the system does not say.
double msSinceProcessStart();

// Whether ZINDLE_EXIT_AFTER_FIRST_PAINT asks for the measurement.
bool requested();

// After the canvas's first frame: prints "first paint: N ms after process
// start" and, on a second line, "title: " with the window's caption to
// stdout, and quits the application.
void exitAfterFirstPaint(EditorCanvas& canvas);

}  // namespace startup_timing
