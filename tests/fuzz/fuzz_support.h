#pragma once
// Shared by the fuzz targets: the readers under test take paths, so each input
// is handed over as a file. Memory files keep the disk out of the hot loop.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzz {

/// Stops the run with a message: libFuzzer keeps the input as a crash.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

/// One in-memory file, refilled for every input and read through its
/// /proc/self/fd path (a regular file to every reader).
class MemoryFile {
  public:
    MemoryFile() : m_fd(::memfd_create("fuzz-input", MFD_CLOEXEC)) {
        if (m_fd < 0) {
            Fail("memfd_create");
        }
        m_path = "/proc/self/fd/" + std::to_string(m_fd);
    }
    ~MemoryFile() { ::close(m_fd); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    const std::string& fill(const std::uint8_t* data, std::size_t size) {
        if (::ftruncate(m_fd, 0) != 0 ||
            (size > 0 && ::pwrite(m_fd, data, size, 0) != static_cast<ssize_t>(size))) {
            Fail("memory file write");
        }
        return m_path;
    }

  private:
    int m_fd;
    std::string m_path;
};

/// A private folder under TMPDIR (or /tmp) for the targets that need file
/// names of their own; removed at a normal exit.
inline const std::filesystem::path& ScratchFolder() {
    struct Folder {
        std::filesystem::path path;
        Folder() {
            const char* base = std::getenv("TMPDIR");
            std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") +
                                  "/twinly-fuzz-XXXXXX";
            if (::mkdtemp(pattern.data()) == nullptr) {
                Fail("mkdtemp");
            }
            path = pattern;
        }
        ~Folder() {
            std::error_code ec;
            std::filesystem::remove_all(path, ec);
        }
    };
    static const Folder folder;
    return folder.path;
}

inline void WriteWholeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr || (size > 0 && std::fwrite(data, 1, size, f) != size)) {
        Fail("scratch file write");
    }
    std::fclose(f);
}

}  // namespace fuzz
