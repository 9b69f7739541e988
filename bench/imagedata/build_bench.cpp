// A build over a folder of real photographs, named by TWINLY_BENCH_PHOTOS
// (all images below it, up to the path list's capacity): images per second
// with one thread and with one per core. Run it on a warm file system.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <thread>

#include <sys/resource.h>

#include "build_run.h"
#include "folder_walk.h"
#include "scripted_prompter.h"

namespace {

// Process CPU seconds: unlike wall time, not distorted when the low-priority
// workers share the machine with other work.
double processCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

const std::vector<std::string>& photoPaths() {
    static const std::vector<std::string> paths = [] {
        DatafileSlot slot;
        if (const char* folder = std::getenv("TWINLY_BENCH_PHOTOS")) {
            ScriptedPrompter prompter;
            prompter.answerMessage(PromptAnswer::Ok);
            AddFolderImages(folder, true, slot, prompter);
        }
        return slot.paths();
    }();
    return paths;
}

void BM_BuildSlot(benchmark::State& state) {
    const std::vector<std::string>& paths = photoPaths();
    if (paths.size() < 2) {
        state.SkipWithError("set TWINLY_BENCH_PHOTOS to a folder of photographs");
        return;
    }
    const int threads = static_cast<int>(state.range(0));
    int deleted = 0;
    const double cpuBefore = processCpuSeconds();
    for (auto _ : state) {
        JobProgress progress;
        const BuildResult result =
            BuildSlot(paths, kPrimaryBuildElongation, ResizeMode::Triangle, threads, progress);
        deleted = 0;
        for (const std::string& name : result.names) {
            deleted += name == kDeletedEntry ? 1 : 0;
        }
    }
    state.counters["cpu_ms_per_image"] =
        (processCpuSeconds() - cpuBefore) * 1000.0 /
        (static_cast<double>(state.iterations()) * static_cast<double>(paths.size()));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(paths.size()));
    state.counters["images"] = static_cast<double>(paths.size());
    state.counters["unreadable"] = deleted;
}
BENCHMARK(BM_BuildSlot)
    ->Arg(1)
    ->Arg(static_cast<int>(std::max(1u, std::thread::hardware_concurrency())))
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace
