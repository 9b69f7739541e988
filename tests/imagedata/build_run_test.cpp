#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <set>

#include "build_run.h"
#include "datafile_io.h"
#include "datafile_slot.h"
#include "temp_dir.h"
#include "test_images.h"

namespace {

// Stands in for decoding: a record made from the path alone, with uneven work
// so the threads finish out of order. Paths containing "broken" fail, after
// scribbling on the record as a failed decoder might.
class FakeSigner {
  public:
    ImageSigner signer() {
        return [this](const std::string& path, ImageRecord& record) { return sign(path, record); };
    }
    int calls() const { return m_calls.load(); }
    std::multiset<std::string> read() const {
        std::lock_guard lock(m_mutex);
        return m_read;
    }
    std::function<void(int call)> onCall;

  private:
    bool sign(const std::string& path, ImageRecord& record) {
        const int call = ++m_calls;
        {
            std::lock_guard lock(m_mutex);
            m_read.insert(path);
        }
        if (onCall) {
            onCall(call);
        }
        std::uint32_t h = 2166136261u;
        for (int round = 0; round < 1 + static_cast<int>(path.size() % 7) * 200; ++round) {
            for (char c : path) {
                h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
            }
        }
        record.nWidth = static_cast<std::uint16_t>(1 + h % 4000);
        record.nHeight = static_cast<std::uint16_t>(1 + (h >> 12) % 4000);
        record.bColor = static_cast<std::uint8_t>(h & 1);
        record.nSumRed = static_cast<std::uint16_t>(h >> 3);
        for (int i = 0; i < kThumbBytes; ++i) {
            record.thumb[i] = static_cast<std::uint8_t>(h >> (i % 24));
        }
        return path.find("broken") == std::string::npos;
    }

    std::atomic<int> m_calls{0};
    mutable std::mutex m_mutex;
    std::multiset<std::string> m_read;
};

std::vector<std::string> numberedPaths(int n) {
    std::vector<std::string> paths;
    for (int i = 0; i < n; ++i) {
        paths.push_back("/pics/" + std::string(i % 5, 'x') + std::to_string(i) +
                        (i % 17 == 3 ? "broken.jpg" : ".jpg"));
    }
    return paths;
}

std::string savedBytes(const BuildResult& result, const TempDir& dir, const std::string& name) {
    DatafileSlot slot;
    slot.m_strSourceFolder = "/pics/";
    slot.setEntries(result.names, result.records);
    const std::string path = dir.file(name);
    EXPECT_EQ(WriteDatafile(path, slot), 1);
    return ReadFileBytes(path);
}

}  // namespace

TEST(BuildRun, ParallelBuildSavesTheSameBytesAsOneThread) {
    const std::vector<std::string> paths = numberedPaths(300);
    FakeSigner one;
    FakeSigner many;
    JobProgress progressOne;
    JobProgress progressMany;
    const BuildResult sequential = BuildSlot(paths, one.signer(), 1, progressOne);
    const BuildResult parallel = BuildSlot(paths, many.signer(), 4, progressMany);
    ASSERT_TRUE(sequential.completed);
    ASSERT_TRUE(parallel.completed);
    TempDir dir;
    EXPECT_EQ(savedBytes(parallel, dir, "many.dup"), savedBytes(sequential, dir, "one.dup"));
    EXPECT_EQ(many.calls(), 300);
    EXPECT_EQ(progressMany.total.load(), 300);
    EXPECT_EQ(progressMany.progress.load(), 300);

    // Failed loads read "Deleted" with an empty record; the rest keep their paths.
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (paths[i].find("broken") != std::string::npos) {
            EXPECT_EQ(parallel.names[i], kDeletedEntry);
            EXPECT_EQ(parallel.records[i], ImageRecord{});
        } else {
            EXPECT_EQ(parallel.names[i], paths[i]);
            EXPECT_NE(parallel.records[i].nWidth, 0);
        }
    }
}

TEST(BuildRun, StopEndsTheBuildSoonAndDiscardsIt) {
    const std::vector<std::string> paths = numberedPaths(400);
    for (const int threads : {1, 3}) {
        FakeSigner signer;
        JobProgress progress;
        std::atomic<int> callsAtStop{0};
        signer.onCall = [&](int call) {
            if (call == 5) {
                progress.requestStop();
                // Counted after the stop: on a loaded machine the other
                // threads may have read more images before this call got here.
                callsAtStop = signer.calls();
            }
        };
        const BuildResult result = BuildSlot(paths, signer.signer(), threads, progress);
        EXPECT_FALSE(result.completed);
        EXPECT_TRUE(result.records.empty());
        EXPECT_TRUE(result.names.empty());
        // After the stop, each other thread starts at most the image it had taken.
        EXPECT_LE(signer.calls(), callsAtStop.load() + threads - 1);
        EXPECT_LT(signer.calls(), static_cast<int>(paths.size()));
    }
}

