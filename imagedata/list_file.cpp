#include "list_file.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <unordered_set>

#include "atomic_file.h"
#include "folder_walk.h"
#include "path_compare.h"
#include "regular_file.h"

namespace {

constexpr std::string_view kHeader = "START";
constexpr std::string_view kTrailer = "END";
constexpr std::string_view kNoSubfoldersTag = " (no subfolders)";
constexpr std::string_view kIncludeSubfoldersTag = " (include subfolders)";
constexpr std::string_view kLineEnd = "\r\n";

// Reads the lines after the header. A line ends at CR LF, at LF or at CR
// alone: lists written by hand or by scripts end their lines with LF.
class ListLineReader {
  public:
    /// Invalid: a line over kMaxListLineBytes, or more than kMaxListLines lines.
    enum class Status { Line, EndOfFile, Invalid };

    explicit ListLineReader(std::FILE* file) : m_file(file) {}

    /// True when the file starts with "START"; also skips the rest of that line.
    bool readHeader() {
        char header[5];
        if (std::fread(header, 1, sizeof header, m_file) != sizeof header ||
            std::string_view(header, sizeof header) != kHeader) {
            return false;
        }
        std::string rest;
        const Status status = next(rest);
        --m_lines;  // the header line is not one of the list's lines
        return status != Status::Invalid;
    }

    Status next(std::string& line) {
        line.clear();
        if (++m_lines > kMaxListLines) {
            return Status::Invalid;
        }
        for (;;) {
            const int c = std::getc(m_file);
            if (c == EOF) {
                return Status::EndOfFile;  // a last line without a line end is dropped
            }
            if (c == '\n') {
                return Status::Line;
            }
            if (c == '\r') {
                const int after = std::getc(m_file);
                if (after != '\n' && after != EOF) {
                    std::ungetc(after, m_file);
                }
                return Status::Line;
            }
            if (line.size() >= kMaxListLineBytes) {
                return Status::Invalid;
            }
            line.push_back(static_cast<char>(c));
        }
    }

  private:
    std::FILE* m_file;
    std::size_t m_lines = 0;
};

bool endsWith(const std::string& text, std::string_view tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

struct ListItem {
    std::string path;
    bool isFolder = false;
    bool subfolders = false;
};

// A line as the building readers see it: the subfolder tag cut off, trailing
// blanks removed, a folder when it then ends in the separator.
ListItem classifyLine(std::string line) {
    ListItem item;
    if (endsWith(line, kNoSubfoldersTag)) {
        line.resize(line.size() - kNoSubfoldersTag.size());
    }
    if (endsWith(line, kIncludeSubfoldersTag)) {
        line.resize(line.size() - kIncludeSubfoldersTag.size());
        item.subfolders = true;
    }
    const std::size_t keep = line.find_last_not_of(" \t\n\v\f\r");
    line.resize(keep == std::string::npos ? 0 : keep + 1);
    item.isFolder = !line.empty() && line.back() == kPathSeparator;
    item.path = NormalizePath(line);
    return item;
}

// An empty line names no file, so each stays an entry of its own, as always.
bool firstMention(HeldPaths& held, const std::string& path) {
    return path.empty() || held.insert(PathKey(path)).second;
}

bool isComment(const std::string& line) {
    return !line.empty() && line.front() == ';';
}

long fileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const long size = std::ftell(file);
    std::rewind(file);
    return size;
}

}  // namespace

int WriteListFile(const std::string& path, const std::vector<std::string>& entries,
                  Prompter& prompter) {
    if (entries.empty()) {
        prompter.inform("Orvex", "Image list is empty - nothing to save!", PromptIcon::Warning);
        return 0;
    }
    const auto broken = std::find_if(entries.begin(), entries.end(), HasLineBreak);
    if (broken != entries.end()) {
        prompter.inform("Error",
                        "Unable to save the image list file: " + path +
                            "\nAn entry holds a line break, which an image list cannot carry:\n" +
                            PathForDisplay(*broken),
                        PromptIcon::Error);
        return 0;
    }
    std::string bytes;
    const auto addLine = [&bytes](std::string_view line) {
        bytes.append(line);
        bytes.append(kLineEnd);
    };
    addLine(kHeader);
    addLine("; ; = Comment. Do not edit. To be run as a script.");
    addLine("; File must have no format characters.");
    for (const std::string& entry : entries) {
        addLine(entry);
    }
    addLine(kTrailer);
    if (!WriteFileAtomically(path, bytes)) {
        prompter.inform("Error", "Unable to save the image list file: " + path, PromptIcon::Error);
        return 0;
    }
    return 1;
}

