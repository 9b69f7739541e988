#include "find_run.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>

#include "log_writer.h"
#include "match_kernel.h"
#include "pair_skips.h"
#include "rms_table.h"
#include "same_file_table.h"
#include "second_set.h"
#include "tenths.h"

namespace {

struct Match {
    int first;
    int second;
    int value;
    bool leftOut;  // marked not a duplicate: counted, never logged
};

// A slice of the outer index range; its matches are kept in sequential order.
struct Chunk {
    int begin = 0;
    int end = 0;
    std::vector<Match> matches;
    std::size_t kept = 0;  // matches not left out
    bool done = false;     // guarded by the run's mutex
};

const std::string& PathAt(std::span<const std::string> paths, int index) {
    static const std::string kNone;
    return static_cast<std::size_t>(index) < paths.size() ? paths[static_cast<std::size_t>(index)]
                                                          : kNone;
}

// Splits the outer passes into chunks of about equal work, several per
// thread, so that threads taking them in turn finish together.
std::vector<Chunk> MakeChunks(CompareMode mode, int outerCount, int secondCount, int threads) {
    std::vector<long long> work(static_cast<std::size_t>(outerCount));
    long long total = 0;
    for (int i = 0; i < outerCount; ++i) {
        const long long pairs = mode == CompareMode::WithinPrimary     ? secondCount - 1 - i
                                : mode == CompareMode::SingleToPrimary ? 1
                                                                       : secondCount;
        work[static_cast<std::size_t>(i)] = pairs + 16;  // preparing the first image costs too
        total += work[static_cast<std::size_t>(i)];
    }
    const long long wanted = std::clamp<long long>(threads * 32LL, 1, std::max(1, outerCount));
    const long long share = std::max<long long>(1, total / wanted);
    std::vector<Chunk> chunks;
    long long gathered = 0;
    int begin = 0;
    for (int i = 0; i < outerCount; ++i) {
        gathered += work[static_cast<std::size_t>(i)];
        if (gathered >= share || i + 1 == outerCount) {
            chunks.push_back({begin, i + 1, {}, 0, false});
            begin = i + 1;
            gathered = 0;
        }
    }
    return chunks;
}

// Drops what follows the match past the limit, left-out pairs included.
void trimPastLimit(Chunk& chunk, std::size_t limit) {
    std::size_t kept = 0;
    for (std::size_t k = 0; k < chunk.matches.size(); ++k) {
        if (!chunk.matches[k].leftOut && ++kept > limit) {
            chunk.matches.resize(k + 1);
            chunk.kept = kept;
            return;
        }
    }
}

// What the threads of one run share.
class RunState {
  public:
    RunState(const FindRunInput& input, const CompareContext& context, const SecondSet& seconds,
             const PairSkips& skips, const SameFileTable& sameFiles, JobProgress& progress,
             std::vector<Chunk> chunks, int outerCount)
        : m_input(input),
          m_context(context),
          m_seconds(seconds),
          m_skips(skips),
          m_sameFiles(sameFiles),
          m_progress(progress),
          m_chunks(std::move(chunks)),
          m_outerCount(outerCount),
          m_neededChunks(static_cast<int>(m_chunks.size())) {}

    void work();

    // After the threads are joined:
    bool covered() const { return m_frontier >= m_neededChunks.load(); }
    int usableChunks() const { return std::min(m_frontier, m_neededChunks.load()); }
    const Chunk& chunk(int k) const { return m_chunks[static_cast<std::size_t>(k)]; }

  private:
    bool processChunk(Chunk& chunk, int k, FirstImageState& state, std::vector<std::uint8_t>& keep,
                      std::vector<SecondHit>& hits);
    void outerPass(int i, FirstImageState& state, std::vector<std::uint8_t>& keep,
                   std::vector<SecondHit>& hits, Chunk& out);
    void complete(int k);

    const FindRunInput& m_input;
    const CompareContext& m_context;
    const SecondSet& m_seconds;
    const PairSkips& m_skips;
    const SameFileTable& m_sameFiles;
    JobProgress& m_progress;
    std::vector<Chunk> m_chunks;
    const int m_outerCount;

