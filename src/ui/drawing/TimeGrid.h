#pragma once

// The step of the dotted time lines of the graphs and the output plot: the
// finer the more pixels a millisecond gets, from 2 ms to 1 s.
namespace time_grid {

int stepMs(float pixelsPerMs);

}  // namespace time_grid
