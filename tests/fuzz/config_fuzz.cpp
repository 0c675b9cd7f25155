// C_ExecFile over arbitrary configuration files. The file basev2/fuzz.cfg of the working
// directory is a link to the input, so lines such as "exec fuzz" reach the same file.
#include "console/config.h"
#include "tests/fuzz/console_fuzz.h"
#include "tests/fuzz/fuzz_input.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {
constexpr char LINK_PATH[] = "basev2/fuzz.cfg";
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool linked = false;
    BeginFuzzRun();
    const char *const path = FuzzInputPath(data, size);
    if (!linked) {
        unlink(LINK_PATH);
        if (symlink(path, LINK_PATH) != 0) {
            perror(LINK_PATH);
            abort();
        }
        linked = true;
    }
    C_ExecFile("fuzz");
    CheckFuzzConsole();
    return 0;
}
