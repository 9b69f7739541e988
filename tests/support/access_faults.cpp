#include "access_faults.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

ReadOnlyFolder::ReadOnlyFolder(const fs::path& folder) : m_folder(folder) {
    if (::geteuid() != 0) {
        m_ok = ::chmod(folder.c_str(), 0555) == 0;
        return;
    }
    m_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    if (m_fd >= 0 && ::ioctl(m_fd, FS_IOC_GETFLAGS, &flags) == 0) {
        m_flags = flags;
        flags |= FS_IMMUTABLE_FL;
        m_ok = ::ioctl(m_fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
}

ReadOnlyFolder::~ReadOnlyFolder() {
    if (m_fd >= 0) {
        if (m_ok) {
            ::ioctl(m_fd, FS_IOC_SETFLAGS, &m_flags);
        }
        ::close(m_fd);
    } else if (m_ok) {
        ::chmod(m_folder.c_str(), 0755);
    }
}

int RunWithoutPrivileges(const std::function<int()>& body) {
    if (::geteuid() != 0) {
        return body();
    }
    const pid_t child = ::fork();
    if (child < 0) {
        return -1;
    }
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0 ||
            ::geteuid() == 0) {
            ::_exit(255);
        }
        // No exit handlers: they belong to the parent's test run.
        ::_exit(body() & 0xff);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 255) {
        return -1;
    }
    return WEXITSTATUS(status);
}

bool OpenToEveryone(const fs::path& folder) {
    const fs::path own = fs::absolute(folder);
    if (::chmod(own.c_str(), 0755) != 0) {
        return false;
    }
    // The parents are not ours to change: only check that they can be passed.
    for (fs::path p = own.parent_path(); p != p.root_path(); p = p.parent_path()) {
        struct stat st {};
        if (::stat(p.c_str(), &st) != 0 || (st.st_mode & S_IXOTH) == 0) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> RunOnSmallFileSystem(const fs::path& mountPoint, int kib,
                                                const std::function<std::string()>& body) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return std::nullopt;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return std::nullopt;
    }
    if (child == 0) {
        ::close(pipeFds[0]);
        const std::string options = "size=" + std::to_string(kib) + "k";
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, options.c_str()) != 0) {
            ::_exit(77);
        }
        const std::string report = body();
        const char* data = report.data();
        std::size_t left = report.size();
        while (left > 0) {
            const ssize_t n = ::write(pipeFds[1], data, left);
            if (n <= 0) {
                ::_exit(1);
            }
            data += n;
            left -= static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string report;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        report.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    if (::waitpid(child, &status, 0) != child) {
        return "the child was lost";
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) {
        return std::nullopt;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return "the child ended with status " + std::to_string(status);
    }
    return report;
}
