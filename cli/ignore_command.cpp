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

int add(const CliOptions& options, const std::string& file) {
    const std::string a = AbsolutePath(options.paths[0]);
    const std::string b = AbsolutePath(options.paths[1]);
    std::string problem;
    if (MarkNotDuplicate(file, a, b, problem) == NotDupChange::Failed) {
        return Fail(problem);
    }
    Report(Tone::Plain, "marked " + pairText(a, b) + " not a duplicate");
    return kExitOk;
}

int remove(const CliOptions& options, const std::string& file) {
    const std::string a = AbsolutePath(options.paths[0]);
    const std::string b = AbsolutePath(options.paths[1]);
    std::string problem;
    switch (ForgetNotDuplicate(file, a, b, problem)) {
        case NotDupChange::Failed:
            return Fail(problem);
        case NotDupChange::NotRecorded:
            Report(Tone::Warning, pairText(a, b) + " were not marked not a duplicate");
            return kExitOk;
        default:
            Report(Tone::Plain, "forgot " + pairText(a, b));
            return kExitOk;
    }
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
        // Clearing is the way out of a damaged list: it is replaced, not refused.
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
    if (options.input == "add") {
        return add(options, file);
    }
    if (options.input == "remove") {
        return remove(options, file);
    }
    if (const std::string problem = ReadNotDupsFor(file, list); !problem.empty()) {
        return Fail(problem);
    }
    return print(list);
}
