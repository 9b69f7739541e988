#include <algorithm>
#include <cmath>
#include <optional>

#include "atomic_file.h"
#include "cli_files.h"
#include "commands.h"
#include "console_style.h"
#include "find_request.h"
#include "image_loading.h"
#include "not_dup_list.h"
#include "pair_export.h"
#include "progress_display.h"
#include "signature.h"
#include "source_gather.h"
#include "stop_signal.h"
#include "tenths.h"

namespace {

const char* const kModeNames[] = {"primary", "secondary", "single"};
const char* const kMethodNames[] = {"euclidean", "weighted", "variance", "luminance"};

// Pairs compared once the run's outer passes before `done` are finished.
ProgressView findView(const FindRunInput& input) {
    const double primaries = static_cast<double>(input.primaryRecords.size());
    ProgressView view{"Comparing", "pairs", {}, true};
    switch (input.mode) {
        case CompareMode::WithinPrimary:
            view.work = [primaries](int done, int) {
                const double passes = done;
                return passes * (primaries - 1) - passes * (passes - 1) / 2;
            };
            break;
        case CompareMode::SecondaryToPrimary:
            view.work = [primaries](int done, int) { return done * primaries; };
            break;
        default:
            break;  // one pair per pass
    }
    return view;
}

// The data files of a run, in the order their records are searched.
struct SearchedData {
    std::vector<ExportedDataFile> files;  ///< the primaries, then any secondary
    std::vector<int> primaryEnds;         ///< where each primary file's records end
    std::string secondary;

    const std::string& primaryOf(int index) const {
        const auto it = std::upper_bound(primaryEnds.begin(), primaryEnds.end(), index);
        const auto file =
            std::min(it - primaryEnds.begin(), static_cast<std::ptrdiff_t>(primaryEnds.size()) - 1);
        return files[static_cast<std::size_t>(file)].path;
    }
};

std::optional<std::string> exportText(const CliOptions& options, const FindRunInput& input,
                                      const FindRunResult& result, const SearchedData& data) {
    std::vector<ExportedPair> pairs = PairsFromLogLines(result.lines);
    for (std::size_t k = 0; k < pairs.size() && k < result.pairs.size(); ++k) {
        const FoundPair& found = result.pairs[k];
        pairs[k].data1 = input.mode == CompareMode::SecondaryToPrimary ? data.secondary
                         : input.mode == CompareMode::SingleToPrimary
                             ? std::string()
                             : data.primaryOf(found.image1);
        pairs[k].data2 = data.primaryOf(found.image2);
    }
    if (options.format == PairFormat::Csv) {
        return PairsAsCsv(pairs);
    }
    if (options.format == PairFormat::Groups) {
        return PairsAsGroups(pairs);
    }
    PairExportInfo info;
    info.mode = kModeNames[static_cast<int>(input.mode)];
    info.low = FormatTenths(input.low);
    info.high = FormatTenths(input.high);
    info.method = kMethodNames[NormalizedSettings(input.settings).method];
    info.primaryCount = static_cast<int>(input.primaryRecords.size());
    info.secondaryCount = static_cast<int>(input.secondaryRecords.size());
    info.matchTotal = result.matchTotal;
    info.stoppedAtLimit = result.stoppedAtLimit;
    info.dataFiles = data.files;
    return PairsAsJson(pairs, info);
}

// Reads every primary data file into one slot, their records one after the
// other; "" when all were read.
std::string readPrimaries(const CliOptions& options, ConsolePrompter& prompter,
                          DatafileSlot& primary, FindRequest& request, SearchedData& data) {
    SlotEntries all;
    for (const std::string& path : options.inputs) {
        DatafileSlot part;
        if (std::string problem = ReadDataInto(path, 0, part, prompter); !problem.empty()) {
            return problem;
        }
        const std::string absolute = AbsolutePath(path);
        const int before = static_cast<int>(all.records.size());
        data.files.push_back({absolute, "primary", part.count()});
        data.primaryEnds.push_back(before + part.count());
        request.primaryFiles.push_back({absolute, part.count(), part.m_strSourceNote});
        if (options.inputs.size() == 1) {
            primary = std::move(part);
            request.primaryFiles.clear();  // one file: the log is the window's
            return {};
        }
        if (data.files.size() == 1) {
            primary.m_strSourceNote = part.m_strSourceNote;
        }
        AppendEntries(all, part.takeEntries());
    }
    primary.setEntries(std::move(all.paths), std::move(all.records));
    return {};
}

}  // namespace