int MergeListFile(const std::string& path, std::vector<std::string>& entries, Prompter& prompter,
                  bool* endLineMet) {
    const FilePtr file = OpenRegularFileForReading(path);
    if (!file) {
        prompter.inform("Error", "No file found at " + path, PromptIcon::Warning);
        return 0;
    }
    const auto refuse = [&prompter]() {
        prompter.inform("Orvex", "Not a valid Image list!", PromptIcon::Warning);
        return 0;
    };
    ListLineReader reader(file.get());
    if (fileSize(file.get()) <= 9 || !reader.readHeader()) {
        return refuse();
    }
    // Gather first, so a refused file leaves the list as it was.
    std::vector<std::string> lines;
    std::string line;
    for (;;) {
        const ListLineReader::Status status = reader.next(line);
        if (status == ListLineReader::Status::Invalid) {
            return refuse();
        }
        if (status == ListLineReader::Status::EndOfFile || line == kTrailer) {
            if (endLineMet != nullptr) {
                *endLineMet = line == kTrailer;  // also "END" as the file's last bytes
            }
            break;
        }
        if (!isComment(line)) {
            lines.push_back(line);
        }
    }
    if (entries.empty()) {
        entries.insert(entries.end(), lines.begin(), lines.end());
        return 1;
    }
    std::unordered_set<std::string> present;
    present.reserve(entries.size() + lines.size());
    for (const std::string& entry : entries) {
        present.insert(PathKey(entry));
    }
    for (std::string& added : lines) {
        if (present.insert(PathKey(added)).second) {
            entries.push_back(std::move(added));
        }
    }
    return 1;
}

int CountListFile(const std::string& path, bool quick) {
    DiskFolderSource disk;
    return CountListFileWith(disk, path, quick);
}

int CountListFileWith(FolderSource& source, const std::string& path, bool quick,
                      ImageFormats formats) {
    const FilePtr file = OpenRegularFileForReading(path);
    if (!file) {
        return 0;
    }
    ListLineReader reader(file.get());
    if (!reader.readHeader()) {
        return 0;
    }
    // Counted as the fill gathers: each path once.
    HeldPaths held;
    long long total = 0;
    std::string line;
    for (;;) {
        if (reader.next(line) != ListLineReader::Status::Line) {
            return 0;  // ended before "END", or not a list at all
        }
        if (line == kTrailer) {
            break;
        }
        if (isComment(line)) {
            continue;
        }
        const ListItem item = classifyLine(std::move(line));
        if (item.isFolder) {
            total += CountFolderImages(source, item.path, item.subfolders, quick, formats, &held);
        } else {
            total += firstMention(held, item.path) ? 1 : 0;
        }
        if (quick && total > 999) {
            break;
        }
    }
    return total > INT_MAX ? INT_MAX : static_cast<int>(total);
}

int ReadListFile(const std::string& path, DatafileSlot& slot, Prompter& prompter,
                 bool* userCancelled, ImageFormats formats) {
    DiskFolderSource disk;
    return ReadListFileWith(disk, path, slot, prompter, userCancelled, formats);
}

int ReadListFileWith(FolderSource& source, const std::string& path, DatafileSlot& slot,
                     Prompter& prompter, bool* userCancelled, ImageFormats formats) {
    slot.clearData();
    const FilePtr file = OpenRegularFileForReading(path);
    if (!file) {
        prompter.inform("Twinly", "Not a valid image list file path: " + path, PromptIcon::Warning);
        return 0;
    }
    const auto refuse = [&prompter, &slot]() {
        slot.clearData();
        prompter.inform("Twinly", "Not a valid Twinly image list!", PromptIcon::Warning);
        return 0;
    };
    ListLineReader reader(file.get());
    if (!reader.readHeader()) {
        return refuse();
    }
    // A file named twice, or again inside a listed folder, would be paired
    // with itself by every search.
    HeldPaths held;
    std::string line;
    for (;;) {
        if (reader.next(line) != ListLineReader::Status::Line) {
            return refuse();
        }
        if (line == kTrailer) {
            return 1;
        }
        if (isComment(line)) {
            continue;
        }
        ListItem item = classifyLine(std::move(line));
        if (item.isFolder) {
            AddFolderImages(source, item.path, item.subfolders, slot, prompter, userCancelled,
                            formats, &held);
        } else if (firstMention(held, item.path)) {
            slot.appendPath(item.path);  // a full list drops it silently
        }
    }
}
