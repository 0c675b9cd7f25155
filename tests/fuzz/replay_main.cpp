// Runs a fuzz target's entry point once over each file of the directories named on the command
// line, in name order, so inputs that once failed stay tests without libFuzzer.
#include "tests/fuzz/fuzz_input.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        for (const auto &entry : std::filesystem::directory_iterator(argv[i])) {
            paths.push_back(entry.path().string());
        }
    }
    std::sort(paths.begin(), paths.end());
    // An empty run would pass while checking nothing.
    if (paths.empty()) {
        fprintf(stderr, "replay: no inputs given\n");
        return 1;
    }
    for (const std::string &path : paths) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            fprintf(stderr, "replay: cannot read %s\n", path.c_str());
            return 1;
        }
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
        fprintf(stderr, "replay: %s (%zu bytes)\n", path.c_str(), bytes.size());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    printf("replay: %zu inputs ran clean\n", paths.size());
    return 0;
}
