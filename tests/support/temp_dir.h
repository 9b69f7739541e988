#pragma once

#include <filesystem>
#include <string>

/// A fresh folder below the test's TMPDIR, removed with its contents on destruction.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    /// Full path of a name inside the folder, as a string.
    std::string file(const std::string& name) const { return (m_path / name).string(); }
    /// Writes bytes into a file inside the folder (creating parent folders) and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;

  private:
    std::filesystem::path m_path;
};

/// Reads a whole file as bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
