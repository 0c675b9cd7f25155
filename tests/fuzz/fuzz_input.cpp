#include "tests/fuzz/fuzz_input.h"

#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

// A memory file, not one on disk: it costs no disk writes at thousands of runs a second, and
// loaders still get a path they can open and read to its end.
const char *FuzzInputPath(const uint8_t *data, size_t size)
{
    static int inputFile = -1;
    static char inputPath[32];
    if (inputFile < 0) {
        inputFile = memfd_create("fuzz-input", 0);
        snprintf(inputPath, sizeof inputPath, "/proc/self/fd/%d", inputFile);
    }
    if (inputFile < 0 || ftruncate(inputFile, 0) != 0 ||
        (size > 0 && pwrite(inputFile, data, size, 0) != ssize_t(size))) {
        perror("fuzz input");
        abort();
    }
    return inputPath;
}

void TouchBytes(const uint8_t *bytes, size_t size)
{
    if (size > 0) {
        const volatile uint8_t *const touched = bytes;
        static_cast<void>(touched[0]);
        static_cast<void>(touched[size - 1]);
    }
}