int RunFind(const CliOptions& options, ConsolePrompter& prompter) {
    FindRequest request;
    request.settings = options.settings;
    request.dupsLimit = options.dupsLimit;

    DatafileSlot primary;
    DatafileSlot secondary;
    ImageRecord single;
    SearchedData data;
    if (const std::string problem = readPrimaries(options, prompter, primary, request, data);
        !problem.empty()) {
        return Fail(problem);
    }
    request.primary = &primary;
    if (!options.secondary.empty()) {
        if (const std::string problem = ReadDataInto(options.secondary, 1, secondary, prompter);
            !problem.empty()) {
            return Fail(problem);
        }
        request.mode = CompareMode::SecondaryToPrimary;
        request.secondary = &secondary;
        data.secondary = AbsolutePath(options.secondary);
        data.files.push_back({data.secondary, "secondary", secondary.count()});
    }
    if (!options.single.empty()) {
        request.singlePath = AbsolutePath(options.single);
        RgbBuffer image;
        if (!LoadImageFile(request.singlePath, image)) {
            return Fail("cannot read " + request.singlePath + ": " +
                        ImageLoadErrorText(LastImageError()));
        }
        MakeSingleImageSignature(image, kDefaultThumbFilter, single);
        request.mode = CompareMode::SingleToPrimary;
        request.singleRecord = &single;
    }
    std::vector<std::string> inputs = options.inputs;
    inputs.insert(inputs.end(), {options.secondary, request.singlePath});
    if (const std::string problem = OutputProblem(options.output, inputs); !problem.empty()) {
        return Fail(problem);
    }

    const MatchBand band = MatchBand::Corrected(options.lowText, options.highText);
    if (!options.quiet && (band.lowText != options.lowText || band.highText != options.highText)) {
        Report(Tone::Warning, "comparing within " + FormatTenths(band.low) + "% to " +
                                  FormatTenths(band.high) + "%");
    }
    NotDupList notDups;
    if (options.useNotDups) {
        if (const std::string problem = ReadNotDupsFor(NotDupListFile(), notDups);
            !problem.empty()) {
            return Fail(problem);
        }
    }
    FindRunInput input = MakeFindRunInput(request, band);
    input.threads = options.threads;
    input.notDuplicates = &notDups;
    if (options.format == PairFormat::Log) {
        input.logPath = options.output;
    }
    if (StopSignalled()) {
        return Stopped(options.output);
    }
    JobProgress progress;
    FindRunResult result;
    const ProgressOutcome outcome = RunWithProgress(
        progress, [&] { result = RunFindDups(input, progress); }, findView(input), options.quiet);
    if (!result.completed) {
        return Stopped(options.output);
    }
    if (options.format == PairFormat::Log) {
        if (!result.logSaved) {
            return Fail("cannot write " + options.output);
        }
    } else if (const std::optional<std::string> text = exportText(options, input, result, data);
               !text) {
        return Fail(
            "a path holds a tab or a line break, which --format groups cannot carry; "
            "use csv or json");
    } else if (!WriteFileAtomically(options.output, *text)) {
        return Fail("cannot write " + options.output);
    }
    if (!options.quiet) {
        const int images =
            static_cast<int>(input.primaryRecords.size() + input.secondaryRecords.size());
        Report(
            Tone::Plain,
            "wrote " + options.output + ": " + std::to_string(result.matchTotal) +
                " matching pairs from " + std::to_string(images) + " total image files" +
                (data.files.size() > 1 ? " in " + std::to_string(data.files.size()) + " data files"
                                       : std::string()) +
                (result.stoppedAtLimit ? " (stopped at the pairs limit)" : "") +
                (result.leftOut > 0
                     ? ", " + std::to_string(result.leftOut) + " marked not a duplicate left out"
                     : "") +
                ", " + std::to_string(std::llround(outcome.work)) + " pairs compared in " +
                DurationAndRate(outcome.seconds, outcome.work, "pairs"));
    }
    return kExitOk;
}
