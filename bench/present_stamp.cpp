// Preloaded into the game and the reference alike (LD_PRELOAD) to time their start-up the same
// way: on the first buffer swap, writes the monotonic clock in nanoseconds to the file named by
// VORN_BENCH_STAMP. Neither program knows it is there.

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>

namespace {
using SwapFunction = void (*)(void *window);
bool stamped = false;

void Stamp()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const char *const path = getenv("VORN_BENCH_STAMP");
    FILE *const file = path != nullptr ? fopen(path, "w") : nullptr;
    if (file == nullptr) {
        return;
    }
    fprintf(file, "%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    fclose(file);
}
}  // namespace

extern "C" void SDL_GL_SwapWindow(void *window)
{
    static const SwapFunction swap =
        reinterpret_cast<SwapFunction>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    swap(window);
    // Taken once the frame is handed over, which is when it counts as presented.
    if (!stamped) {
        stamped = true;
        Stamp();
    }
}
