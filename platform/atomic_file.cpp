#include "atomic_file.h"

#include <cerrno>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "path_parts.h"

namespace {

// A name beside the target that nothing else is likely to use.
std::string temporaryName(const std::string& target) {
    thread_local std::mt19937_64 random{std::random_device{}()};
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = target + ".tmp-";
    for (int i = 0; i < 8; ++i) {
        name += kLetters[random() % (sizeof kLetters - 1)];
    }
    return name;
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(std::string target) : m_target(std::move(target)) {
    // Only regular files are replaced; renaming over a device or a folder
    // would destroy something that is not ours.
    struct stat existing {};
    const bool replacing = ::lstat(m_target.c_str(), &existing) == 0;
    if (replacing && !S_ISREG(existing.st_mode)) {
        return;
    }
    // New files get 0666 less the umask from open() itself.
    constexpr unsigned kNewFileMode = 0666;
    if (!openUnnamed(ParentFolderOf(m_target), kNewFileMode) && !openNamed(kNewFileMode)) {
        return;
    }
    if (replacing) {
        // The replacement must not widen who may read the old file: a data
        // file lists every picture path. The owner goes first, since changing
        // it clears set-id bits.
        const int fd = ::fileno(m_file);
        if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
            [[maybe_unused]] const int groupOnly =
                ::fchown(fd, static_cast<uid_t>(-1), existing.st_gid);
        }
        if (::fchmod(fd, existing.st_mode & 07777) != 0) {
            m_failed = true;
        }
    }
}

bool AtomicFileWriter::openUnnamed([[maybe_unused]] const std::string& folder,
                                   [[maybe_unused]] unsigned mode) {
#ifdef O_TMPFILE
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0) {
        return false;
    }
    // Linking it into place later goes through /proc; without it, use a name.
    if (::access(("/proc/self/fd/" + std::to_string(fd)).c_str(), F_OK) != 0) {
        ::close(fd);
        return false;
    }
    m_file = ::fdopen(fd, "wb");
    if (m_file == nullptr) {
        ::close(fd);
        return false;
    }
    m_unnamed = true;
    return true;
#else
    return false;
#endif
}

bool AtomicFileWriter::openNamed(unsigned mode) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = temporaryName(m_target);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return false;
        }
        m_file = ::fdopen(fd, "wb");
        if (m_file == nullptr) {
            ::close(fd);
            ::unlink(name.c_str());
            return false;
        }
        m_temp = name;
        return true;
    }
    return false;
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

bool AtomicFileWriter::linkIntoPlace() {
    const std::string self = "/proc/self/fd/" + std::to_string(::fileno(m_file));
    // Straight to the target's name when there is none yet: no moment with a
    // second name.
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, m_target.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return true;
    }
    if (errno != EEXIST) {
        return false;
    }
    // A name cannot be linked over another, so a replacement gets a name of
    // its own for the moment the rename takes.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = temporaryName(m_target);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST) {
                continue;
            }
            return false;
        }
        if (::rename(name.c_str(), m_target.c_str()) != 0) {
            ::unlink(name.c_str());
            return false;
        }
        return true;
    }
    return false;
}

bool AtomicFileWriter::commit() {
    if (!ok()) {
        return false;
    }
    bool done = std::fflush(m_file) == 0 && ::fsync(::fileno(m_file)) == 0;
    // The target may have become something other than a regular file meanwhile.
    struct stat now {};
    if (::lstat(m_target.c_str(), &now) == 0 && !S_ISREG(now.st_mode)) {
        done = false;
    }
    if (done && m_unnamed) {
        done = linkIntoPlace();
    }
    done = std::fclose(m_file) == 0 && done;
    m_file = nullptr;
    if (done && !m_unnamed) {
        done = ::rename(m_temp.c_str(), m_target.c_str()) == 0;
    }
    if (!done) {
        m_failed = true;
        return false;
    }
    m_temp.clear();
    syncFolder(ParentFolderOf(m_target));
    return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
    AtomicFileWriter writer(path);
    writer.write(bytes);
    return writer.commit();
}
