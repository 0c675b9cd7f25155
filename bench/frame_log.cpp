#include "bench/frame_log.h"

#include "bench/alloc_count.h"

namespace {
constexpr long MAX_SAMPLES = 100000;  // a minute at 10 ms is 6,000

struct Sample {
    double milliseconds;
    AllocCounts allocations;
};

Sample samples[MAX_SAMPLES];
long sampleCount = 0;
long frameCount = 0;
double startTime = 0.0;
double lastPresent = 0.0;
AllocCounts lastCounts = {0, 0, 0, 0};

uint32_t Between(uint64_t later, uint64_t earlier) { return uint32_t(later - earlier); }
}  // namespace

void FrameLogStart(double now)
{
    AllocCountMapLibraries();
    sampleCount = 0;
    frameCount = 0;
    startTime = now;
    lastPresent = now;
    lastCounts = AllocCountsSoFar();
}

void FrameLogPresent(double now)
{
    const AllocCounts counts = AllocCountsSoFar();
    if (sampleCount < MAX_SAMPLES) {
        samples[sampleCount++] = Sample{
            (now - lastPresent) * 1000.0,
            AllocCounts{Between(counts.all, lastCounts.all),
                        Between(counts.program, lastCounts.program),
                        Between(counts.runtime, lastCounts.runtime),
                        Between(counts.compiler, lastCounts.compiler)},
        };
    }
    ++frameCount;
    lastCounts = counts;
    lastPresent = now;
}

long FrameLogFrames() { return frameCount; }

double FrameLogSeconds() { return lastPresent - startTime; }

void FrameLogWrite(FILE *out)
{
    const double seconds = FrameLogSeconds();
    fprintf(out, "frames %ld\nseconds %.6f\nfps %.3f\n", frameCount, seconds,
            seconds > 0.0 ? double(frameCount) / seconds : 0.0);
    AllocCountWriteByLibrary(out);
    fprintf(out, "samples\n");
    for (long i = 0; i < sampleCount; ++i) {
        const AllocCounts &counts = samples[i].allocations;
        fprintf(out, "%.4f %llu %llu %llu %llu\n", samples[i].milliseconds,
                static_cast<unsigned long long>(counts.all),
                static_cast<unsigned long long>(counts.program),
                static_cast<unsigned long long>(counts.runtime),
                static_cast<unsigned long long>(counts.compiler));
    }
}
