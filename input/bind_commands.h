#pragma once

// Registers the console commands bind, unbind, unbindall and bindlist, and the configuration
// writer that saves the bindings that differ from the start-up ones. Call after the default
// bindings are made, once per console.
void AddBindCommands();
