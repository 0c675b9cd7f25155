#include "tests/fuzz/console_fuzz.h"

#include "console/commands.h"
#include "console/console.h"
#include "console/drop_down.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace {
// The display shows this many rows above the current one.
constexpr int32_t SHOWN_ROWS = 31;
}  // namespace

void BeginFuzzRun()
{
    static bool started = false;
    if (!started) {
        started = true;
        if (mkdir("basev2", 0755) != 0 && errno != EEXIST) {
            perror("basev2");
            abort();
        }
        C_Init();
    }
    // The game keeps every executed line in its history for good, 85 bytes each; over millions
    // of runs that alone reaches the fuzzer's memory limit, so each run starts with none.
    C_InitInputLine();
}

void CheckFuzzConsole()
{
    if (strlen(C_Text()) >= C_TEXT_CAPACITY) {
        abort();
    }
    const int32_t current = C_CurrentRow();
    for (int32_t row = current - SHOWN_ROWS; row <= current; ++row) {
        char text[C_LINE_SIZE + 1];
        memset(text, 0x7f, sizeof text);
        C_GetRow(row, text);
        if (memchr(text, '\0', C_LINE_SIZE) == nullptr || text[C_LINE_SIZE] != 0x7f) {
            abort();
        }
    }
}
