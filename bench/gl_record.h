#pragma once

// Records the game's OpenGL calls for the reference program to replay: every call of the
// start-up up to the first frame's clear, then the frames asked for, one line per call.

// Records the next frame, from its clear to its present, under `name`.
void GlRecordNextFrame(const char *name);

// Call after each present. True when it closed a frame being recorded.
bool GlRecordFramePresented();

// Writes everything recorded so far; false when the file cannot be written.
bool GlRecordWrite(const char *path);
