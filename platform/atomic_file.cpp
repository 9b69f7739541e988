#include "atomic_file.h"

#include <cerrno>
#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

AtomicFileWriter::AtomicFileWriter(std::string target) : m_target(std::move(target)) {
    // Only regular files are replaced; renaming over a device or a folder
    // would destroy something that is not ours.
    struct stat existing {};
    if (::lstat(m_target.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        return;
    }
    std::vector<char> name(m_target.begin(), m_target.end());
    const std::string suffix = ".tmp-XXXXXX";
    name.insert(name.end(), suffix.begin(), suffix.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        return;
    }
    m_temp.assign(name.data());
    // mkstemp makes the file private; give it the permissions a new file gets.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    m_file = ::fdopen(fd, "wb");
    if (m_file == nullptr) {
        ::close(fd);
        ::unlink(m_temp.c_str());
        m_temp.clear();
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
    }
}

void AtomicFileWriter::write(const void* data, std::size_t size) {
    if (!ok() || size == 0) {
        return;
    }
    if (std::fwrite(data, 1, size, m_file) != size) {
        m_failed = true;
    }
}

void AtomicFileWriter::write(std::string_view bytes) {
    write(bytes.data(), bytes.size());
}

bool AtomicFileWriter::commit() {
    if (!ok()) {
        return false;
    }
    const bool written = std::fflush(m_file) == 0 && ::fsync(::fileno(m_file)) == 0;
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    if (!written || !closed || ::rename(m_temp.c_str(), m_target.c_str()) != 0) {
        m_failed = true;
        return false;
    }
    m_temp.clear();
    return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
    AtomicFileWriter writer(path);
    writer.write(bytes);
    return writer.commit();
}
