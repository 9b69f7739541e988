#include <cstdio>

#include "app_paths.h"
#include "cli_files.h"
#include "commands.h"
#include "console_style.h"
#include "not_dup_list.h"

namespace {

std::string pairText(const std::string& a, const std::string& b) {
    return a + " and " + b;
}

// The stamps of both images, or the failure to report.
int stampBoth(const CliOptions& options, FileStamp& a, FileStamp& b) {
    for (const auto& [given, stamp] : {std::pair{&options.paths[0], &a}, {&options.paths[1], &b}}) {
        const std::string path = AbsolutePath(*given);
        if (!StampFile(path, *stamp)) {
            return Fail("cannot read " + path + ": not a readable file");
        }
    }
    return kExitOk;
}

int add(const CliOptions& options, const std::string& file, NotDupList& list) {
    FileStamp a;
    FileStamp b;
    if (const int status = stampBoth(options, a, b); status != kExitOk) {
        return status;
    }
    const std::string names = pairText(a.path, b.path);
    if (!list.add(a, b)) {
        return Fail("cannot mark " + names + ": they must be two paths without line breaks");
    }
    if (!SaveNotDupList(file, list)) {
        return Fail("cannot write " + file);
    }
    Report(Tone::Plain, "marked " + names + " not a duplicate");
    return kExitOk;
}

int remove(const CliOptions& options, const std::string& file, NotDupList& list) {
    const std::string a = AbsolutePath(options.paths[0]);
    const std::string b = AbsolutePath(options.paths[1]);
    if (!list.remove(a, b)) {
        Report(Tone::Warning, pairText(a, b) + " were not marked not a duplicate");
        return kExitOk;
    }
    if (!SaveNotDupList(file, list)) {
        return Fail("cannot write " + file);
    }
    Report(Tone::Plain, "forgot " + pairText(a, b));
    return kExitOk;
}

// One pair a line, tab-separated; a third field says when the pair no longer
// hides because a file changed or is gone.
int print(const NotDupList& list) {
    for (const NotDupPair& pair : list.pairs()) {
        FileStamp a;
        FileStamp b;
        const bool gone = !StampFile(pair.first.path, a) || !StampFile(pair.second.path, b);
        const bool changed = !gone && (a != pair.first || b != pair.second);
        std::printf("%s\t%s%s\n", pair.first.path.c_str(), pair.second.path.c_str(),
                    gone      ? "\tgone"
                    : changed ? "\tchanged"
                              : "");
    }
    return std::fflush(stdout) == 0 && std::ferror(stdout) == 0
               ? kExitOk
               : Fail("cannot write the standard output");
}

}  // namespace

std::string NotDupListFile() {
    return NotDupListPath(UserDataFolder().toStdString());
}

std::string ReadNotDupsFor(const std::string& file, NotDupList& list) {
    std::string problem;
    if (ReadNotDupList(file, list, problem) == NotDupReadResult::Invalid) {
        return problem +
               " (the list of pairs marked not a duplicate; find --no-ignore searches "
               "without it, ignore clear starts it anew)";
    }
    return {};
}

int RunIgnore(const CliOptions& options, ConsolePrompter&) {
    const std::string file = NotDupListFile();
    NotDupList list;
    if (options.input == "clear") {
        // Clearing is the way out of a damaged list, so it does not read it first.
        std::string problem;
        const NotDupReadResult read = ReadNotDupList(file, list, problem);
        if (read == NotDupReadResult::Missing) {
            Report(Tone::Plain, "no pairs are marked not a duplicate");
            return kExitOk;
        }
        const int count = list.count();
        if (!SaveNotDupList(file, NotDupList())) {
            return Fail("cannot write " + file);
        }
        Report(Tone::Plain, read == NotDupReadResult::Read
                                ? "forgot " + std::to_string(count) + " pairs"
                                : "replaced the damaged list " + file + " with an empty one");
        return kExitOk;
    }
    if (const std::string problem = ReadNotDupsFor(file, list); !problem.empty()) {
        return Fail(problem);
    }
    if (options.input == "add") {
        return add(options, file, list);
    }
    if (options.input == "remove") {
        return remove(options, file, list);
    }
    return print(list);
}