    std::atomic<int> m_nextChunk{0};
    // Chunks from here on cannot reach the log: the pairs limit was passed before them.
    std::atomic<int> m_neededChunks;
    std::mutex m_mutex;
    int m_frontier = 0;  // the chunks before it are done
    long long m_prefixMatches = 0;
};

void RunState::work() {
    FirstImageState state;
    std::vector<std::uint8_t> keep(static_cast<std::size_t>(m_seconds.size()));
    std::vector<SecondHit> hits;
    for (;;) {
        const int k = m_nextChunk.fetch_add(1);
        if (k >= m_neededChunks.load()) {
            return;
        }
        Chunk& chunk = m_chunks[static_cast<std::size_t>(k)];
        if (!processChunk(chunk, k, state, keep, hits)) {
            if (m_progress.stopRequested()) {
                return;
            }
            continue;
        }
        complete(k);
    }
}

bool RunState::processChunk(Chunk& chunk, int k, FirstImageState& state,
                            std::vector<std::uint8_t>& keep, std::vector<SecondHit>& hits) {
    const auto limit = static_cast<std::size_t>(m_input.dupsLimit);
    for (int i = chunk.begin; i < chunk.end; ++i) {
        if (m_progress.stopRequested() || k >= m_neededChunks.load(std::memory_order_relaxed)) {
            return false;
        }
        outerPass(i, state, keep, hits, chunk);
        // The match past the limit ends a sequential run; none after it counts.
        if (chunk.kept > limit) {
            trimPastLimit(chunk, limit);
            break;
        }
    }
    return true;
}

void RunState::outerPass(int i, FirstImageState& state, std::vector<std::uint8_t>& keep,
                         std::vector<SecondHit>& hits, Chunk& out) {
    const FindSettings& settings = m_context.settings();
    const bool within = m_input.mode == CompareMode::WithinPrimary;
    const bool single = m_input.mode == CompareMode::SingleToPrimary;
    const ImageRecord& first = within || single
                                   ? m_input.primaryRecords[static_cast<std::size_t>(i)]
                                   : m_input.secondaryRecords[static_cast<std::size_t>(i)];
    if (!PrepareFirstImage(settings, first, state)) {
        return;
    }
    hits.clear();
    m_seconds.scan(m_context, state, within ? i + 1 : 0, m_seconds.size(), keep, hits);
    for (const SecondHit& hit : hits) {
        // A file is not its own duplicate, under whatever names it was found.
        if (m_sameFiles.excluded(i, hit.index)) {
            continue;
        }
        const bool leftOut = m_skips.contains(i, hit.index);
        out.matches.push_back({i, hit.index, hit.value, leftOut});
        out.kept += leftOut ? 0 : 1;
    }
}

void RunState::complete(int k) {
    const std::lock_guard lock(m_mutex);
    m_chunks[static_cast<std::size_t>(k)].done = true;
    const int count = static_cast<int>(m_chunks.size());
    while (m_frontier < m_neededChunks.load() &&
           m_chunks[static_cast<std::size_t>(m_frontier)].done) {
        m_prefixMatches +=
            static_cast<long long>(m_chunks[static_cast<std::size_t>(m_frontier)].kept);
        ++m_frontier;
        if (m_prefixMatches > m_input.dupsLimit) {
            m_neededChunks.store(m_frontier);
        }
    }
    const int pass =
        m_frontier < count ? m_chunks[static_cast<std::size_t>(m_frontier)].begin : m_outerCount;
    m_progress.progress.store(m_frontier >= m_neededChunks.load() ? m_outerCount : pass);
    m_progress.found.store(static_cast<int>(
        std::min<long long>(m_prefixMatches, static_cast<long long>(m_input.dupsLimit) + 1)));
}

LogHeaderInfo HeaderFor(const FindRunInput& input, const FindSettings& settings) {
    LogHeaderInfo info;
    info.mode = static_cast<int>(input.mode);
    info.dupsLimit = input.dupsLimit;
    info.startTime = input.startTime != 0 ? input.startTime : std::time(nullptr);
    info.primaryCount = static_cast<int>(input.primaryRecords.size());
    info.secondaryCount = static_cast<int>(input.secondaryRecords.size());
    info.primarySourceNote = input.primarySourceNote;
    if (input.primaryFiles.size() > 1) {
        const std::string of = " of " + std::to_string(input.primaryFiles.size()) + ": ";
        for (std::size_t k = 0; k < input.primaryFiles.size(); ++k) {
            const SearchedFile& file = input.primaryFiles[k];
            info.primarySourceLines.push_back("; Data file " + std::to_string(k + 1) + of +
                                              file.path + ", " + std::to_string(file.count) +
                                              " images");
            info.primarySourceLines.push_back(file.sourceNote);
        }
    }
    info.secondarySourceNote = input.secondarySourceNote;
    info.low = input.low;
    info.high = input.high;
    info.restriction = static_cast<int>(settings.restriction);
    info.aspectTol = settings.aspectTol;
    info.sizeTol = settings.sizeTol;
    info.method = settings.method;
    info.adjustColor = settings.adjustColor;
    info.adjustAmount = settings.adjustAmount;
    info.checkMirror = settings.checkMirror;
    info.checkRotation = settings.checkRotation;
    return info;
}

// Appends the header and the records of the matches in sequential order, up
// to the pairs limit, and the pairs written; returns how many matches were
// counted (limit + 1 when the limit stopped the run) and adds the pairs left
// out before that to `leftOut`.
int WriteMatches(const FindRunInput& input, const FindSettings& settings, const RunState& state,
                 std::vector<std::string>& lines, std::vector<FoundPair>& pairs, int& leftOut) {
    std::size_t found = 0;
    for (int k = 0; k < state.usableChunks(); ++k) {
        found += state.chunk(k).kept;
    }
    const std::size_t written = std::min(found, static_cast<std::size_t>(input.dupsLimit));
    lines.reserve(24 + 2 * input.primaryFiles.size() + 5 * written);
    pairs.reserve(written);
    WriteLogHeader(lines, HeaderFor(input, settings));
    const bool single = input.mode == CompareMode::SingleToPrimary;
    const auto firstPaths =
        input.mode == CompareMode::SecondaryToPrimary ? input.secondaryPaths : input.primaryPaths;
    int count = 0;
    for (int k = 0; k < state.usableChunks() && count <= input.dupsLimit; ++k) {
        for (const Match& match : state.chunk(k).matches) {
            if (match.leftOut) {
                ++leftOut;
                continue;
            }
            if (++count > input.dupsLimit) {
                break;
            }
            const std::string& path1 = single ? input.singlePath : PathAt(firstPaths, match.first);
            const std::string& path2 =
                PathAt(input.primaryPaths, single ? match.first : match.second);
            AddMatchRecord(lines, FormatTenths(match.value), count, input.dupsLimit, path1, path2);
            pairs.push_back(
                {single ? -1 : match.first, single ? match.first : match.second, match.value});
        }
    }
    return count;
}

// The paths of the outer entries and of those they are compared with.
SameFileTable SameFilesOf(const FindRunInput& input) {
    switch (input.mode) {
        case CompareMode::SecondaryToPrimary:
            return SameFileTable(input.secondaryPaths, input.primaryPaths);
        case CompareMode::SingleToPrimary:
            return SameFileTable(input.primaryPaths,
                                 std::span<const std::string>(&input.singlePath, 1));
        default:
            return SameFileTable(input.primaryPaths, input.primaryPaths);
    }
}

int ThreadCount(int requested, int outerCount) {
    const int threads =
        requested > 0 ? requested : static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(threads, 1, std::max(1, outerCount));
}

}  // namespace

