#include "cli_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

#include "console_style.h"
#include "datafile_io.h"

namespace fs = std::filesystem;

namespace {

std::string SpecialFileKind(mode_t mode) {
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "a device";
}

}  // namespace

int Fail(const std::string& message) {
    Report(Tone::Error, message);
    return kExitFailure;
}

int Stopped(const std::string& output) {
    Report(Tone::Warning, "stopped; " + output + " was not written");
    return kExitStopped;
}

std::string AbsolutePath(const std::string& path) {
    std::error_code ec;
    fs::path absolute = fs::absolute(fs::path(path), ec);
    if (ec) {
        return path;
    }
    absolute = absolute.lexically_normal();
    std::string text = absolute.string();
    while (text.size() > 1 && text.back() == fs::path::preferred_separator) {
        text.pop_back();
    }
    return text;
}

std::string OutputProblem(const std::string& output, const std::vector<std::string>& inputs) {
    std::error_code ec;
    const fs::path target = fs::absolute(fs::path(output), ec);
    if (fs::is_directory(target, ec)) {
        return "cannot write " + output + ": it is a folder";
    }
    const fs::path folder = target.parent_path();
    if (!fs::is_directory(folder, ec)) {
        return "cannot write " + output + ": no folder " + folder.string();
    }
    for (const std::string& input : inputs) {
        if (!input.empty() && fs::equivalent(target, fs::path(input), ec)) {
            return "will not write " + output + ": it is an input of this command";
        }
    }
    return {};
}

std::string ReadDataInto(const std::string& path, int slotNumber, DatafileSlot& slot,
                         ConsolePrompter& prompter) {
    // Looked at, never opened: opening a FIFO waits for a writer that may never come.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return "cannot read " + path + ": " + std::strerror(errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return "cannot read " + path + ": it is a folder";
    }
    if (!S_ISREG(info.st_mode)) {
        return "cannot read " + path + ": it is " + SpecialFileKind(info.st_mode) +
               ", not an image data file";
    }
    if (::access(path.c_str(), R_OK) != 0) {
        return "cannot read " + path + ": " + std::strerror(errno);
    }
    if (ReadDatafile(path, slotNumber, slot, prompter) == 0) {
        const std::string why = prompter.takeMessages();
        return "cannot read " + path + ": " +
               (why.empty() ? "not a complete image data file" : why);
    }
    slot.m_strSourceNote = slot.sourceNote();
    return {};
}

void AppendEntries(SlotEntries& all, SlotEntries more) {
    if (all.paths.empty()) {
        all = std::move(more);
        return;
    }
    std::move(more.paths.begin(), more.paths.end(), std::back_inserter(all.paths));
    all.records.insert(all.records.end(), more.records.begin(), more.records.end());
}
