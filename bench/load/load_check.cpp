// Memory under load: a build and a find run over a folder of 32,001 small
// generated images (the capacity message answered OK, so 32,000 are kept),
// five builds in one process to show that nothing leaks, a build over large
// images on every core, builds over images of the largest size a decoder
// takes on 2 and on 16 threads, and a find run over 20,000 records of
// photographs.
// Prints peak and resident memory per phase; exits non-zero when a check fails.
//   load_check <scratch folder>     (the 32,001 images are made there once)
#include <QGuiApplication>
#include <QImage>

#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "build_run.h"
#include "datafile_io.h"
#include "find_run.h"
#include "photo_records.h"
#include "scripted_prompter.h"
#include "source_gather.h"

namespace fs = std::filesystem;

namespace {

int g_failures = 0;

void check(bool ok, const char* what) {
    if (!ok) {
        std::printf("CHECK FAILED: %s\n", what);
        ++g_failures;
    }
}

// kB figures of /proc/self/status.
long statusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::stol(line.substr(std::string(key).size()));
        }
    }
    return -1;
}

long g_phaseBase = 0;

// Starts a new peak: the kernel resets VmHWM to the current resident size,
// once the heap has handed back what it keeps free.
void resetPeak() {
    ::malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    g_phaseBase = statusKb("VmRSS:");
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void report(const char* phase, std::chrono::steady_clock::time_point since) {
    const long peak = statusKb("VmHWM:");
    std::printf("%-44s %6.1f s  peak %6.1f MB (+%6.1f)  resident %6.1f MB\n", phase, seconds(since),
                peak / 1024.0, (peak - g_phaseBase) / 1024.0, statusKb("VmRSS:") / 1024.0);
    std::fflush(stdout);
}

// Tiny pictures, each different, half JPEG and half PNG.
void makeSmallImages(const fs::path& folder, int count) {
    fs::create_directories(folder);
    const fs::path done = folder / ".complete";
    if (fs::exists(done)) {
        return;
    }
    QImage image(16, 16, QImage::Format_RGB32);
    for (int i = 0; i < count; ++i) {
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                image.setPixel(
                    x, y,
                    qRgb((i * 7 + x * 13) % 256, (i / 256 + y * 11) % 256, (i * 3 + x * y) % 256));
            }
        }
        const bool jpeg = i % 2 == 0;
        image.save(QString::fromStdString(
                       (folder / (std::to_string(i) + (jpeg ? ".jpg" : ".png"))).string()),
                   jpeg ? "JPG" : "PNG", 90);
    }
    std::ofstream(done) << "ok";
}

// JPEGs decode at a reduced DCT scale; PNGs show the cost of a whole 24 MP image.
// JPEGs decode at a reduced DCT scale; the PNGs show the cost of whole 24 MP images.
void makeLargeImages(const fs::path& folder, int count) {
    fs::create_directories(folder);
    if (fs::exists(folder / ".complete")) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        QImage image(6000, 4000, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                row[x] = qRgb((x / 23 + i * 40) % 256, (y / 17) % 256, ((x ^ y) / 31) % 256);
            }
        }
        const bool png = i % 4 == 3;
        const fs::path file = folder / (std::to_string(i) + (png ? ".png" : ".jpg"));
        image.save(QString::fromStdString(file.string()), png ? "PNG" : "JPG", 85);
    }
    std::ofstream(folder / ".complete") << "ok";
}

FindRunResult findWithin(const std::vector<ImageRecord>& records,
                         const std::vector<std::string>& paths, const std::string& log) {
    FindRunInput input;
    input.mode = CompareMode::WithinPrimary;
    input.primaryRecords = records;
    input.primaryPaths = paths;
    input.low = 980;
    input.high = 1000;
    input.dupsLimit = 1'000'000;
    input.logPath = log;
    JobProgress progress;
    return RunFindDups(input, progress);
}

void smallImages(const fs::path& scratch) {
    resetPeak();
    auto start = std::chrono::steady_clock::now();
    const fs::path folder = scratch / "small";
    makeSmallImages(folder, kPathListCapacity + 1);
    report("make 32,001 images (once)", start);

    resetPeak();
    start = std::chrono::steady_clock::now();
    DatafileSlot slot;
    slot.m_nSourceKind = 1;
    slot.m_strSourceFolder = folder.string();
    ScriptedPrompter prompter;
    prompter.answerMessage(PromptAnswer::Ok);
    const GatherResult gathered = GatherSourcePaths(BuildRun::BuildPrimary, slot, prompter);
    check(gathered == GatherResult::Gathered, "gathered");
    check(slot.paths().size() == static_cast<std::size_t>(kPathListCapacity), "32,000 kept");
    check(prompter.messageTexts() ==
              std::vector<std::string>{"Limit is 32,000 image files.\nProcess the 32,000 now."},
          "one capacity message");
    report("gather 32,001 -> 32,000 paths", start);

    long residentAfter[5] = {};
    for (int round = 0; round < 5; ++round) {
        resetPeak();
        start = std::chrono::steady_clock::now();
        JobProgress progress;
        BuildResult result =
            BuildSlot(slot.paths(), MakeRunSigner(BuildRun::BuildPrimary), 0, progress);
        int deleted = 0;
        for (const std::string& name : result.names) {
            deleted += name == kDeletedEntry ? 1 : 0;
        }
        check(result.completed && deleted == 0, "every small image built");
        if (round == 4) {
            slot.setEntries(std::move(result.names), std::move(result.records));
        }
        result = BuildResult{};
        residentAfter[round] = statusKb("VmRSS:");
        report(("build 32,000 small images, round " + std::to_string(round + 1)).c_str(), start);
    }
    std::printf("resident growth from round 2 to 5: %ld kB\n", residentAfter[4] - residentAfter[1]);
    check(residentAfter[4] - residentAfter[1] < 8 * 1024, "no growth over repeated builds");

    resetPeak();
    start = std::chrono::steady_clock::now();
    const fs::path dup = scratch / "small.dup";
    check(WriteDatafile(dup.string(), slot) == 1, "data file written");
    DatafileSlot again;
    check(ReadDatafile(dup.string(), 0, again, prompter) == 1 && again.records() == slot.records(),
          "data file read back");
    report("write and read the 32,000-record data file", start);

    resetPeak();
    start = std::chrono::steady_clock::now();
    const FindRunResult found = findWithin(slot.records(), slot.paths(), (scratch / "small.log"));
    check(found.completed && found.logSaved, "find run over 32,000 finished");
    std::printf("  %d matching pairs\n", found.matchTotal);
    report("find run over 32,000 records", start);
}

