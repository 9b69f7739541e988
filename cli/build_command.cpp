#include <algorithm>
#include <filesystem>
#include <iterator>
#include <limits>
#include <system_error>

#include "build_run.h"
#include "cli_files.h"
#include "commands.h"
#include "console_style.h"
#include "datafile_io.h"
#include "list_file.h"
#include "progress_display.h"
#include "qsettings_store.h"
#include "slot_build.h"
#include "split_set.h"
#include "stop_signal.h"
#include "stored_image_formats.h"

namespace fs = std::filesystem;

namespace {

// The command line's choice, else the window's stored switch.
ImageFormats formatsOf(const CliOptions& options) {
    if (options.formats) {
        return *options.formats;
    }
    QSettingsStore store;
    return ReadStoredImageFormats(store);
}

// Gathers the paths of the slot's source; "" when there are images to read.
std::string gatherProblem(SlotBuild& build, const DatafileSlot& slot, ConsolePrompter& prompter,
                          ImageFormats formats) {
    const std::string source =
        slot.m_nSourceKind == 0 ? slot.m_strSourceList : slot.m_strSourceFolder;
    const GatherResult gathered = build.gather(prompter, nullptr, formats);
    if (gathered != GatherResult::Stopped) {
        // The walk names files it had to leave out (their names hold line breaks).
        if (const std::string notes = prompter.takeMessages(); !notes.empty()) {
            Report(Tone::Warning, notes);
        }
    }
    switch (gathered) {
        case GatherResult::Gathered:
            return {};
        case GatherResult::TooFew:
            return source + ": " + kTooFewImagesMessage;
        case GatherResult::Stopped:
            break;
    }
    const std::string why = prompter.takeMessages();
    return "cannot read the images of " + source + ": " +
           (why.empty() ? "a folder cannot be listed" : why);
}

// Without --no-split the path list takes a whole source, to be split.
constexpr int kWholeSource = std::numeric_limits<int>::max();

// The image list a --no-split build cut short: ReadListFile drops the
// entries past a full list without a word (a folder walk says so itself).
void warnIfListCut(const DatafileSlot& source, const SlotBuild& build) {
    if (source.m_nSourceKind != 0 || build.pathCount() < kPathListCapacity) {
        return;
    }
    const int named = CountListFile(source.m_strSourceList, false);
    if (named > kPathListCapacity) {
        Report(Tone::Warning, source.m_strSourceList + " names " + std::to_string(named) +
                                  " images; a data file holds 32,000: only the first 32,000 "
                                  "are built (--no-split)");
    }
}

// Every file a set of `images` images is written to, each checked to be
// writable; "" when all are.
std::string partsProblem(const std::string& output, int images,
                         const std::vector<std::string>& inputs) {
    const int parts = SplitPartCount(images, kPathListCapacity);
    for (int part = 1; part <= parts; ++part) {
        if (std::string problem = OutputProblem(SplitPartPath(output, part), inputs);
            !problem.empty()) {
            return problem;
        }
    }
    return {};
}

bool sameSource(const DatafileSlot& a, const DatafileSlot& b) {
    return a.m_nSourceKind == b.m_nSourceKind && a.m_bSubfolders == b.m_bSubfolders &&
           a.m_strSourceFolder == b.m_strSourceFolder && a.m_strSourceList == b.m_strSourceList;
}

// A part after the last one written that an earlier, larger set left: it
// would be taken for part of this set.
void warnOfLeftoverPart(const std::string& output, int parts, const DatafileSlot& written,
                        ConsolePrompter& prompter) {
    const std::string next = SplitPartPath(output, parts + 1);
    std::error_code ec;
    DatafileSlot old;
    if (fs::is_regular_file(next, ec) && ReadDataInto(next, 0, old, prompter).empty() &&
        sameSource(old, written)) {
        Report(Tone::Warning, next +
                                  " is left from an earlier build of the same source and is "
                                  "not part of this set: remove it before searching the set");
    }
}

// Writes the built slot as one data file, or as a split set when it holds
// more than one data file takes; "" when every part was written.
std::string writeParts(DatafileSlot slot, const std::string& output, std::string& summary) {
    const int parts = SplitPartCount(slot.count(), kPathListCapacity);
    if (parts == 1) {
        summary = output + ": " + std::to_string(slot.count()) + " images";
        return WriteDatafile(output, slot) != 0 ? "" : "cannot write " + output;
    }
    SlotEntries all = slot.takeEntries();
    for (int part = 1; part <= parts; ++part) {
        const auto from = static_cast<std::size_t>(part - 1) * kPathListCapacity;
        const std::size_t to = std::min(all.paths.size(), from + kPathListCapacity);
        DatafileSlot piece = slot;
        piece.setEntries(
            std::vector<std::string>(std::make_move_iterator(all.paths.begin() + from),
                                     std::make_move_iterator(all.paths.begin() + to)),
            std::vector<ImageRecord>(all.records.begin() + from, all.records.begin() + to));
        const std::string path = SplitPartPath(output, part);
        if (WriteDatafile(path, piece) == 0) {
            return "cannot write " + path;
        }
        summary +=
            (part == 1 ? "" : ", ") + path + ": " + std::to_string(piece.count()) + " images";
    }
    return {};
}

// Reads the images of the gathered paths (reusing old records on a rebuild)
// and writes the data file, or the split set when the source needs several.
int readAndWrite(BuildRun run, SlotBuild& build, const CliOptions& options, ImageFormats formats,
                 const std::string& extra, ConsolePrompter& prompter) {
    if (StopSignalled()) {
        return Stopped(options.output);
    }
    const bool rebuild = run == BuildRun::RebuildPrimary;
    const int parts = SplitPartCount(build.pathCount(), kPathListCapacity);
    if (parts > 1) {
        // Said even with --quiet: the command writes files it was not named.
        Report(Tone::Plain, "the source holds " + std::to_string(build.pathCount()) +
                                " images, more than the 32,000 of one data file: writing " +
                                options.output + " and " +
                                (parts == 2 ? SplitPartPath(options.output, 2)
                                            : std::to_string(parts - 1) + " more, up to " +
                                                  SplitPartPath(options.output, parts)));
    }
    JobProgress progress;
    bool completed = false;
    const ImageSigner signer = MakeRunSigner(run, kDefaultThumbFilter, formats);
    const ProgressOutcome outcome = RunWithProgress(
        progress, [&] { completed = build.readImages(signer, options.threads, progress); },
        {rebuild ? "Updating" : "Reading", "images", {}, false}, options.quiet);
    if (!completed || StopSignalled()) {
        return Stopped(options.output);
    }
    DatafileSlot slot = build.takeSlot();
    const auto unreadable =
        std::count(slot.paths().begin(), slot.paths().end(), std::string(kDeletedEntry));
    const int images = slot.count();
    std::string written;
    if (const std::string problem = writeParts(slot, options.output, written); !problem.empty()) {
        return Fail(problem);
    }
    warnOfLeftoverPart(options.output, parts, slot, prompter);
    if (!options.quiet) {
        Report(Tone::Plain, "wrote " + written + extra +
                                (parts > 1 ? ", " + std::to_string(images) + " in all" : "") +
                                ", " + std::to_string(unreadable) + " unreadable, in " +
                                DurationAndRate(outcome.seconds, outcome.work, "images"));
    }
    return kExitOk;
}

// Reads `first` and the further parts of its split set (DATA-2.dup, ...
// beside it, of the same source) into `slot`, in order; "" when read.
std::string readSet(const std::string& first, DatafileSlot& slot, ConsolePrompter& prompter,
                    int& parts) {
    if (std::string problem = ReadDataInto(first, 0, slot, prompter); !problem.empty()) {
        return problem;
    }
    SlotEntries all = slot.takeEntries();
    parts = 1;
    for (std::error_code ec;; ++parts) {
        const std::string next = SplitPartPath(first, parts + 1);
        DatafileSlot part;
        if (!fs::is_regular_file(next, ec)) {
            break;
        }
        if (std::string problem = ReadDataInto(next, 0, part, prompter); !problem.empty()) {
            return problem;
        }
        if (!sameSource(part, slot)) {
            break;
        }
        AppendEntries(all, part.takeEntries());
    }
    slot.setEntries(std::move(all.paths), std::move(all.records));
    return {};
}

}  // namespace

