// Runs a fuzz target's entry point once over each file of the directories or files named on the
// command line, in name order, so inputs that once failed stay tests without libFuzzer.
#include "tests/fuzz/fuzz_input.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {
bool ReadFile(const std::string &path, std::vector<uint8_t> *bytes)
{
    FILE *const file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    bytes->clear();
    uint8_t buffer[4096];
    size_t count = 0;
    while ((count = fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes->insert(bytes->end(), buffer, buffer + count);
    }
    const bool failed = ferror(file) != 0;
    fclose(file);
    return !failed;
}

bool CollectInputs(const char *given, std::vector<std::string> *paths)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::is_directory(given, error)) {
        paths->push_back(given);
        return true;
    }
    std::vector<std::string> found;
    for (const fs::directory_entry &entry : fs::directory_iterator(given, error)) {
        if (entry.is_regular_file()) {
            found.push_back(entry.path().string());
        }
    }
    if (error) {
        fprintf(stderr, "replay: cannot list %s: %s\n", given, error.message().c_str());
        return false;
    }
    std::sort(found.begin(), found.end());
    paths->insert(paths->end(), found.begin(), found.end());
    return true;
}
}  // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        if (!CollectInputs(argv[i], &paths)) {
            return 1;
        }
    }
    // An empty run would pass while checking nothing.
    if (paths.empty()) {
        fprintf(stderr, "replay: no inputs given\n");
        return 1;
    }
    std::vector<uint8_t> bytes;
    for (const std::string &path : paths) {
        if (!ReadFile(path, &bytes)) {
            fprintf(stderr, "replay: cannot read %s\n", path.c_str());
            return 1;
        }
        fprintf(stderr, "replay: %s (%zu bytes)\n", path.c_str(), bytes.size());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    printf("replay: %zu inputs ran clean\n", paths.size());
    return 0;
}
