// C_Execute over arbitrary text, one line per line feed of the input.
#include "console/registry.h"
#include "tests/fuzz/console_fuzz.h"
#include "tests/fuzz/fuzz_input.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {
// "writecfg" and "exec" take paths; one reaching out of the scratch directory could write a
// .cfg file anywhere this user may, so such lines are not run.
bool LeavesDataFolder(const std::string &line)
{
    char lowered[C_LINE_SIZE];
    snprintf(lowered, sizeof lowered, "%s", line.c_str());  // as C_Execute cuts it
    for (char *at = lowered; *at != '\0'; ++at) {
        if (*at >= 'A' && *at <= 'Z') {
            *at = char(*at - 'A' + 'a');
        }
    }
    const size_t wordLength = strcspn(lowered, " \n");
    const bool takesPath = (wordLength == 8 && strncmp(lowered, "writecfg", 8) == 0) ||
                           (wordLength == 4 && strncmp(lowered, "exec", 4) == 0);
    return takesPath && strchr(lowered + wordLength, '/') != nullptr;
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
