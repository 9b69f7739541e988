#include "log_writer.h"

#include <algorithm>
#include <array>

#include "atomic_file.h"
#include "match_list.h"
#include "tenths.h"

namespace {

constexpr std::array<const char*, 4> kMethodNames = {
    "Color (euclidean)", "Color (weighted euclidean)", "Color (variance)", "Luminance"};

std::string DateLine(std::time_t when) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &when);
#else
    localtime_r(&when, &local);
#endif
    char text[128] = {};
    if (std::strftime(text, sizeof text, "%c", &local) == 0) {
        text[0] = '\0';
    }
    return std::string("; ") + text;
}

void InsertAtFourth(std::vector<std::string>& lines, std::string line) {
    const auto at = std::min<std::size_t>(3, lines.size());
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

bool CarriesLineBreak(const std::string& line) {
    return line.find_first_of("\r\n") != std::string::npos;
}

// Header lines only inform the reader, so a line break in a source path
// becomes a "?" there rather than costing the whole log.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = '?';
        }
    }
    return text;
}

bool WriteLines(const std::string& path, const std::string* before,
                const std::vector<std::string>& lines, const std::string* after) {
    if (std::any_of(lines.begin(), lines.end(), CarriesLineBreak)) {
        return false;
    }
    AtomicFileWriter writer(path);
    if (before != nullptr) {
        writer.write(*before);
        writer.write("\r\n");
    }
    for (const std::string& line : lines) {
        writer.write(line);
        writer.write("\r\n");
    }
    if (after != nullptr) {
        writer.write(*after);
        writer.write("\r\n");
    }
    return writer.commit();
}

}  // namespace

namespace {

void appendPrimarySource(std::vector<std::string>& lines, const LogHeaderInfo& info) {
    if (info.primarySourceLines.empty()) {
        lines.push_back(OneLine(info.primarySourceNote));
    } else {
        for (const std::string& line : info.primarySourceLines) {
            lines.push_back(OneLine(line));
        }
    }
}

}  // namespace

void WriteLogHeader(std::vector<std::string>& lines, const LogHeaderInfo& info) {
    lines.emplace_back("DUPS");
    lines.push_back("; --- Duplicates Info -- recording stops at " +
                    std::to_string(info.dupsLimit) + " pairs --");
    lines.push_back(DateLine(info.startTime));
    switch (info.mode) {
        case 1:
            lines.emplace_back(
                "; --- Compared: Secondary datafile images to Primary datafile images");
            lines.emplace_back("; --- Secondary datafile (1st image of pair):");
            lines.push_back("; Total image files: " + std::to_string(info.secondaryCount));
            lines.push_back(OneLine(info.secondarySourceNote));
            lines.emplace_back("; --- Primary datafile (2nd image of pair):");
            lines.push_back("; Total image files: " + std::to_string(info.primaryCount));
            appendPrimarySource(lines, info);
            break;
        case 2:
            lines.emplace_back("; --- Compared: Single image to primary datafile");
            lines.push_back("; Total image files: " + std::to_string(info.primaryCount));
            appendPrimarySource(lines, info);
            break;
        default:
            lines.emplace_back("; --- Compared: Images all within Primary datafile");
            lines.push_back("; Total image files: " + std::to_string(info.primaryCount));
            appendPrimarySource(lines, info);
            break;
    }
    lines.push_back("; Consider a duplicate if match is between " + FormatTenths(info.low) +
                    "% and " + FormatTenths(info.high) + "%");
    switch (info.restriction) {
        case 1:
            lines.push_back("; Match restrictions: Same aspect ratio (tolerance " +
                            std::to_string(info.aspectTol) + "%)");
            break;
        case 2:
            lines.push_back("; Match restrictions: Same size (tolerance  " +
                            std::to_string(info.sizeTol) + "%)");
            break;
        default:
            lines.emplace_back("; Match restrictions: None");
            break;
    }
    lines.push_back(std::string("; Match method: ") +
                    kMethodNames[static_cast<std::size_t>(std::clamp(info.method, 0, 3))]);
    if (info.adjustColor) {
        lines.push_back("; Adjust mean color difference before matching by " +
                        std::to_string(info.adjustAmount) + " %");
    } else {
        lines.emplace_back("; No mean difference adjustment when matching");
    }
    if (info.checkMirror) {
        lines.emplace_back("; additional check for mirror images");
    }
    if (info.checkRotation) {
        lines.emplace_back("; additional check for rotated images");
    }
    lines.emplace_back("-- Matches --");
}

void AddMatchRecord(std::vector<std::string>& lines, const std::string& percent, int matchNo,
                    int dupsLimit, const std::string& path1, const std::string& path2) {
    if (matchNo > dupsLimit) {
        return;
    }
    lines.push_back("; Match no: " + std::to_string(matchNo));
    lines.push_back("Image 1 path: " + path1);
    lines.push_back("Image 2 path: " + path2);
    lines.push_back("; % matching: " + percent);
    lines.emplace_back("; -------");
}

void InsertLimitLine(std::vector<std::string>& lines, int dupsLimit) {
    InsertAtFourth(lines,
                   "; Terminated at matching pairs limit " + std::to_string(dupsLimit) + ".");
}

void InsertLeftOutLine(std::vector<std::string>& lines, int leftOut) {
    InsertAtFourth(lines, "; Pairs marked not duplicate left out: " + std::to_string(leftOut));
}

void WriteLogTrailer(std::vector<std::string>& lines, int total) {
    InsertAtFourth(lines, "; Match total: " + std::to_string(total));
    if (total == 0) {
        lines.emplace_back(";");
        lines.emplace_back("; No duplicates");
    }
    lines.emplace_back(";");
    lines.emplace_back("END");
}

bool FinishLog(std::vector<std::string>& lines, int total, const std::string& path) {
    WriteLogTrailer(lines, total);
    return SaveLogList(path, lines);
}

bool SaveLogList(const std::string& path, const std::vector<std::string>& lines) {
    if (lines.empty()) {
        return false;
    }
    return WriteLines(path, nullptr, lines, nullptr);
}

bool SaveLogView(const std::string& path, const MatchList& list) {
    if (list.m_logView.empty()) {
        return false;
    }
    static const std::string kFirst = "DUPS";
    static const std::string kLast = "END";
    return WriteLines(path, &kFirst, list.m_logView, &kLast);
}

WriteBackResult WriteLogBack(const std::string& path, MatchList& list) {
    if (list.logChangedOnDisk(path)) {
        return WriteBackResult::ChangedOnDisk;
    }
    if (!SaveLogView(path, list)) {
        return WriteBackResult::Failed;
    }
    list.m_readStamp = DiskStampOf(path);
    return WriteBackResult::Written;
}
