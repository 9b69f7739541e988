#pragma once

#include <string>
#include <vector>

/// Records which files inside one folder are opened from now on (Linux:
/// inotify), so a test can tell that code decided something without reading
/// the files.
class OpenWatch {
  public:
    explicit OpenWatch(const std::string& folder);
    ~OpenWatch();
    OpenWatch(const OpenWatch&) = delete;
    OpenWatch& operator=(const OpenWatch&) = delete;

    /// False when the watch could not be set up.
    bool ok() const { return m_fd >= 0 && m_watch >= 0; }
    /// The names opened since the watch began or since the last call.
    std::vector<std::string> opened();

  private:
    int m_fd = -1;
    int m_watch = -1;
};

class QAbstractFileIconProvider;

/// Writes files into `folder` whose names say little of their content (a PNG
/// named "photo.dat", a PDF without a suffix, a JPEG), asks `provider` for the
/// icon and type name of each and of the folder, and returns the names it
/// opened. Empty for a provider that decides by name and mode alone.
std::vector<std::string> FilesOpenedForIcons(const QAbstractFileIconProvider& provider,
                                             const std::string& folder);
