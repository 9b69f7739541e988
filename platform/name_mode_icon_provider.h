#pragma once

#include <QFileIconProvider>

class QFileSystemModel;

/// Icons and type names for folder and file views, decided by a name and its
/// file mode alone. The stock provider asks the MIME database, which reads the
/// first bytes of a file: a special file such as /proc/kmsg never answers that
/// read, and the view hangs. Any thread (file-system models call it from their
/// own; construct it on the user-interface thread).
class NameModeIconProvider : public QFileIconProvider {
  public:
    NameModeIconProvider();
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;

  private:
    // Made once, so the model's thread only copies them.
    QIcon m_drive;
    QIcon m_folder;
    QIcon m_file;
};

/// Gives `model` the name-and-mode provider; call it before the model is
/// pointed at a folder. The provider outlives every model, whose background
/// thread may still be asking it while the model goes away.
void UseNameModeIcons(QFileSystemModel& model);