int RunBuild(const CliOptions& options, ConsolePrompter& prompter) {
    const std::string source = AbsolutePath(options.input);
    DatafileSlot slot;
    std::error_code ec;
    if (fs::is_directory(source, ec)) {
        slot.m_nSourceKind = 1;
        slot.m_strSourceFolder = source;
        slot.m_bSubfolders = options.recursive ? 1 : 0;
    } else if (fs::exists(source, ec)) {
        slot.m_nSourceKind = 0;
        slot.m_strSourceList = source;
        if (options.recursive && !options.quiet) {
            Report(Tone::Warning,
                   "--recursive does not apply to an image list: its folder lines say whether "
                   "subfolders are included");
        }
    } else {
        return Fail("cannot read " + options.input + ": no such file or folder");
    }
    if (const std::string problem = OutputProblem(options.output, {source}); !problem.empty()) {
        return Fail(problem);
    }
    const ImageFormats formats = formatsOf(options);
    slot.setPathCapacity(options.noSplit ? kPathListCapacity : kWholeSource);
    SlotBuild build(BuildRun::BuildPrimary, slot);
    if (const std::string problem = gatherProblem(build, slot, prompter, formats);
        !problem.empty()) {
        return Fail(problem);
    }
    if (options.noSplit) {
        warnIfListCut(slot, build);
    }
    if (const std::string problem = partsProblem(options.output, build.pathCount(), {source});
        !problem.empty()) {
        return Fail(problem);
    }
    return readAndWrite(BuildRun::BuildPrimary, build, options, formats, "", prompter);
}

