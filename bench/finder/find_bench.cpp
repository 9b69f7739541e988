// Mode 0 find-dups runs over records made from real photographs. Counters:
// pairs per second (items), matches found.

#include <benchmark/benchmark.h>

#include <map>

#include "find_run.h"
#include "photo_records.h"
#include "reference_compare.h"
#include "rms_table.h"

namespace {

const PhotoRecords& Corpus() {
    static const PhotoRecords corpus = MakePhotoRecords(32000);
    return corpus;
}

const RmsTable& Table() {
    static const RmsTable table;
    return table;
}

void RunMode0(benchmark::State& state, int low, bool mirror, int threads, bool rotate = false) {
    const auto count = static_cast<std::size_t>(state.range(0));
    const PhotoRecords& corpus = Corpus();
    FindRunInput input;
    input.primaryRecords = std::span(corpus.records).first(count);
    input.primaryPaths = std::span(corpus.paths).first(count);
    input.settings.checkMirror = mirror;
    input.settings.checkRotation = rotate;
    input.low = low;
    input.high = 1000;
    input.dupsLimit = 1000000;
    input.threads = threads;
    input.rmsTable = &Table();
    int matches = 0;
    for (auto _ : state) {
        JobProgress progress;
        const FindRunResult result = RunFindDups(input, progress);
        matches = result.matchTotal;
        benchmark::DoNotOptimize(result.lines.data());
    }
    const auto pairs = static_cast<std::int64_t>(count * (count - 1) / 2);
    state.SetItemsProcessed(pairs * state.iterations());
    state.counters["matches"] = matches;
    state.counters["photos"] = Corpus().photos;
}

void BM_FindDups_98(benchmark::State& state) {
    RunMode0(state, 980, false, 0);
}
void BM_FindDups_98_OneThread(benchmark::State& state) {
    RunMode0(state, 980, false, 1);
}
void BM_FindDups_90(benchmark::State& state) {
    RunMode0(state, 900, false, 0);
}
void BM_FindDups_98_Mirror(benchmark::State& state) {
    RunMode0(state, 980, true, 0);
}
// With the rotation check, each pair the sums let through is compared in
// four orientations (eight with the mirror check): the run must stay under
// four times the plain one.
void BM_FindDups_98_Rotate(benchmark::State& state) {
    RunMode0(state, 980, false, 0, true);
}
void BM_FindDups_98_RotateMirror(benchmark::State& state) {
    RunMode0(state, 980, true, 0, true);
}
void BM_FindDups_90_Rotate(benchmark::State& state) {
    RunMode0(state, 900, false, 0, true);
}

// The plain formulas, one pair after the other on one thread: the yardstick.
void BM_Reference_98(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    const PhotoRecords& corpus = Corpus();
    ReferenceComparer reference{FindSettings{}};
    int matches = 0;
    for (auto _ : state) {
        matches = 0;
        for (std::size_t i = 0; i + 1 < count; ++i) {
            if (!reference.prepare(corpus.records[i])) {
                continue;
            }
            for (std::size_t j = i + 1; j < count; ++j) {
                matches += reference.runValue(corpus.records[i], corpus.records[j], 980, 1000) != 0;
            }
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(count * (count - 1) / 2) *
                            state.iterations());
    state.counters["matches"] = matches;
}

}  // namespace

BENCHMARK(BM_FindDups_98)
    ->Arg(2000)
    ->Arg(10000)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_FindDups_98_OneThread)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();
BENCHMARK(BM_FindDups_90)
    ->Arg(10000)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1);
BENCHMARK(BM_FindDups_98_Mirror)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1);
BENCHMARK(BM_FindDups_98_Rotate)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1);
BENCHMARK(BM_FindDups_98_RotateMirror)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1);
BENCHMARK(BM_FindDups_90_Rotate)
    ->Arg(32000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1);
BENCHMARK(BM_Reference_98)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1);

BENCHMARK_MAIN();
