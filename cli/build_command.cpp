#include <algorithm>
#include <filesystem>
#include <system_error>

#include "build_run.h"
#include "cli_files.h"
#include "commands.h"
#include "console_style.h"
#include "datafile_io.h"
#include "progress_display.h"
#include "qsettings_store.h"
#include "slot_build.h"
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

// Reads the images of the gathered paths (reusing old records on a rebuild)
// and writes the data file.
int readAndWrite(BuildRun run, SlotBuild& build, const CliOptions& options, ImageFormats formats,
                 const std::string& extra) {
    if (StopSignalled()) {
        return Stopped(options.output);
    }
    const bool rebuild = run == BuildRun::RebuildPrimary;
    JobProgress progress;
    bool completed = false;
    const ImageSigner signer = MakeRunSigner(run, kDefaultThumbFilter, formats);
    const ProgressOutcome outcome = RunWithProgress(
        progress, [&] { completed = build.readImages(signer, options.threads, progress); },
        {rebuild ? "Updating" : "Reading", "images", {}, false}, options.quiet);
    if (!completed || StopSignalled()) {
        return Stopped(options.output);
    }
    const DatafileSlot slot = build.takeSlot();
    if (WriteDatafile(options.output, slot) == 0) {
        return Fail("cannot write " + options.output);
    }
    if (!options.quiet) {
        const auto unreadable =
            std::count(slot.paths().begin(), slot.paths().end(), std::string(kDeletedEntry));
        Report(Tone::Plain, "wrote " + options.output + ": " + std::to_string(slot.count()) +
                                " images" + extra + ", " + std::to_string(unreadable) +
                                " unreadable, in " +
                                DurationAndRate(outcome.seconds, outcome.work, "images"));
    }
    return kExitOk;
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
    SlotBuild build(BuildRun::BuildPrimary, slot);
    if (const std::string problem = gatherProblem(build, slot, prompter, formats);
        !problem.empty()) {
        return Fail(problem);
    }
    return readAndWrite(BuildRun::BuildPrimary, build, options, formats, "");
}

int RunRebuild(const CliOptions& options, ConsolePrompter& prompter) {
    DatafileSlot slot;
    if (const std::string problem = ReadDataInto(options.input, 0, slot, prompter);
        !problem.empty()) {
        return Fail(problem);
    }
    const std::string list = slot.m_nSourceKind == 0 ? slot.m_strSourceList : "";
    if (const std::string problem = OutputProblem(options.output, {list}); !problem.empty()) {
        return Fail(problem);
    }
    PurgeMissingRecords(slot);
    const int before = slot.count();
    SlotEntries old = slot.takeEntries();
    const ImageFormats formats = formatsOf(options);
    SlotBuild build(BuildRun::RebuildPrimary, slot, std::move(old));
    if (const std::string problem = gatherProblem(build, slot, prompter, formats);
        !problem.empty()) {
        return Fail(problem);
    }
    const int change = build.pathCount() - before;
    const std::string extra =
        " (count change " + std::string(change > 0 ? "+" : "") + std::to_string(change) + ")";
    return readAndWrite(BuildRun::RebuildPrimary, build, options, formats, extra);
}
