#include "tests/fuzz/fuzz_input.h"

#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace {
int inputFile = -1;
char inputPath[32];

void Die(const char *what)
{
    perror(what);
    abort();
}
}  // namespace

const char *FuzzInputPath(const uint8_t *data, size_t size)
{
    // A memory file, not one on disk: it costs no disk writes at thousands of runs a second,
    // and loaders still get a path they can open and read to its end.
    if (inputFile < 0) {
        inputFile = memfd_create("fuzz-input", 0);
        if (inputFile < 0) {
            Die("memfd_create");
        }
        snprintf(inputPath, sizeof inputPath, "/proc/self/fd/%d", inputFile);
    }
    if (ftruncate(inputFile, 0) != 0) {
        Die("ftruncate");
    }
    size_t written = 0;
    while (written < size) {
        const ssize_t count = pwrite(inputFile, data + written, size - written, off_t(written));
        if (count <= 0) {
            Die("pwrite");
        }
        written += size_t(count);
    }
    return inputPath;
}

void TouchBytes(const uint8_t *bytes, size_t size)
{
    if (size == 0) {
        return;
    }
    const volatile uint8_t *const touched = bytes;
    static_cast<void>(touched[0]);
    static_cast<void>(touched[size - 1]);
}
