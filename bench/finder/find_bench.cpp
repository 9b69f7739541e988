// Mode 0 find-dups runs over records made from real photographs. Counters:
// pairs per second (items), matches found.
//
// TWINLY_BENCH_DUPS=FOLDER also writes the four data files of the four-file
// case there (part1.dup ... part4.dup), to time `twinly-cli find` on them.

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>

#include "datafile_io.h"
#include "find_run.h"
#include "photo_records.h"
#include "reference_compare.h"
#include "rms_table.h"

namespace {

const PhotoRecords& Corpus() {
    static const PhotoRecords corpus = MakePhotoRecords(100000);
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

// kB figures of /proc/self/status.
long StatusKb(const std::string& key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::stol(line.substr(key.size()));
        }
    }
    return -1;
}

// Starts a new peak at the current resident size.
void ResetPeak() {
    ::malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

using IndexPair = std::tuple<int, int, int>;  // image 1, image 2, value

// The pairs of a run as indices into the whole corpus.
std::vector<IndexPair> RunPairs(const FindRunInput& input, int offset1, int offset2) {
    JobProgress progress;
    const FindRunResult result = RunFindDups(input, progress);
    std::vector<IndexPair> pairs;
    for (const FoundPair& pair : result.pairs) {
        pairs.emplace_back(pair.image1 + offset1, pair.image2 + offset2, pair.value);
    }
    return pairs;
}

FindRunInput Band98() {
    FindRunInput input;
    input.low = 980;
    input.high = 1000;
    input.dupsLimit = 1000000;
    input.rmsTable = &Table();
    return input;
}

void WriteParts(std::span<const ImageRecord> records, std::span<const std::string> paths,
                std::size_t quarter, const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    for (std::size_t f = 0; f < 4; ++f) {
        DatafileSlot slot;
        slot.m_strSourceFolder = "/photos";
        slot.m_strSourceNote = slot.sourceNote();
        slot.setEntries({paths.begin() + f * quarter, paths.begin() + (f + 1) * quarter},
                        {records.begin() + f * quarter, records.begin() + (f + 1) * quarter});
        const auto name = folder / ("part" + std::to_string(f + 1) + ".dup");
        if (WriteDatafile(name.string(), slot) != 1) {
            std::fprintf(stderr, "could not write %s\n", name.c_str());
        }
    }
}

// Four data files of a quarter of the records each, searched in one run as
// `twinly-cli find A.dup B.dup C.dup D.dup` does. Besides the time: the
// resident memory the run added at its peak, its speed-up over the plain
// loop timed right after on a slice of the same records, and a check that
// the pairs are exactly those of the ten runs over each file and each two.
void BM_FindDups_98_FourFiles(benchmark::State& state) {
    const auto quarter = static_cast<std::size_t>(state.range(0)) / 4;
    const auto count = quarter * 4;
    const PhotoRecords& corpus = Corpus();
    const auto records = std::span(corpus.records).first(count);
    const auto paths = std::span(corpus.paths).first(count);
    FindRunInput together = Band98();
    together.primaryRecords = records;
    together.primaryPaths = paths;
    for (int f = 1; f <= 4; ++f) {
        together.primaryFiles.push_back({"/data/part" + std::to_string(f) + ".dup",
                                         static_cast<int>(quarter), "; Source: /photos"});
    }
    if (const char* folder = std::getenv("TWINLY_BENCH_DUPS")) {
        WriteParts(records, paths, quarter, folder);
    }

    ResetPeak();
    const long base = StatusKb("VmRSS:");
    std::vector<IndexPair> found;
    double runSeconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        found = RunPairs(together, 0, 0);
        runSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["run_peak_MB"] = static_cast<double>(StatusKb("VmHWM:") - base) / 1024.0;
    state.counters["matches"] = static_cast<double>(found.size());
    const auto pairs = static_cast<double>(count) * static_cast<double>(count - 1) / 2;
    state.SetItemsProcessed(static_cast<std::int64_t>(pairs) * state.iterations());

    // The plain loop over the first 5,000 records: its pairs per second stand
    // for any count, as every pair costs it the same.
    const std::size_t slice = std::min<std::size_t>(count, 5000);
    ReferenceComparer reference{FindSettings{}};
    int referenceMatches = 0;
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i + 1 < slice; ++i) {
        if (reference.prepare(records[i])) {
            for (std::size_t j = i + 1; j < slice; ++j) {
                referenceMatches += reference.runValue(records[i], records[j], 980, 1000) != 0;
            }
        }
    }
    const double referenceSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    benchmark::DoNotOptimize(referenceMatches);
    const double slicePairs = static_cast<double>(slice) * static_cast<double>(slice - 1) / 2;
    state.counters["speedup"] = (pairs / runSeconds) / (slicePairs / referenceSeconds);

    std::vector<IndexPair> expected;
    for (std::size_t f = 0; f < 4; ++f) {
        const auto offset = static_cast<int>(f * quarter);
        FindRunInput one = Band98();
        one.primaryRecords = records.subspan(f * quarter, quarter);
        one.primaryPaths = paths.subspan(f * quarter, quarter);
        const std::vector<IndexPair> within = RunPairs(one, offset, offset);
        expected.insert(expected.end(), within.begin(), within.end());
        for (std::size_t g = f + 1; g < 4; ++g) {
            FindRunInput two = Band98();
            two.mode = CompareMode::SecondaryToPrimary;
            two.secondaryRecords = one.primaryRecords;
            two.secondaryPaths = one.primaryPaths;
            two.primaryRecords = records.subspan(g * quarter, quarter);
            two.primaryPaths = paths.subspan(g * quarter, quarter);
            const std::vector<IndexPair> between =
                RunPairs(two, offset, static_cast<int>(g * quarter));
            expected.insert(expected.end(), between.begin(), between.end());
        }
    }
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    if (found != expected) {
        state.SkipWithError("the pairs differ from those of the ten one- and two-file runs");
    }
}

}  // namespace

BENCHMARK(BM_FindDups_98_FourFiles)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(1);
BENCHMARK(BM_FindDups_98)
    ->Arg(2000)
    ->Arg(10000)
    ->Arg(32000)
    ->Arg(100000)
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
