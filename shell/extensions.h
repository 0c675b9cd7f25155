#pragma once

// What the game adds to its own start-up, run as its last step: the added commands and
// variables, then basev2/autoexec.cfg when there is one (silently skipped when there is none, so
// the start-up log stays as it always was), then the start map when autoexec.cfg or the command
// line named another than the one the start-up loaded.
void StartExtensions(void (*testProbe)());