int RunRebuild(const CliOptions& options, ConsolePrompter& prompter) {
    DatafileSlot slot;
    int parts = 1;
    if (const std::string problem = readSet(options.input, slot, prompter, parts);
        !problem.empty()) {
        return Fail(problem);
    }
    const std::string list = slot.m_nSourceKind == 0 ? slot.m_strSourceList : "";
    if (const std::string problem = OutputProblem(options.output, {list}); !problem.empty()) {
        return Fail(problem);
    }
    if (parts > 1 && !options.quiet) {
        Report(Tone::Plain, "rebuilding the " + std::to_string(parts) + " files of the set of " +
                                options.input + " (" + std::to_string(slot.count()) + " images)");
    }
    PurgeMissingRecords(slot);
    const int before = slot.count();
    slot.setPathCapacity(options.noSplit ? kPathListCapacity : kWholeSource);
    SlotEntries old = slot.takeEntries();
    const ImageFormats formats = formatsOf(options);
    SlotBuild build(BuildRun::RebuildPrimary, slot, std::move(old));
    if (const std::string problem = gatherProblem(build, slot, prompter, formats);
        !problem.empty()) {
        return Fail(problem);
    }
    if (options.noSplit) {
        warnIfListCut(slot, build);
    }
    if (const std::string problem = partsProblem(options.output, build.pathCount(), {list});
        !problem.empty()) {
        return Fail(problem);
    }
    const int change = build.pathCount() - before;
    const std::string extra =
        " (count change " + std::string(change > 0 ? "+" : "") + std::to_string(change) + ")";
    return readAndWrite(BuildRun::RebuildPrimary, build, options, formats, extra, prompter);
}
