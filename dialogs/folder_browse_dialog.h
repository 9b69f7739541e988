#pragma once

#include <QDialog>
#include <QPersistentModelIndex>
#include <QString>

class QFileSystemModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

/// The program's folder chooser: the folder tree of the whole file system,
/// opened at the initial folder (else at the home folder), with the current
/// selection in a status line (shortened to 35 characters and "...") and in a
/// field where a path can be typed, and OK only while a folder is chosen.
/// Child objects: "folderTree", "statusLine", "folderPath"; OK has id 1.
class FolderBrowseDialog : public QDialog {
  public:
    FolderBrowseDialog(const QString& title, const QString& initialFolder,
                       QWidget* parent = nullptr);

    /// The selected folder; empty when none is selected.
    QString chosenFolder() const { return m_chosen; }
    /// Selects a folder as if the user clicked it; false when it is no folder.
    bool selectFolder(const QString& folder);

  private:
    void selectionChanged();
    void pathTyped(const QString& text);

    QFileSystemModel* m_model;
    QTreeView* m_tree;
    QLabel* m_status;
    QLineEdit* m_path;
    QPushButton* m_ok;
    QString m_chosen;
    QPersistentModelIndex m_initial;
    bool m_followInitial = false;
    bool m_typing = false;
};
