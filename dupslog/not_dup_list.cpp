#include "not_dup_list.h"

#include <charconv>
#include <chrono>
#include <filesystem>

#include "atomic_file.h"
#include "path_compare.h"
#include "regular_file.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kMagic = "NOTDUPS";
constexpr const char* kEnd = "END";

bool usablePath(const std::string& path) {
    return !path.empty() && path.size() <= kMaxNotDupPathBytes &&
           path.find_first_of("\r\n") == std::string::npos;
}

// Reads one line without its LF or CR LF; false at the end of the file or for
// a line past the length limit (`tooLong` set).
bool readLine(std::FILE* file, std::string& line, bool& tooLong) {
    line.clear();
    int c = 0;
    while ((c = std::getc(file)) != EOF && c != '\n') {
        if (line.size() > kMaxNotDupPathBytes) {
            tooLong = true;
            return false;
        }
        line += static_cast<char>(c);
    }
    if (c == EOF && line.empty()) {
        return false;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}

template <typename Number>
bool parseNumber(std::string_view text, Number& out) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size() && !text.empty() &&
           text[0] != '+';
}

// "size modified size modified"
bool parseStamps(const std::string& line, FileStamp& a, FileStamp& b) {
    std::string_view fields[4];
    std::size_t start = 0;
    for (int k = 0; k < 4; ++k) {
        const std::size_t space = line.find(' ', start);
        if ((space == std::string::npos) != (k == 3)) {
            return false;
        }
        fields[k] = std::string_view(line).substr(start, space - start);
        start = space + 1;
    }
    return parseNumber(fields[0], a.size) && parseNumber(fields[1], a.modifiedNs) &&
           parseNumber(fields[2], b.size) && parseNumber(fields[3], b.modifiedNs);
}

std::string stampsLine(const NotDupPair& pair) {
    return std::to_string(pair.first.size) + ' ' + std::to_string(pair.first.modifiedNs) + ' ' +
           std::to_string(pair.second.size) + ' ' + std::to_string(pair.second.modifiedNs);
}

// One key for both orders of a pair; no path holds a NUL byte.
std::string pairKey(const std::string& a, const std::string& b) {
    std::string keyA = PathKey(a);
    std::string keyB = PathKey(b);
    if (keyB < keyA) {
        std::swap(keyA, keyB);
    }
    return keyA + '\0' + keyB;
}

}  // namespace

bool StampFile(const std::string& path, FileStamp& stamp) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        return false;
    }
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) {
        return false;
    }
    const fs::file_time_type modified = fs::last_write_time(path, ec);
    if (ec) {
        return false;
    }
    stamp.path = path;
    stamp.size = size;
    stamp.modifiedNs = std::chrono::duration_cast<std::chrono::nanoseconds>(
                           std::chrono::file_clock::to_sys(modified).time_since_epoch())
                           .count();
    return true;
}

bool NotDupList::add(FileStamp a, FileStamp b) {
    if (!usablePath(a.path) || !usablePath(b.path) || SamePath(a.path, b.path)) {
        return false;
    }
    if (PathKey(b.path) < PathKey(a.path)) {
        std::swap(a, b);
    }
    const auto [at, added] = m_indexOfKey.try_emplace(pairKey(a.path, b.path), m_pairs.size());
    if (!added) {
        m_pairs[at->second] = {std::move(a), std::move(b)};
        return true;
    }
    if (m_pairs.size() >= kMaxNotDupPairs) {
        m_indexOfKey.erase(at);
        return false;
    }
    m_pairs.push_back({std::move(a), std::move(b)});
    return true;
}

const NotDupPair* NotDupList::find(const std::string& a, const std::string& b) const {
    const auto at = m_indexOfKey.find(pairKey(a, b));
    return at == m_indexOfKey.end() ? nullptr : &m_pairs[at->second];
}

bool NotDupList::remove(const std::string& a, const std::string& b) {
    const auto at = m_indexOfKey.find(pairKey(a, b));
    if (at == m_indexOfKey.end()) {
        return false;
    }
    const std::size_t index = at->second;
    m_indexOfKey.erase(at);
    m_pairs.erase(m_pairs.begin() + static_cast<std::ptrdiff_t>(index));
    for (auto& entry : m_indexOfKey) {
        if (entry.second > index) {
            --entry.second;
        }
    }
    return true;
}

void NotDupList::clear() {
    m_pairs.clear();
    m_indexOfKey.clear();
}

