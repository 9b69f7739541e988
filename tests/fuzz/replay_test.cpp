// Runs every fuzz target's checks over its seed corpus and over the inputs
// that once made it fail, in the ordinary (sanitized) test build.

#include <gtest/gtest.h>

#include <QString>
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <vector>

#include "temp_dir.h"

namespace fs = std::filesystem;

using FuzzEntry = int (*)(const std::uint8_t*, std::size_t);

#define TWINLY_FUZZ_ENTRY(name) extern "C" int FuzzOne_##name(const std::uint8_t*, std::size_t);
TWINLY_FUZZ_ENTRY(datafile_fuzz)
TWINLY_FUZZ_ENTRY(dupslog_fuzz)
TWINLY_FUZZ_ENTRY(listfile_fuzz)
TWINLY_FUZZ_ENTRY(jpeg_fuzz)
TWINLY_FUZZ_ENTRY(png_fuzz)
TWINLY_FUZZ_ENTRY(qt_formats_fuzz)
TWINLY_FUZZ_ENTRY(magick_formats_fuzz)
TWINLY_FUZZ_ENTRY(emf_fuzz)
TWINLY_FUZZ_ENTRY(image_file_fuzz)
TWINLY_FUZZ_ENTRY(resample_fuzz)
TWINLY_FUZZ_ENTRY(heif_fuzz)
TWINLY_FUZZ_ENTRY(webp_fuzz)
TWINLY_FUZZ_ENTRY(jxl_fuzz)
TWINLY_FUZZ_ENTRY(raw_fuzz)
TWINLY_FUZZ_ENTRY(notdup_fuzz)

namespace {

struct Target {
    const char* name;
    FuzzEntry entry;
};

void PrintTo(const Target& target, std::ostream* out) {
    *out << target.name;
}

#define TWINLY_FUZZ_TARGET(name) \
    Target {                     \
#name, FuzzOne_##name    \
    }
const Target kTargets[] = {
    TWINLY_FUZZ_TARGET(datafile_fuzz),
    TWINLY_FUZZ_TARGET(dupslog_fuzz),
    TWINLY_FUZZ_TARGET(listfile_fuzz),
    TWINLY_FUZZ_TARGET(jpeg_fuzz),
    TWINLY_FUZZ_TARGET(png_fuzz),
    TWINLY_FUZZ_TARGET(qt_formats_fuzz),
    TWINLY_FUZZ_TARGET(magick_formats_fuzz),
    TWINLY_FUZZ_TARGET(emf_fuzz),
    TWINLY_FUZZ_TARGET(image_file_fuzz),
    TWINLY_FUZZ_TARGET(resample_fuzz),
    TWINLY_FUZZ_TARGET(heif_fuzz),
    TWINLY_FUZZ_TARGET(webp_fuzz),
    TWINLY_FUZZ_TARGET(jxl_fuzz),
    TWINLY_FUZZ_TARGET(raw_fuzz),
    TWINLY_FUZZ_TARGET(notdup_fuzz),
};

std::vector<fs::path> inputsOf(const std::string& target) {
    const fs::path top = qEnvironmentVariable("TWINLY_TEST_SOURCE_DIR").toStdString();
    std::vector<fs::path> files;
    for (const char* kind : {"corpus", "regressions"}) {
        const fs::path folder = top / "fuzz" / kind / target;
        if (!fs::is_directory(folder)) {
            continue;
        }
        for (const auto& e : fs::directory_iterator(folder)) {
            if (e.is_regular_file()) {
                files.push_back(e.path());
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

class FuzzReplay : public ::testing::TestWithParam<Target> {};

}  // namespace

TEST_P(FuzzReplay, SeedsAndPastFailuresPassTheChecks) {
    const std::vector<fs::path> files = inputsOf(GetParam().name);
    ASSERT_FALSE(files.empty()) << "no seeds for " << GetParam().name;
    for (const fs::path& file : files) {
        // A failed check aborts; this line names the input that did it.
        std::fprintf(stderr, "replaying %s\n", file.c_str());
        const std::string bytes = ReadFileBytes(file.string());
        EXPECT_EQ(
            GetParam().entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::ValuesIn(kTargets),
                         [](const ::testing::TestParamInfo<Target>& info) {
                             return std::string(info.param.name);
                         });
