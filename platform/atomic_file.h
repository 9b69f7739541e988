#pragma once
// Writes a file so that a crash, a full disk or a failed write never leaves a
// half-written file or destroys the previous one: the bytes go to a temporary
// file in the same folder, which is renamed over the target only when complete.

#include <cstdio>
#include <string>
#include <string_view>

class AtomicFileWriter {
  public:
    /// Opens the temporary file next to `target`; check ok() before writing.
    explicit AtomicFileWriter(std::string target);
    ~AtomicFileWriter();  ///< discards the temporary file unless committed
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool ok() const { return m_file != nullptr && !m_failed; }
    void write(std::string_view bytes);
    void write(const void* data, std::size_t size);
    /// Flushes, syncs and renames over the target. False (target untouched) on any failure.
    bool commit();

  private:
    std::string m_target;
    std::string m_temp;
    std::FILE* m_file = nullptr;
    bool m_failed = false;
};

/// Writes all of `bytes` to `path` atomically; false (old file intact) on failure.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);
