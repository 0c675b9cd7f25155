#pragma once

#include <cstdint>
#include <cstdio>

// Heap allocations (malloc, calloc, realloc, aligned and C++ allocations) made on one thread, the
// game's, counted by replacing the allocator's entry points and told apart by the library whose
// code asked. Other threads (audio, the OpenGL driver's) are not counted.

// Counts from now on the allocations of the calling thread.
void AllocCountThisThread();

// Learns where each loaded library's code lies and starts the per-library counts from zero. Call
// once everything is loaded: the OpenGL driver comes with the context.
void AllocCountMapLibraries();

struct AllocCounts {
    uint64_t all;       // everything the thread allocated, driver and libraries included
    uint64_t program;   // asked for by the program's own code (the game's libraries)
    uint64_t runtime;   // by the C++ runtime, for the program or for the driver's compiler
    uint64_t compiler;  // by the driver's shader compiler (LLVM)
};

AllocCounts AllocCountsSoFar();

// One line per library that allocated since AllocCountMapLibraries: "alloc NAME COUNT".
void AllocCountWriteByLibrary(FILE *out);
