#include "file_ops.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#include <sys/stat.h>
#endif

namespace {

#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
bool makeFolder(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    return (::mkdir(native.constData(), 0700) == 0 || errno == EEXIST) &&
           ::stat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// When Qt cannot make the home trash it moves the file into "files" below the
// current folder and reports success, so the trash must exist before we ask.
bool homeTrashUsable() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty() || !QDir::isAbsolutePath(data) || !QDir().mkpath(data)) {
        return false;
    }
    const QString trash = data + "/Trash";
    return makeFolder(trash) && makeFolder(trash + "/files") && makeFolder(trash + "/info");
}
#else
bool homeTrashUsable() {
    return true;
}
#endif

}  // namespace

bool QtFileOps::moveToTrash(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.exists() && homeTrashUsable() && file.moveToTrash();
}

bool QtFileOps::deletePermanently(const std::string& path) {
    return QFile::remove(QString::fromStdString(path));
}

std::optional<std::string> QtFileOps::moveToFolder(const std::string& path,
                                                   const std::string& folder) {
    const QFileInfo source(QString::fromStdString(path));
    const QDir target(QString::fromStdString(folder));
    if (!source.isFile() || !target.exists()) {
        return std::nullopt;
    }
    const QString base = source.completeBaseName();
    const QString suffix = source.suffix().isEmpty() ? QString() : "." + source.suffix();
    // QFile::rename never replaces an existing file, so a name taken between
    // the check and the rename just moves on to the next candidate.
    for (int n = 1; n < 10000; ++n) {
        const QString name =
            n == 1 ? source.fileName() : QString("%1 (%2)%3").arg(base).arg(n).arg(suffix);
        const QString candidate = target.filePath(name);
        if (QFileInfo::exists(candidate)) {
            continue;
        }
        if (QFile::rename(source.filePath(), candidate)) {
            return candidate.toStdString();
        }
        if (QFileInfo::exists(candidate)) {
            continue;
        }
        return std::nullopt;
    }
    return std::nullopt;
}