void largeImages(const fs::path& scratch) {
    resetPeak();
    auto start = std::chrono::steady_clock::now();
    const fs::path folder = scratch / "large";
    makeLargeImages(folder, 16);
    report("make 12 JPEG and 4 PNG of 6000 x 4000 (once)", start);
    resetPeak();
    start = std::chrono::steady_clock::now();
    DatafileSlot slot;
    slot.m_strSourceFolder = folder.string();
    ScriptedPrompter prompter;
    check(GatherSourcePaths(BuildRun::BuildPrimary, slot, prompter) == GatherResult::Gathered,
          "large gathered");
    JobProgress progress;
    const BuildResult result =
        BuildSlot(slot.paths(), MakeRunSigner(BuildRun::BuildPrimary), 0, progress);
    // Images this large are recorded at their 400 x 400 pre-reduction.
    int fullSize = 0;
    for (const ImageRecord& record : result.records) {
        fullSize += record.nWidth == 400 && record.nHeight == 400 ? 1 : 0;
    }
    std::printf("  %zu records, %d pre-reduced to 400 x 400\n", result.records.size(), fullSize);
    check(result.completed && fullSize == 16, "large images built");
    report("build 16 images of 24 megapixels", start);
}

// Images at the largest size a decoder accepts, as small files: PNGs of a
// few hundred kilobytes that each declare 200 megapixels (16,000 x 12,500).
void makeMaximumImages(const fs::path& folder, int count) {
    fs::create_directories(folder);
    if (fs::exists(folder / ".complete")) {
        return;
    }
    QImage image(16000, 12500, QImage::Format_RGB888);
    for (int i = 0; i < count; ++i) {
        for (int y = 0; y < image.height(); ++y) {
            uchar* row = image.scanLine(y);
            const uchar shade = static_cast<uchar>((y / 500 + i * 16) % 256);
            for (int x = 0; x < image.width(); ++x) {
                row[3 * x] = shade;
                row[3 * x + 1] = static_cast<uchar>(x / 64);
                row[3 * x + 2] = static_cast<uchar>(i * 15);
            }
        }
        image.save(QString::fromStdString((folder / (std::to_string(i) + ".png")).string()), "PNG",
                   0);
    }
    std::ofstream(folder / ".complete") << "ok";
}

void maximumImages(const fs::path& scratch) {
    resetPeak();
    auto start = std::chrono::steady_clock::now();
    const fs::path folder = scratch / "maximum";
    constexpr int kImages = 16;
    makeMaximumImages(folder, kImages);
    report("make 16 PNG of 16,000 x 12,500 (once)", start);
    DatafileSlot slot;
    slot.m_strSourceFolder = folder.string();
    ScriptedPrompter prompter;
    check(GatherSourcePaths(BuildRun::BuildPrimary, slot, prompter) == GatherResult::Gathered,
          "maximum-size images gathered");
    for (const int threads : {2, 16}) {
        resetPeak();
        start = std::chrono::steady_clock::now();
        JobProgress progress;
        const BuildResult result =
            BuildSlot(slot.paths(), MakeRunSigner(BuildRun::BuildPrimary), threads, progress);
        int built = 0;
        for (const ImageRecord& record : result.records) {
            built += record.nWidth == 400 ? 1 : 0;
        }
        check(result.completed && built == kImages, "maximum-size images built");
        const long peakMb = statusKb("VmHWM:") / 1024;
        report(
            ("build 16 images of 200 megapixels, " + std::to_string(threads) + " threads").c_str(),
            start);
        check(peakMb < 2048, "a build's peak stays under 2 GB");
    }
}

void photoRecords(const fs::path& scratch) {
    resetPeak();
    auto start = std::chrono::steady_clock::now();
    const PhotoRecords photos = MakePhotoRecords(20000);
    std::printf("  records from %d photographs\n", photos.photos);
    report("make 20,000 photo records", start);
    resetPeak();
    start = std::chrono::steady_clock::now();
    const FindRunResult found = findWithin(photos.records, photos.paths, (scratch / "photo.log"));
    check(found.completed && found.logSaved, "find run over 20,000 finished");
    std::printf("  %d matching pairs\n", found.matchTotal);
    report("find run over 20,000 photo records", start);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: load_check <scratch folder>\n");
        return 2;
    }
    const fs::path scratch = argv[1];
    report("start", std::chrono::steady_clock::now());
    smallImages(scratch);
    largeImages(scratch);
    maximumImages(scratch);
    photoRecords(scratch);
    std::printf(g_failures == 0 ? "all checks passed\n" : "%d checks failed\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}
