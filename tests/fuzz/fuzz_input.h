#pragma once

#include <cstddef>
#include <cstdint>

// The entry point every fuzz target defines; libFuzzer calls it, and so does the replay program.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

// Puts the input in an in-memory file and returns a path that opens it afresh from its first
// byte. The path stays valid, with these contents, until the next call. Aborts when no such
// file can be made, since every run would then test nothing.
const char *FuzzInputPath(const uint8_t *data, size_t size);

// Reads the first and the last of `size` bytes, so that a buffer shorter than its owner claims
// is reported by AddressSanitizer. Nothing is read when `size` is 0.
void TouchBytes(const uint8_t *bytes, size_t size);
