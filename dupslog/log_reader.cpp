#include "log_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "match_list.h"
#include "regular_file.h"

namespace {

constexpr std::size_t kPathPrefixLength = 14;  // "Image 1 path: "

// Hands out the bytes after "DUPS" CR LF, but never the file's last byte: a
// byte is read only while at least two remain.
class ByteSource {
  public:
    ByteSource(std::FILE* file, long long remaining) : m_file(file), m_remaining(remaining) {}

    bool next(unsigned char& byte) {
        if (m_remaining < 2) {
            return false;
        }
        if (m_pos == m_end) {
            m_end = std::fread(m_buffer.data(), 1, m_buffer.size(), m_file);
            m_pos = 0;
            if (m_end == 0) {
                return false;
            }
        }
        byte = m_buffer[m_pos++];
        --m_remaining;
        return true;
    }

  private:
    std::FILE* m_file;
    long long m_remaining;
    std::vector<unsigned char> m_buffer = std::vector<unsigned char>(64 * 1024);
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
};

// Collects one line up to its CR; false when the bytes run out or the line is
// too long.
bool ReadLine(ByteSource& source, std::string& line) {
    line.clear();
    unsigned char byte = 0;
    while (source.next(byte)) {
        if (byte == '\r') {
            return true;
        }
        if (line.size() >= kMaxLogLineBytes) {
            return false;
        }
        line.push_back(static_cast<char>(byte));
    }
    return false;
}

bool SkipByte(ByteSource& source) {
    unsigned char byte = 0;
    return source.next(byte);
}

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The first line of pair `number`: "; Match no: N" as a run writes it, or
// ";Match no: N" as a sort renumbers it.
bool IsMatchNumberLine(std::string_view line, int number) {
    for (const std::string_view prefix : {"; Match no: ", ";Match no: "}) {
        if (line.starts_with(prefix)) {
            line.remove_prefix(prefix.size());
            return IsDigits(line) && line == std::to_string(number);
        }
    }
    return false;
}

// Checks the lines after "-- Matches --" line by line against the pair
// blocks of the format, so that a path that was split into lines (or lines
// made up to look like pairs) is refused instead of shifting every later pair.
class PairShape {
  public:
    /// False as soon as `line` cannot stand where it stands.
    bool accept(const std::string& line) {
        switch (m_expected) {
            case Expect::RecordOrClose:
                if (line == ";") {
                    m_expected = m_pairs == 0 ? Expect::NoDuplicatesOrEnd : Expect::End;
                    return true;
                }
                m_expected = Expect::Image1;
                return IsMatchNumberLine(line, ++m_pairs);
            case Expect::Image1:
                m_expected = Expect::Image2;
                return line.starts_with("Image 1 path: ");
            case Expect::Image2:
                m_expected = Expect::Percent;
                return line.starts_with("Image 2 path: ");
            case Expect::Percent:
                m_expected = Expect::Separator;
                return line.starts_with("; % matching: ");
            case Expect::Separator:
                m_expected = Expect::RecordOrClose;
                return line == "; -------";
            case Expect::NoDuplicatesOrEnd:
                m_expected = Expect::LastComment;
                return line == "; No duplicates";
            case Expect::LastComment:
                m_expected = Expect::End;
                return line == ";";
            case Expect::End:
                return false;
        }
        return false;
    }
    /// "END" may come now. A log without pairs may leave out its note.
    bool complete() const {
        return m_expected == Expect::End || m_expected == Expect::NoDuplicatesOrEnd;
    }

  private:
    enum class Expect {
        RecordOrClose,
        Image1,
        Image2,
        Percent,
        Separator,
        NoDuplicatesOrEnd,
        LastComment,
        End
    };
    Expect m_expected = Expect::RecordOrClose;
    int m_pairs = 0;
};

int ReadBody(ByteSource& source, MatchList& list) {
    std::string line;
    for (;;) {
        if (!ReadLine(source, line) || list.m_logView.size() >= kMaxLogLines) {
            return kLogInvalid;
        }
        list.m_logView.push_back(line);
        if (line == "END") {
            return kLogInvalid;
        }
        if (!SkipByte(source)) {
            return kLogInvalid;
        }
        if (line == "-- Matches --") {
            break;
        }
    }
    PairShape shape;
    bool leftNext = true;
    for (;;) {
        if (!ReadLine(source, line) || list.m_logView.size() >= kMaxLogLines) {
            return kLogInvalid;
        }
        if (line == "END") {
            return shape.complete() ? kLogRead : kLogInvalid;
        }
        if (!shape.accept(line)) {
            return kLogInvalid;
        }
        if (!line.empty() && line[0] != ';') {
            std::string entry =
                line.size() > kPathPrefixLength ? line.substr(kPathPrefixLength) : "";
            if (entry.rfind("Deleted", 0) == 0) {
                entry = "Deleted";
            }
            (leftNext ? list.m_leftPaths : list.m_rightPaths).push_back(std::move(entry));
            leftNext = !leftNext;
        }
        list.m_logView.push_back(std::move(line));
        if (!SkipByte(source)) {
            return kLogInvalid;
        }
    }
}

}  // namespace

int ReadDupsLog(const std::string& path, MatchList& list) {
    const FilePtr file = OpenRegularFileForReading(path);
    if (!file) {
        return kLogNotOpened;
    }
    // Taken before reading: a log written over meanwhile must not look read.
    const DiskStamp stamp = DiskStampOfDescriptor(::fileno(file.get()));
    if (!stamp.present) {
        return kLogNotOpened;
    }
    const long long size = stamp.size;
    char magic[6] = {};
    if (size < 10 || std::fread(magic, 1, sizeof magic, file.get()) != sizeof magic ||
        std::memcmp(magic, "DUPS", 4) != 0) {
        return kLogInvalid;
    }
    ByteSource source(file.get(), size - 6);
    MatchList fresh;
    const int result = ReadBody(source, fresh);
    if (result == kLogRead) {
        fresh.recordPairLines();
        fresh.m_readStamp = stamp;
        list.swap(fresh);
    }
    return result;
}
