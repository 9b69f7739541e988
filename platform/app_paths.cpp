#include "app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString ProgramFolder() {
    QString dir = QCoreApplication::applicationDirPath();
    while (dir.size() > 1 && dir.endsWith('/')) {
        dir.chop(1);
    }
    return dir;
}

QString UserDataFolder() {
    // Fixed names: both programs share one folder whatever their own names.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(base).filePath("Velmora/Twinly");
}

QString FindSharedFile(const QString& relative) {
    const QStringList roots = {
        ProgramFolder() + "/resources",
        ProgramFolder() + "/../share/twinly",
        QStringLiteral(TWINLY_SHARE_DIR),
        QStringLiteral(TWINLY_SOURCE_RESOURCES),
    };
    for (const QString& root : roots) {
        const QString candidate = QDir(root).filePath(relative);
        if (QFileInfo(candidate).isFile()) {
            return QDir::cleanPath(candidate);
        }
    }
    return {};
}

QString OrvexExecutable() {
    const QString beside = QDir(ProgramFolder()).filePath("orvex");
    if (QFileInfo(beside).isExecutable()) {
        return beside;
    }
    const QString onPath = QStandardPaths::findExecutable("orvex");
    return onPath.isEmpty() ? QStringLiteral("orvex") : onPath;
}