TEST(BuildRun, RebuildReadsOnlyNewPaths) {
    const std::vector<std::string> oldPaths = {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg", "/p/d.jpg"};
    FakeSigner first;
    JobProgress progress;
    const BuildResult old = BuildSlot(oldPaths, first.signer(), 2, progress);
    ASSERT_TRUE(old.completed);

    // b deleted, e f g added.
    const std::vector<std::string> newPaths = {"/p/a.jpg", "/p/e.jpg", "/p/c.jpg",
                                               "/p/f.jpg", "/p/d.jpg", "/p/g.jpg"};
    FakeSigner second;
    JobProgress rebuildProgress;
    const BuildResult rebuilt =
        RebuildSlot(newPaths, old.names, old.records, second.signer(), 3, rebuildProgress);
    ASSERT_TRUE(rebuilt.completed);
    EXPECT_EQ(second.read(), (std::multiset<std::string>{"/p/e.jpg", "/p/f.jpg", "/p/g.jpg"}));
    EXPECT_EQ(rebuilt.names, newPaths);
    EXPECT_EQ(rebuilt.records[0], old.records[0]);
    EXPECT_EQ(rebuilt.records[2], old.records[2]);
    EXPECT_EQ(rebuilt.records[4], old.records[3]);
    EXPECT_EQ(rebuildProgress.progress.load(), 6);

    // An unchanged source reads nothing at all.
    FakeSigner third;
    const BuildResult same =
        RebuildSlot(rebuilt.names, rebuilt.names, rebuilt.records, third.signer(), 2, progress);
    EXPECT_EQ(third.calls(), 0);
    EXPECT_EQ(same.records, rebuilt.records);
}

TEST(BuildRun, RebuildMatchesEachDuplicatePathToItsOwnOldEntry) {
    std::vector<ImageRecord> oldRecords(4);
    for (std::size_t j = 0; j < oldRecords.size(); ++j) {
        oldRecords[j].nWidth = static_cast<std::uint16_t>(100 + j);
    }
    oldRecords[3].nWidth = 0;  // an entry whose image failed before
    const std::vector<std::string> oldPaths = {"/x.jpg", "/y.jpg", "/x.jpg", "/z.jpg"};
    const std::vector<std::string> newPaths = {"/x.jpg", "/x.jpg", "/y.jpg", "/x.jpg", "/z.jpg"};
    FakeSigner signer;
    JobProgress progress;
    const BuildResult result =
        RebuildSlot(newPaths, oldPaths, oldRecords, signer.signer(), 2, progress);
    ASSERT_TRUE(result.completed);
    EXPECT_EQ(result.records[0].nWidth, 100);
    EXPECT_EQ(result.records[1].nWidth, 102);
    EXPECT_EQ(result.records[2].nWidth, 101);
    EXPECT_EQ(result.records[4].nWidth, 0);
    EXPECT_EQ(result.names[4], "/z.jpg");  // matched, so its text stays
    // Only the third "/x.jpg" had no old entry left.
    EXPECT_EQ(signer.read(), std::multiset<std::string>{"/x.jpg"});
    EXPECT_NE(result.records[3].nWidth, 0);
}

TEST(BuildRun, StoppedRebuildDiscardsEverything) {
    const std::vector<std::string> paths = numberedPaths(50);
    FakeSigner signer;
    JobProgress progress;
    signer.onCall = [&progress](int) { progress.requestStop(); };
    const BuildResult result =
        RebuildSlot(paths, {paths[0]}, {ImageRecord{}}, signer.signer(), 2, progress);
    EXPECT_FALSE(result.completed);
    EXPECT_TRUE(result.names.empty());
    EXPECT_LE(signer.calls(), 2);
}

TEST(BuildRun, RealImagesBuildTheSameOnAnyNumberOfThreads) {
    TempDir dir;
    std::vector<std::string> paths;
    const char* formats[] = {"JPG", "PNG", "BMP"};
    for (int i = 0; i < 9; ++i) {
        const std::string path =
            dir.file("img" + std::to_string(i) + "." + std::string(formats[i % 3]));
        ASSERT_TRUE(WriteImage(
            GradientImage(40 + 8 * i, 30 + 5 * i, QColor(20 * i, 200, 30), QColor(255, 10 * i, 90)),
            path, formats[i % 3]));
        paths.push_back(path);
    }
    // Not images at all, whatever their names say.
    paths.insert(paths.begin() + 4, dir.write(".jpg", "not a picture"));
    paths.push_back(dir.write("broken.png", "\x89PNG\r\n\x1a\n garbage"));

    JobProgress progress;
    const BuildResult one =
        BuildSlot(paths, kPrimaryBuildElongation, ResizeMode::Triangle, 1, progress);
    const BuildResult two =
        BuildSlot(paths, kPrimaryBuildElongation, ResizeMode::Triangle, 2, progress);
    ASSERT_TRUE(one.completed);
    ASSERT_TRUE(two.completed);
    EXPECT_EQ(savedBytes(two, dir, "two.dup"), savedBytes(one, dir, "one.dup"));
    EXPECT_EQ(two.names[4], kDeletedEntry);
    EXPECT_EQ(two.names.back(), kDeletedEntry);
    EXPECT_EQ(two.records[4].nWidth, 0);
    EXPECT_EQ(two.records[0].nWidth, 40);
    EXPECT_EQ(two.records[0].nHeight, 30);
}
