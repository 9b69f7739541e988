#include "log_reader.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <sys/stat.h>

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
    int pathCounter = 0;
    for (;;) {
        if (!ReadLine(source, line) || list.m_logView.size() >= kMaxLogLines) {
            return kLogInvalid;
        }
        if (line == "END") {
            return kLogRead;
        }
        if (!line.empty() && line[0] != ';') {
            std::string entry =
                line.size() > kPathPrefixLength ? line.substr(kPathPrefixLength) : "";
            if (entry.rfind("Deleted", 0) == 0) {
                entry = "Deleted";
            }
            if (++pathCounter == 1) {
                list.m_leftPaths.push_back(std::move(entry));
            } else {
                list.m_rightPaths.push_back(std::move(entry));
                pathCounter = 0;
            }
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
    struct stat info {};
    if (::fstat(::fileno(file.get()), &info) != 0) {
        return kLogNotOpened;
    }
    const long long size = info.st_size;
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
        list.swap(fresh);
    }
    return result;
}
