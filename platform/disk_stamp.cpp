#include "disk_stamp.h"

#include <sys/stat.h>

namespace {

DiskStamp stampOf(const struct stat& info) {
    DiskStamp stamp;
    stamp.present = true;
    stamp.device = static_cast<std::uint64_t>(info.st_dev);
    stamp.inode = static_cast<std::uint64_t>(info.st_ino);
    stamp.size = static_cast<std::int64_t>(info.st_size);
    stamp.modifiedNs =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    return stamp;
}

}  // namespace

DiskStamp DiskStampOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? stampOf(info) : DiskStamp{};
}

DiskStamp DiskStampOfDescriptor(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 ? stampOf(info) : DiskStamp{};
}
