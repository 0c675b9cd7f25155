#pragma once

// What the game adds to its own start-up, run as its last step: the added commands and
// variables, then basev2/autoexec.cfg when there is one (silently skipped when there is none, so
// the start-up log stays as it always was).
void StartExtensions(void (*testProbe)());
