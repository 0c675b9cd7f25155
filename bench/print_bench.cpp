// Times C_Print: 10,000 one-line prints into a fresh console, then 10,000 into one whose text is
// already full, each the median of several rounds. Prints "empty MS" and "full MS".

#include "console/commands.h"
#include "console/console.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace {
constexpr int PRINTS = 10000;
constexpr int ROUNDS = 7;
// 14 bytes: ten thousand of them fit into a fresh console (153,600 bytes) with room to spare.
constexpr char LINE[] = "bench line 42\n";

double Milliseconds()
{
    using Clock = std::chrono::steady_clock;
    return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count();
}

double TimePrints()
{
    const double start = Milliseconds();
    for (int i = 0; i < PRINTS; ++i) {
        C_Print(LINE, nullptr);
    }
    return Milliseconds() - start;
}

double Median(double *values, int count)
{
    std::sort(values, values + count);
    return values[count / 2];
}
}  // namespace

int main()
{
    static_assert(PRINTS * (sizeof LINE - 1) < C_TEXT_CAPACITY - 1000, "fresh rounds must fit");
    double empty[ROUNDS];
    double full[ROUNDS];
    for (int round = 0; round < ROUNDS; ++round) {
        C_Init();
        empty[round] = TimePrints();
        // More than a whole console's worth: the text has been full and has made room.
        for (size_t i = 0; i <= C_TEXT_CAPACITY / (sizeof LINE - 1); ++i) {
            C_Print(LINE, nullptr);
        }
        full[round] = TimePrints();
        if (strlen(C_Text()) < C_TEXT_CAPACITY / 2) {
            fprintf(stderr, "print_bench: the console text did not stay full\n");
            return 1;
        }
    }
    printf("empty %.3f\nfull %.3f\n", Median(empty, ROUNDS), Median(full, ROUNDS));
    return 0;
}
