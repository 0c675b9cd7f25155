// C_Execute over arbitrary text, one line per line feed of the input.
#include "console/registry.h"
#include "tests/fuzz/console_fuzz.h"
#include "tests/fuzz/fuzz_input.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>

namespace {
// "writecfg" and "exec" take paths; one reaching out of the scratch directory could write a
// .cfg file anywhere this user may, so such lines are not run.
bool LeavesDataFolder(const std::string &line)
{
    char cut[C_LINE_SIZE];
    snprintf(cut, sizeof cut, "%s", line.c_str());  // as C_Execute cuts it
    const size_t word = strcspn(cut, " ");
    const bool takesPath = (word == 8 && strncasecmp(cut, "writecfg", 8) == 0) ||
                           (word == 4 && strncasecmp(cut, "exec", 4) == 0);
    return takesPath && strchr(cut + word, '/') != nullptr;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    BeginFuzzRun();
    const std::string text(reinterpret_cast<const char *>(data), size);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = text.substr(start, end - start);
        if (!LeavesDataFolder(line)) {
            C_Execute(line.c_str());
        }
        start = end + 1;
    }
    CheckFuzzConsole();
    return 0;
}
