// Signature time per image, beside `djpeg -scale 1/4` of the same JPEG.
//
// Test pictures are made once per run from a photograph: TWINLY_BENCH_PHOTO,
// else a wallpaper photograph if one is installed, else a synthetic picture.
// Run: build/bench/imaging/signature_bench [--benchmark_repetitions=5]

#include <benchmark/benchmark.h>

#include <QColor>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <cstdlib>
#include <filesystem>

#include "image_loading.h"
#include "imaging.h"
#include "signature.h"

extern char** environ;

namespace {

struct Pictures {
    QTemporaryDir dir;
    std::string jpeg4000;
    std::string jpeg1600;
    std::string png1920;
    std::string source;
};

QImage Synthetic(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    std::uint32_t noise = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int n = static_cast<int>(noise >> 28);
            image.setPixel(x, y,
                           qRgb((x * 255 / width + n) & 255, (y * 255 / height + n) & 255,
                                ((x ^ y) & 63) * 3 + n));
        }
    }
    return image;
}

// The photograph cropped to the target's aspect ratio and resampled to its size.
QImage Scene(const RgbBuffer& photo, int width, int height) {
    if (photo.empty()) {
        return Synthetic(width, height);
    }
    const double target = double(width) / height;
    std::uint32_t cropWidth = photo.width;
    std::uint32_t cropHeight = photo.height;
    if (double(photo.width) / photo.height > target) {
        cropWidth = static_cast<std::uint32_t>(photo.height * target);
    } else {
        cropHeight = static_cast<std::uint32_t>(photo.width / target);
    }
    QImage scene(width, height, QImage::Format_RGB888);
    ResizeImage(photo.pixels.data(), cropWidth, cropHeight, photo.stride(), scene.bits(),
                static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                static_cast<std::size_t>(scene.bytesPerLine()), ResizeMode::Lanczos3);
    return scene;
}

std::string FindPhoto() {
    if (const char* given = std::getenv("TWINLY_BENCH_PHOTO")) {
        return given;
    }
    for (const char* candidate :
         {"/usr/share/wallpapers/Path/contents/images/2560x1600.jpg",
          "/usr/share/wallpapers/FallenLeaf/contents/images/2560x1600.jpg"}) {
        if (std::filesystem::exists(candidate)) {
            return candidate;
        }
    }
    return {};
}

Pictures& TestPictures() {
    static Pictures pictures = [] {
        Pictures p;
        p.source = FindPhoto();
        RgbBuffer photo;
        if (!p.source.empty() && !DecodeImageFile(p.source,
                                                  ImageTypeForPath(p.source) == ImageType::Unknown
                                                      ? ImageType::Jpeg
                                                      : ImageTypeForPath(p.source),
                                                  photo)) {
            p.source.clear();
        }
        const std::string base = p.dir.path().toStdString();
        p.jpeg4000 = base + "/photo-4000x3000.jpg";
        p.jpeg1600 = base + "/photo-1600x1200.jpg";
        p.png1920 = base + "/photo-1920x1080.png";
        auto write = [](const QImage& image, const std::string& path, const char* format) {
            QImageWriter writer(QString::fromStdString(path), format);
            writer.setQuality(90);
            writer.write(image);
        };
        write(Scene(photo, 4000, 3000), p.jpeg4000, "JPG");
        write(Scene(photo, 1600, 1200), p.jpeg1600, "JPG");
        write(Scene(photo, 1920, 1080), p.png1920, "PNG");
        return p;
    }();
    return pictures;
}

void Signature(benchmark::State& state, std::string Pictures::*which) {
    const std::string path = TestPictures().*which;
    ImageRecord record;
    for (auto _ : state) {
        if (!SignatureFromFile(path, ResizeMode::Lanczos3, ResizeMode::Gaussian, record)) {
            state.SkipWithError("signature failed");
            break;
        }
        benchmark::DoNotOptimize(record);
    }
    state.SetLabel(TestPictures().source.empty() ? "synthetic" : TestPictures().source);
}

void DjpegQuarter(benchmark::State& state) {
    const std::string path = TestPictures().jpeg4000;
    std::vector<std::string> args{"djpeg", "-scale", "1/4", "-outfile", "/dev/null", path};
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    rusage before{};
    getrusage(RUSAGE_CHILDREN, &before);
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawnp(&pid, "djpeg", nullptr, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("djpeg not found (package libjpeg-turbo-progs)");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("djpeg failed");
            break;
        }
    }
    // The children's processor time, comparable with the signatures' CPU column.
    rusage after{};
    getrusage(RUSAGE_CHILDREN, &after);
    auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    const double childMs =
        ms(after.ru_utime) + ms(after.ru_stime) - ms(before.ru_utime) - ms(before.ru_stime);
    state.counters["djpeg_cpu_ms"] = childMs / static_cast<double>(state.iterations());
}

void DecodeJpegQuarter(benchmark::State& state) {
    std::vector<std::uint8_t> bytes;
    ReadImageFileBytes(TestPictures().jpeg4000, bytes);
    DecodeOptions options;
    options.minWidth = 400;
    options.minHeight = 400;
    for (auto _ : state) {
        RgbBuffer image;
        DecodeImageMemory(bytes.data(), bytes.size(), ImageType::Jpeg, image, options);
        benchmark::DoNotOptimize(image.pixels.data());
    }
}

void Reduce(benchmark::State& state, std::uint32_t fromWidth, std::uint32_t fromHeight,
            std::uint32_t to, ResizeMode mode) {
    RgbBuffer source;
    source.width = fromWidth;
    source.height = fromHeight;
    source.pixels.assign(source.stride() * fromHeight, 0);
    for (std::size_t i = 0; i < source.pixels.size(); ++i) {
        source.pixels[i] = static_cast<std::uint8_t>(i * 2654435761u >> 24);
    }
    for (auto _ : state) {
        RgbBuffer out;
        ResizeImage(source, out, to, to, mode);
        benchmark::DoNotOptimize(out.pixels.data());
    }
}

}  // namespace

BENCHMARK_CAPTURE(Signature, jpeg_4000x3000, &Pictures::jpeg4000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(DjpegQuarter)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(DecodeJpegQuarter)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Signature, jpeg_1600x1200, &Pictures::jpeg1600)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Signature, png_1920x1080, &Pictures::png1920)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Reduce, pre_1000x750_to_400, 1000, 750, 400, ResizeMode::PreReduce)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Reduce, gaussian_400_to_10, 400, 400, 10, ResizeMode::Gaussian)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Reduce, gaussian_1600x1200_to_10, 1600, 1200, 10, ResizeMode::Gaussian)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
