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

std::optional<std::string> exportText(const CliOptions& options, const FindRunInput& input,
                                      const FindRunResult& result) {
    const std::vector<ExportedPair> pairs = PairsFromLogLines(result.lines);
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
    return PairsAsJson(pairs, info);
}

}  // namespace

int RunFind(const CliOptions& options, ConsolePrompter& prompter) {
    FindRequest request;
    request.settings = options.settings;
    request.dupsLimit = options.dupsLimit;

    DatafileSlot primary;
    DatafileSlot secondary;
    ImageRecord single;
    if (const std::string problem = ReadDataInto(options.input, 0, primary, prompter);
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
    if (const std::string problem =
            OutputProblem(options.output, {options.input, options.secondary, request.singlePath});
        !problem.empty()) {
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
    } else if (const std::optional<std::string> text = exportText(options, input, result); !text) {
        return Fail(
            "a path holds a tab or a line break, which --format groups cannot carry; "
            "use csv or json");
    } else if (!WriteFileAtomically(options.output, *text)) {
        return Fail("cannot write " + options.output);
    }
    if (!options.quiet) {
        const int images =
            static_cast<int>(input.primaryRecords.size() + input.secondaryRecords.size());
        Report(Tone::Plain,
               "wrote " + options.output + ": " + std::to_string(result.matchTotal) +
                   " matching pairs from " + std::to_string(images) + " total image files" +
                   (result.stoppedAtLimit ? " (stopped at the pairs limit)" : "") +
                   (result.leftOut > 0
                        ? ", " + std::to_string(result.leftOut) + " marked not a duplicate left out"
                        : "") +
                   ", " + std::to_string(std::llround(outcome.work)) + " pairs compared in " +
                   DurationAndRate(outcome.seconds, outcome.work, "pairs"));
    }
    return kExitOk;
}
