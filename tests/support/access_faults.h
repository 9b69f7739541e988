#pragma once
// Permission faults that also hold when the tests run as root, as CI does.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

/// A folder nothing can be created in or removed from while this lives.
/// Permissions do not stop root, so as root the folder is made immutable
/// instead; ok() is false where neither works.
class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(const std::filesystem::path& folder);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    bool ok() const { return m_ok; }

  private:
    std::filesystem::path m_folder;
    int m_fd = -1;
    int m_flags = 0;
    bool m_ok = false;
};

/// Runs `body` where folder permissions apply: directly for an ordinary
/// user, in a child process switched to the unprivileged "nobody" user when
/// running as root. Returns what `body` returned, or -1 when the child could
/// not be started, could not drop its rights, or died. The folders `body`
/// uses must be reachable by everyone (see OpenToEveryone).
int RunWithoutPrivileges(const std::function<int()>& body);

/// Lets every user into `folder`; false when a parent folder keeps others
/// out (the parents are left as they are).
bool OpenToEveryone(const std::filesystem::path& folder);

/// Runs `body` in a child process that sees a fresh tmpfs of `kib` KiB
/// mounted at `mountPoint` (an existing empty folder), in a mount namespace
/// of its own, so nothing outside the child ever sees it. Returns the text
/// `body` returned (or what went wrong with the child), or nothing when no
/// file system can be mounted here (not root, or no namespaces). The child cannot report test
/// failures itself: `body` describes what it found and the caller compares.
std::optional<std::string> RunOnSmallFileSystem(const std::filesystem::path& mountPoint, int kib,
                                                const std::function<std::string()>& body);
