#pragma once

#include <QDialog>
#include <QLineEdit>
#include <optional>
#include <string>

class Prompter;
class QCheckBox;
class QFileSystemModel;
class QPushButton;
class QTreeView;

/// Control ids of the folder picker.
namespace FolderPickerId {
enum : int { Cancel = 2, FolderBox = 181, Open = 182, IncludeSubfolders = 183 };
}

/// What the folder picker hands back.
struct PickedFolder {
    std::string path;  ///< without a trailing separator, except the root
    bool includeSubfolders = false;
};

/// The folder box of the picker: reports Enter instead of closing the dialog,
/// and every processed character so the picker can complete names.
class FolderEdit : public QLineEdit {
    Q_OBJECT
  public:
    using QLineEdit::QLineEdit;
  signals:
    void enterPressed();
    void characterTyped(bool backspace);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
};

/// Chooses a folder to add to an image list: a folder tree, the "Folder to
/// add:" box (181) always holding the folder being browsed, "Open" (182) that
/// validates the box and offers to create a missing folder, and "Include
/// subfolders" (183). Messages go through the prompter. User-interface thread.
class FolderPicker : public QDialog {
    Q_OBJECT
  public:
    FolderPicker(const std::string& initialFolder, Prompter& prompter, QWidget* parent = nullptr);

    /// Runs the dialog; the folder when the user accepted one.
    std::optional<PickedFolder> run();

    std::string folderPath() const { return m_accepted; }
    bool includeSubfolders() const;
    /// The folder being browsed, ending in the separator.
    QString browsedFolder() const { return m_folderPath; }

  private slots:
    void onOpen();
    void onEnter();
    void onCharacter(bool backspace);
    void onTreeCurrentChanged(const QModelIndex& current);

  private:
    void browseTo(const QString& folder);
    QString resolve(const QString& text) const;
    bool offerToCreate(const QString& shown, const QString& absolute, bool fromEnter);
    void tell(const QString& text);
    void completeName();

    Prompter& m_prompter;
    QFileSystemModel* m_model = nullptr;
    QTreeView* m_tree = nullptr;
    FolderEdit* m_edit = nullptr;
    QCheckBox* m_subfolders = nullptr;
    QPushButton* m_open = nullptr;
    QString m_folderPath;
    std::string m_accepted;
    bool m_syncingTree = false;
};

/// The completion of a typed folder name: the typed text followed by the rest
/// of the one matching folder `name`. Where the file system ignores case the
/// name's case follows the typing, as the picker does on such systems.
QString CompleteFolderName(const QString& typed, const QString& name, bool fileSystemIgnoresCase);
