// Time to show a pair of 24-megapixel JPEGs in the viewer's panes, and to
// read one for the full-screen view, beside a full decode of the same file.
//
// The two pictures (6000 x 4000) are made once per run from a photograph:
// TWINLY_BENCH_PHOTO, else the corpus photograph if present, else a synthetic
// picture. Run: build/bench/viewer/viewer_bench [--benchmark_repetitions=5]

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "desktop.h"
#include "file_ops.h"
#include "image_loading.h"
#include "pair_viewer.h"
#include "pane_image_loader.h"
#include "qsettings_store.h"
#include "scripted_prompter.h"
#include "window_test_kit.h"

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

QImage Synthetic(int width, int height, int seed) {
    QImage image(width, height, QImage::Format_RGB888);
    std::uint32_t noise = 12345u + static_cast<std::uint32_t>(seed);
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int n = static_cast<int>(noise >> 28);
            row[3 * x] = static_cast<uchar>((x * 255 / width + n) & 255);
            row[3 * x + 1] = static_cast<uchar>((y * 255 / height + n) & 255);
            row[3 * x + 2] = static_cast<uchar>(((x ^ y) & 63) * 3 + n);
        }
    }
    return image;
}

QImage Scene(const std::string& photoPath, int seed) {
    RgbBuffer photo;
    if (photoPath.empty() || !LoadImageFile(photoPath, photo)) {
        return Synthetic(kWidth, kHeight, seed);
    }
    QImage scene(kWidth, kHeight, QImage::Format_RGB888);
    ResizeImage(photo.pixels.data(), photo.width, photo.height, photo.stride(), scene.bits(),
                kWidth, kHeight, static_cast<std::size_t>(scene.bytesPerLine()),
                ResizeMode::Lanczos3);
    // Grain as a camera's sensor gives it, so the file is as large as a real
    // 24-megapixel photograph's (entropy decoding grows with the file).
    std::uint32_t noise = 777u + static_cast<std::uint32_t>(seed);
    for (int y = 0; y < kHeight; ++y) {
        uchar* row = scene.scanLine(y);
        for (int i = 0; i < 3 * kWidth; ++i) {
            noise = noise * 1664525u + 1013904223u;
            row[i] = static_cast<uchar>(std::clamp(int(row[i]) + int(noise >> 28) - 8, 0, 255));
        }
    }
    // The second picture differs a little, as a near duplicate does.
    if (seed != 0) {
        scene = scene.mirrored(true, false);
    }
    return scene;
}

std::string FindPhoto() {
    if (const char* given = std::getenv("TWINLY_BENCH_PHOTO")) {
        return given;
    }
    const char* corpus = "/work/corpus/c500/o001.jpg";
    return std::filesystem::exists(corpus) ? corpus : std::string();
}

struct Pictures {
    QTemporaryDir dir;
    std::string left;
    std::string right;
    std::string source;
};

Pictures& TestPictures() {
    static Pictures pictures = [] {
        Pictures p;
        p.source = FindPhoto();
        p.left = p.dir.filePath("left-6000x4000.jpg").toStdString();
        p.right = p.dir.filePath("right-6000x4000.jpg").toStdString();
        for (const auto& [path, seed] : {std::pair(p.left, 0), std::pair(p.right, 1)}) {
            QImageWriter writer(QString::fromStdString(path), "JPG");
            writer.setQuality(92);
            writer.write(Scene(p.source, seed));
        }
        return p;
    }();
    return pictures;
}

std::string Label() {
    const Pictures& p = TestPictures();
    return (p.source.empty() ? std::string("synthetic") : p.source) + ", " +
           std::to_string(std::filesystem::file_size(p.left) / 1024) + " KiB";
}

// The panes of the large view on a 1280 x 1024 screen are about this size.
constexpr FitSize kPane{440, 330};

void FullDecode(benchmark::State& state) {
    const std::string path = TestPictures().left;
    for (auto _ : state) {
        RgbBuffer image;
        LoadImageFile(path, image);
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.SetLabel(Label());
}

void LoadPanePairOnly(benchmark::State& state) {
    const Pictures& p = TestPictures();
    for (auto _ : state) {
        PaneLoad left;
        PaneLoad right;
        LoadPanePair(p.left, kPane, p.right, kPane, std::string(), left, right);
        benchmark::DoNotOptimize(right.fitted.pixels.data());
    }
    state.SetLabel(Label());
}

void ReadForFullScreen(benchmark::State& state) {
    const std::string path = TestPictures().left;
    const FitSize screen{1260, 1004};
    for (auto _ : state) {
        const DisplayImage image = ReadImageForArea(path, screen, FitToScreenSize);
        RgbBuffer fitted = FitImageToArea(image, screen, FitToScreenSize, ResizeMode::Gaussian);
        benchmark::DoNotOptimize(fitted.pixels.data());
    }
    state.SetLabel(Label());
}

// The window's ShowPair: both files read, fitted and handed to the panes.
void ShowPair(benchmark::State& state) {
    const Pictures& p = TestPictures();
    QTemporaryDir home;
    QDir().mkpath(home.filePath("logs"));
    QFile log(home.filePath("logs/Dups.log"));
    if (!log.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write the log");
        return;
    }
    log.write(("DUPS\r\n-- Matches --\r\n; Match no: 1\r\nImage 1 path: " + p.left +
               "\r\nImage 2 path: " + p.right +
               "\r\n; % matching: 99.0\r\n; -------\r\n;\r\nEND\r\n")
                  .c_str());
    log.close();
    QSettingsStore store(home.filePath("settings.ini"));
    store.writeString("Dups", "First", "Second");
    store.writeString("1.0", "LogPath", home.filePath("logs").toStdString());
    store.writeString("Dups", "Large", "Yes");
    ScriptedPrompter prompter;
    QtFileOps fileOps;
    RecordingDesktop desktop;
    CMainDlg dlg({.store = store,
                  .prompter = prompter,
                  .fileOps = fileOps,
                  .desktop = desktop,
                  .dataFolder = home.filePath("data"),
                  .seedLogFile = QString()});
    dlg.show();
    dlg.OnCommand(32794);
    if (dlg.pairViewer().selectedPair() != 0) {
        state.SkipWithError("the pair was not shown");
        return;
    }
    for (auto _ : state) {
        dlg.pairViewer().ShowPair(false);
    }
    state.SetLabel(Label());
}

}  // namespace

BENCHMARK(FullDecode)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(LoadPanePairOnly)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ShowPair)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ReadForFullScreen)->UseRealTime()->Unit(benchmark::kMillisecond);
