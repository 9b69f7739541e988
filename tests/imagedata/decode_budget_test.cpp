// The memory a build's decoders hold together stays within their budget,
// whatever the number of threads, and the budget never changes a record.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "build_run.h"
#include "decode_budget.h"
#include "signature.h"
#include "temp_dir.h"
#include "test_images.h"

namespace {

// Holds a reservation of `bytes` while it counts itself in, and reports the
// most it saw held at once.
void HoldAndCount(DecodeBudget& budget, std::uint64_t bytes, std::atomic<std::uint64_t>& held,
                  std::atomic<std::uint64_t>& most) {
    const DecodeBudget::Reservation reservation(budget, bytes);
    const std::uint64_t now = held.fetch_add(bytes) + bytes;
    std::uint64_t seen = most.load();
    while (now > seen && !most.compare_exchange_weak(seen, now)) {
    }
    for (int spin = 0; spin < 200; ++spin) {
        std::this_thread::yield();
    }
    held.fetch_sub(bytes);
}

}  // namespace

TEST(DecodeBudget, ReservationsTogetherNeverPassTheBudgetAndAHugeOneRunsAlone) {
    DecodeBudget budget(100);
    std::atomic<std::uint64_t> held{0};
    std::atomic<std::uint64_t> most{0};
    {
        std::vector<std::jthread> workers;
        for (int t = 0; t < 12; ++t) {
            workers.emplace_back([&, t] {
                for (int round = 0; round < 40; ++round) {
                    HoldAndCount(budget, t == 5 && round % 10 == 0 ? 250 : 30, held, most);
                }
            });
        }
    }
    // The huge reservations alone went past the budget, and only by themselves.
    EXPECT_EQ(most.load(), 250u);
    EXPECT_EQ(budget.peak(), 250u);
    EXPECT_EQ(held.load(), 0u);

    DecodeBudget small(100);
    std::atomic<std::uint64_t> smallMost{0};
    {
        std::vector<std::jthread> workers;
        for (int t = 0; t < 12; ++t) {
            workers.emplace_back([&] {
                for (int round = 0; round < 40; ++round) {
                    HoldAndCount(small, 30, held, smallMost);
                }
            });
        }
    }
    EXPECT_LE(smallMost.load(), 90u);
    EXPECT_LE(small.peak(), 90u);
}

TEST(DecodeBudget, CostsFollowTheDeclaredSizeNotTheFileSize) {
    const DecodeOptions plain;
    // The 600 KB PNG declaring 14,000 x 14,000: its pixels, not its bytes.
    EXPECT_GE(DecodeCostEstimate(ImageType::Png, 14000, 14000, 600'000, plain),
              std::uint64_t{14000} * 14000 * 3 + 600'000);
    // A JPEG decoded at 1/8 for the pre-reduction costs the scaled pixels.
    DecodeOptions scaled;
    scaled.minWidth = scaled.minHeight = 400;
    const std::uint64_t full = DecodeCostEstimate(ImageType::Jpeg, 6000, 4000, 5'000'000, plain);
    const std::uint64_t eighth = DecodeCostEstimate(ImageType::Jpeg, 6000, 4000, 5'000'000, scaled);
    EXPECT_EQ(full - 5'000'000, 64 * (eighth - 5'000'000));
    // Metafiles are drawn into their box, whatever they declare.
    EXPECT_LT(DecodeCostEstimate(ImageType::Wmf, 60000, 60000, 1000, plain), 4'000'000u);
    // The largest PNG a decoder accepts, decoded alone, fits the memory a build may use.
    EXPECT_LT(DecodeCostEstimate(ImageType::Png, 20000, 10000, 0, plain), std::uint64_t{2} << 30);
}

TEST(DecodeBudget, ABuildOnManyThreadsStaysWithinItsBudgetAndGivesTheSameRecords) {
    TempDir dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 6; ++i) {
        const std::string path = dir.file(std::to_string(i) + ".png");
        ASSERT_TRUE(WriteImage(GradientImage(1500 + 10 * i, 1500, Qt::red, Qt::blue), path, "PNG"));
        paths.push_back(path);
    }
    // Each decode costs about 16 MB: a budget of 40 MB lets two run at once.
    DecodeBudget budget(40'000'000);
    const ImageSigner budgeted = [&budget](const std::string& path, ImageRecord& record) {
        return SignatureFromFile(path, ResizeMode::Lanczos3, ResizeMode::Gaussian, record,
                                 ImageFormats::All, budget);
    };
    JobProgress progress;
    const BuildResult many = BuildSlot(paths, budgeted, 6, progress);
    ASSERT_TRUE(many.completed);
    EXPECT_GT(budget.peak(), 16'000'000u);
    EXPECT_LE(budget.peak(), 40'000'000u);

    DecodeBudget roomy(std::uint64_t{1} << 40);
    JobProgress again;
    const ImageSigner free = [&roomy](const std::string& path, ImageRecord& record) {
        return SignatureFromFile(path, ResizeMode::Lanczos3, ResizeMode::Gaussian, record,
                                 ImageFormats::All, roomy);
    };
    const BuildResult one = BuildSlot(paths, free, 1, again);
    EXPECT_EQ(many.records, one.records);
}
