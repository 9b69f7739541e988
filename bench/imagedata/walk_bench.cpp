// Folder walks over a warm tree of 50,000 files: 100 folders of 300 images and
// 200 other files each, under one root (the fill must stay below the path
// list's capacity).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "folder_walk.h"
#include "scripted_prompter.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFolders = 100;
constexpr int kImagesPerFolder = 300;
constexpr int kOthersPerFolder = 200;

class BenchTree {
  public:
    BenchTree() {
        m_root = fs::temp_directory_path() / ("twinly-walk-bench-" + std::to_string(::getpid()));
        for (int f = 0; f < kFolders; ++f) {
            const fs::path folder = m_root / ("folder" + std::to_string(f));
            fs::create_directories(folder);
            for (int i = 0; i < kImagesPerFolder; ++i) {
                std::ofstream(folder / ("photo" + std::to_string(i) + ".jpg"));
            }
            for (int i = 0; i < kOthersPerFolder; ++i) {
                std::ofstream(folder / ("note" + std::to_string(i) + ".txt"));
            }
        }
    }
    ~BenchTree() {
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }
    std::string root() const { return m_root.string(); }

  private:
    fs::path m_root;
};

const BenchTree& tree() {
    static BenchTree instance;
    return instance;
}

void BM_CountFolderImages(benchmark::State& state) {
    const std::string root = tree().root();
    for (auto _ : state) {
        const int n = CountFolderImages(root, true, false);
        if (n != kFolders * kImagesPerFolder) {
            state.SkipWithError("wrong count");
        }
        benchmark::DoNotOptimize(n);
    }
    state.SetItemsProcessed(state.iterations() * kFolders * (kImagesPerFolder + kOthersPerFolder));
}
BENCHMARK(BM_CountFolderImages)->Unit(benchmark::kMillisecond);

void BM_AddFolderImages(benchmark::State& state) {
    const std::string root = tree().root();
    ScriptedPrompter prompter;
    for (auto _ : state) {
        DatafileSlot slot;
        slot.reservePaths(kFolders * kImagesPerFolder);
        if (AddFolderImages(root, true, slot, prompter) != AddResult::Done) {
            state.SkipWithError("walk stopped");
        }
        benchmark::DoNotOptimize(slot.paths().data());
    }
    state.SetItemsProcessed(state.iterations() * kFolders * (kImagesPerFolder + kOthersPerFolder));
}
BENCHMARK(BM_AddFolderImages)->Unit(benchmark::kMillisecond);

}  // namespace
