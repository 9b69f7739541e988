#include "build_run.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <system_error>
#include <thread>
#include <unordered_map>

#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "datafile_slot.h"
#include "path_compare.h"
#include "signature.h"

namespace {

// Builds run at the lowest priority so the desktop stays responsive.
void lowerThisThreadsPriority() {
#ifdef __linux__
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 19);
#endif
}

int poolSize(int threads, std::size_t work) {
    if (threads <= 0) {
        threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    }
    return static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(threads), work));
}

// Reads the images at `indices` into their slots of `result`, `threads` at a
// time. False when stopped.
bool signImages(const std::vector<std::string>& paths, const std::vector<std::size_t>& indices,
                const ImageSigner& signer, int threads, JobProgress& progress,
                BuildResult& result) {
    std::atomic<std::size_t> next{0};
    const auto signOne = [&](std::size_t i) {
        ImageRecord& record = result.records[i];
        bool loaded = false;
        try {
            loaded = signer(paths[i], record);
        } catch (...) {
            loaded = false;  // a decoder giving up on one file must not end the build
        }
        if (!loaded) {
            record = ImageRecord{};
            result.names[i] = kDeletedEntry;
        }
    };
    const auto work = [&]() {
        lowerThisThreadsPriority();
        while (!progress.stopRequested()) {
            const std::size_t k = next.fetch_add(1, std::memory_order_relaxed);
            if (k >= indices.size()) {
                return;
            }
            signOne(indices[k]);
            progress.progress.fetch_add(1, std::memory_order_relaxed);
        }
    };
    {
        std::vector<std::jthread> pool;
        const int size = poolSize(threads, indices.size());
        try {
            for (int t = 0; t < size; ++t) {
                pool.emplace_back(work);
            }
        } catch (const std::system_error&) {
            // Fewer threads than asked for still finish the work.
        }
        if (pool.empty() && !indices.empty()) {
            work();
        }
    }
    return !progress.stopRequested();
}

BuildResult startResult(const std::vector<std::string>& paths, JobProgress& progress) {
    progress.total.store(static_cast<int>(paths.size()), std::memory_order_relaxed);
    progress.progress.store(0, std::memory_order_relaxed);
    BuildResult result;
    result.records.resize(paths.size());
    result.names = paths;
    return result;
}

BuildResult finish(BuildResult result, bool completed) {
    if (!completed) {
        return BuildResult{};
    }
    result.completed = true;
    return result;
}

}  // namespace

BuildResult BuildSlot(const std::vector<std::string>& paths, const ImageSigner& signer, int threads,
                      JobProgress& progress) {
    BuildResult result = startResult(paths, progress);
    std::vector<std::size_t> all(paths.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        all[i] = i;
    }
    const bool completed = signImages(paths, all, signer, threads, progress, result);
    return finish(std::move(result), completed);
}

BuildResult RebuildSlot(const std::vector<std::string>& newPaths,
                        const std::vector<std::string>& oldPaths,
                        const std::vector<ImageRecord>& oldRecords, const ImageSigner& signer,
                        int threads, JobProgress& progress) {
    BuildResult result = startResult(newPaths, progress);
    // Old entries by path, in index order: taking from the front gives each new
    // path the first old entry with its path not taken yet, without the
    // quadratic search.
    const std::size_t oldCount = std::min(oldPaths.size(), oldRecords.size());
    std::unordered_map<std::string, std::deque<std::size_t>> unused;
    unused.reserve(oldCount);
    for (std::size_t j = 0; j < oldCount; ++j) {
        unused[PathKey(oldPaths[j])].push_back(j);
    }
    std::vector<std::size_t> toRead;
    int reused = 0;
    for (std::size_t i = 0; i < newPaths.size(); ++i) {
        const auto found = unused.find(PathKey(newPaths[i]));
        if (found == unused.end() || found->second.empty()) {
            toRead.push_back(i);
            continue;
        }
        const ImageRecord& old = oldRecords[found->second.front()];
        found->second.pop_front();
        if (old.nWidth != 0) {
            result.records[i] = old;
        }
        ++reused;
    }
    progress.progress.fetch_add(reused, std::memory_order_relaxed);
    const bool completed = signImages(newPaths, toRead, signer, threads, progress, result);
    return finish(std::move(result), completed);
}

ImageSigner FileSigner(ResizeMode elongationMode, ResizeMode filter) {
    return [elongationMode, filter](const std::string& path, ImageRecord& record) {
        return SignatureFromFile(path, elongationMode, filter, record);
    };
}

BuildResult BuildSlot(const std::vector<std::string>& paths, ResizeMode elongationMode,
                      ResizeMode filter, int threads, JobProgress& progress) {
    return BuildSlot(paths, FileSigner(elongationMode, filter), threads, progress);
}

BuildResult RebuildSlot(const std::vector<std::string>& newPaths,
                        const std::vector<std::string>& oldPaths,
                        const std::vector<ImageRecord>& oldRecords, ResizeMode filter, int threads,
                        JobProgress& progress) {
    return RebuildSlot(newPaths, oldPaths, oldRecords, FileSigner(kRebuildElongation, filter),
                       threads, progress);
}
