#include "name_mode_icon_provider.h"

#include <QFileInfo>
#include <QFileSystemModel>

NameModeIconProvider::NameModeIconProvider()
    : m_drive(QFileIconProvider::icon(Drive)),
      m_folder(QFileIconProvider::icon(Folder)),
      m_file(QFileIconProvider::icon(File)) {}

QIcon NameModeIconProvider::icon(const QFileInfo& info) const {
    if (info.isRoot()) {
        return m_drive;
    }
    return info.isDir() ? m_folder : m_file;
}

QString NameModeIconProvider::type(const QFileInfo& info) const {
    if (info.isRoot()) {
        return QStringLiteral("Drive");
    }
    if (info.isDir()) {
        return QStringLiteral("Folder");
    }
    const QString suffix = info.suffix();
    return suffix.isEmpty() ? QStringLiteral("File") : suffix.toUpper() + QStringLiteral(" File");
}

void UseNameModeIcons(QFileSystemModel& model) {
    // Never destroyed: a model's gatherer thread may outlive the model briefly.
    static NameModeIconProvider* const provider = new NameModeIconProvider;
    model.setIconProvider(provider);
}
