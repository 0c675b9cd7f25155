#pragma once

#include <cstdio>

// Present-to-present frame times and the heap allocations made on the game's thread between
// presents, kept in a fixed table so that keeping them allocates nothing. Times are seconds on
// any steady clock.

// Starts the log at a present.
void FrameLogStart(double now);

// One more frame, presented at `now`.
void FrameLogPresent(double now);

// Frames presented since the start, and the seconds they took.
long FrameLogFrames();
double FrameLogSeconds();

// "frames", "seconds", "fps", one "alloc LIBRARY COUNT" line per library, then "samples" and one
// line per frame: milliseconds, then allocations in all, by the program, by the C++ runtime and
// by the driver's shader compiler.
void FrameLogWrite(FILE *out);