std::string NotDupListPath(const std::string& dataFolder) {
    return (fs::path(dataFolder) / "NotDuplicates.txt").string();
}

NotDupReadResult ReadNotDupList(const std::string& path, NotDupList& list, std::string& problem) {
    std::error_code ec;
    if (fs::symlink_status(path, ec).type() == fs::file_type::not_found) {
        return NotDupReadResult::Missing;
    }
    const FilePtr file = OpenRegularFileForReading(path);
    if (!file) {
        problem = path + " cannot be opened as a file";
        return NotDupReadResult::Invalid;
    }
    const auto invalid = [&](int lineNo, const std::string& what) {
        problem = path + ", line " + std::to_string(lineNo) + ": " + what;
        return NotDupReadResult::Invalid;
    };
    NotDupList read;
    std::string line;
    bool tooLong = false;
    int lineNo = 1;
    if (!readLine(file.get(), line, tooLong) || line != kMagic) {
        return invalid(lineNo, std::string("the file does not start with ") + kMagic);
    }
    for (;;) {
        ++lineNo;
        if (!readLine(file.get(), line, tooLong)) {
            return invalid(lineNo, tooLong ? "a line is too long" : "the file ends before END");
        }
        if (line == kEnd) {
            break;
        }
        if (line.empty() || line[0] == ';') {
            continue;
        }
        FileStamp a;
        FileStamp b;
        if (!parseStamps(line, a, b)) {
            return invalid(lineNo, "expected two sizes and modification times");
        }
        if (!readLine(file.get(), a.path, tooLong) || !readLine(file.get(), b.path, tooLong)) {
            return invalid(lineNo + 1, tooLong ? "a line is too long" : "a pair lacks its paths");
        }
        lineNo += 2;
        if (!read.add(std::move(a), std::move(b))) {
            return invalid(lineNo, read.count() >= static_cast<int>(kMaxNotDupPairs)
                                       ? "more pairs than a list may hold"
                                       : "a pair needs two different paths");
        }
    }
    list = std::move(read);
    return NotDupReadResult::Read;
}

bool SaveNotDupList(const std::string& path, const NotDupList& list) {
    std::string text = std::string(kMagic) + "\r\n";
    text +=
        "; Pairs marked \"not a duplicate\": the sizes and modification times of both "
        "files, then their paths. A changed file is compared again.\r\n";
    for (const NotDupPair& pair : list.pairs()) {
        text += stampsLine(pair) + "\r\n" + pair.first.path + "\r\n" + pair.second.path + "\r\n";
    }
    text += std::string(kEnd) + "\r\n";
    std::error_code ec;
    const fs::path folder = fs::path(path).parent_path();
    if (!folder.empty()) {
        fs::create_directories(folder, ec);
    }
    return WriteFileAtomically(path, text);
}

NotDupChange MarkNotDuplicate(const std::string& listPath, const std::string& a,
                              const std::string& b, std::string& problem) {
    FileStamp stampA;
    FileStamp stampB;
    for (const auto& [path, stamp] : {std::pair{&a, &stampA}, std::pair{&b, &stampB}}) {
        if (!StampFile(*path, *stamp)) {
            problem = "cannot read " + *path + ": not a readable file";
            return NotDupChange::Failed;
        }
    }
    NotDupList list;
    if (ReadNotDupList(listPath, list, problem) == NotDupReadResult::Invalid) {
        return NotDupChange::Failed;
    }
    if (!list.add(std::move(stampA), std::move(stampB))) {
        problem =
            "cannot record " + a + " and " + b + ": a pair needs two paths without line breaks";
        return NotDupChange::Failed;
    }
    if (!SaveNotDupList(listPath, list)) {
        problem = "cannot write " + listPath;
        return NotDupChange::Failed;
    }
    return NotDupChange::Changed;
}

NotDupChange ForgetNotDuplicate(const std::string& listPath, const std::string& a,
                                const std::string& b, std::string& problem) {
    NotDupList list;
    if (ReadNotDupList(listPath, list, problem) == NotDupReadResult::Invalid) {
        return NotDupChange::Failed;
    }
    if (!list.remove(a, b)) {
        return NotDupChange::NotRecorded;
    }
    if (!SaveNotDupList(listPath, list)) {
        problem = "cannot write " + listPath;
        return NotDupChange::Failed;
    }
    return NotDupChange::Changed;
}
