#pragma once
// Writes a file so that a crash, a full disk or a failed write never leaves a
// half-written file or destroys the previous one: the bytes go to a temporary
// file in the same folder, which replaces the target only when complete.
// Where the file system allows, the temporary file has no name until then, so
// a killed write leaves nothing behind.

#include <cstdio>
#include <string>
#include <string_view>

class AtomicFileWriter {
  public:
    /// Opens the temporary file next to `target`; check ok() before writing.
    /// A file that is replaced keeps its permissions and, where allowed, its
    /// owner and group; a new file gets the permissions the umask leaves.
    explicit AtomicFileWriter(std::string target);
    ~AtomicFileWriter();  ///< discards the temporary file unless committed
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool ok() const { return m_file != nullptr && !m_failed; }
    void write(std::string_view bytes);
    void write(const void* data, std::size_t size);
    /// Flushes, syncs and puts the file in place of the target. False (target
    /// untouched) on any failure.
    bool commit();
    /// True when the temporary file is unnamed (no leftover if killed).
    bool unnamed() const { return m_unnamed; }

  private:
    bool openUnnamed(const std::string& folder, unsigned mode);
    bool openNamed(unsigned mode);
    bool linkIntoPlace();

    std::string m_target;
    std::string m_temp;  ///< the named temporary file, empty while unnamed
    std::FILE* m_file = nullptr;
    bool m_failed = false;
    bool m_unnamed = false;
};

/// Writes all of `bytes` to `path` atomically; false (old file intact) on failure.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);