FindRunResult RunFindDups(const FindRunInput& input, JobProgress& progress) {
    FindRunResult result;
    if (input.mode != CompareMode::WithinPrimary && input.mode != CompareMode::SecondaryToPrimary &&
        input.mode != CompareMode::SingleToPrimary) {
        return result;
    }
    std::unique_ptr<RmsTable> ownTable;
    if (input.rmsTable == nullptr) {
        ownTable = std::make_unique<RmsTable>();
    }
    const RmsTable& table = input.rmsTable != nullptr ? *input.rmsTable : *ownTable;

    FindSettings settings = NormalizedSettings(input.settings);
    if (input.mode == CompareMode::SingleToPrimary) {
        settings.prescreen = false;  // a single image is never pre-screened
    }
    const CompareContext context(table, settings, input.low, input.high);
    const int primaryCount = static_cast<int>(input.primaryRecords.size());
    int outerCount = 0;
    std::span<const ImageRecord> secondRecords = input.primaryRecords;
    switch (input.mode) {
        case CompareMode::WithinPrimary:
            outerCount = std::max(0, primaryCount - 1);
            break;
        case CompareMode::SecondaryToPrimary:
            outerCount = static_cast<int>(input.secondaryRecords.size());
            break;
        default:
            outerCount = input.singleRecord != nullptr ? primaryCount : 0;
            secondRecords = input.singleRecord != nullptr
                                ? std::span<const ImageRecord>(input.singleRecord, 1)
                                : std::span<const ImageRecord>();
            break;
    }
    const int reportedTotal = input.mode == CompareMode::SecondaryToPrimary
                                  ? static_cast<int>(input.secondaryRecords.size())
                                  : primaryCount;
    progress.total.store(reportedTotal);
    progress.progress.store(0);
    progress.found.store(0);

    const SecondSet seconds(secondRecords, settings);
    const SameFileTable sameFiles = SameFilesOf(input);
    // A single image is one comparison per pass: not worth a thread.
    const int threads =
        input.mode == CompareMode::SingleToPrimary ? 1 : ThreadCount(input.threads, outerCount);
    std::vector<Chunk> chunks = MakeChunks(input.mode, outerCount, seconds.size(), threads);
    const PairSkips skips = PairSkips::For(input);
    RunState state(input, context, seconds, skips, sameFiles, progress, std::move(chunks),
                   outerCount);
    {
        std::vector<std::jthread> helpers;
        for (int t = 1; t < threads; ++t) {
            helpers.emplace_back([&state] { state.work(); });
        }
        state.work();
    }

    const int count =
        WriteMatches(input, settings, state, result.lines, result.pairs, result.leftOut);
    if (!state.covered()) {
        return result;  // aborted: no trailer, no file
    }
    result.completed = true;
    result.stoppedAtLimit = count > input.dupsLimit;
    result.matchTotal = result.stoppedAtLimit ? input.dupsLimit : count;
    if (result.leftOut > 0) {
        InsertLeftOutLine(result.lines, result.leftOut);
    }
    if (result.stoppedAtLimit) {
        InsertLimitLine(result.lines, input.dupsLimit);
    }
    WriteLogTrailer(result.lines, result.matchTotal);
    if (!input.logPath.empty()) {
        result.logSaved = SaveLogList(input.logPath, result.lines);
    }
    progress.progress.store(reportedTotal);
    progress.found.store(result.matchTotal);
    return result;
}
